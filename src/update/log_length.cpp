#include "update/log_length.h"

uint64_t ReadLogLength(HANDLE file)
{
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    return (static_cast<uint64_t>(high) << 32) | low;
}
