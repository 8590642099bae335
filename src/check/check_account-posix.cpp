// Which account the companion runs as: on POSIX both questions are whether it runs as root.
#include <unistd.h>

#include "check/check_platform.h"

bool CheckRunsAsSystemAccount()
{
    return geteuid() == 0;
}

bool CheckRunsAsAdministrator()
{
    return geteuid() == 0;
}
