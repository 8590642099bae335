// Windows Installer packages are not read on POSIX: the companion says so where it matters.
#include "check/check_platform.h"

PackageProperty ReadPackageProperty(const std::string&, const char*)
{
    return {};
}
