#include "update/decide_update.h"

#include <new>

#include "update/file_stamp.h"

namespace {

// The four version words in the order they are compared: file version, then product version.
bool ReadVersionWords(LPCVOID block, DWORD words[4])
{
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, "\\", &value, &length) || value == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return false;  // no fixed file information: treated as no version resource
    }
    const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    words[0] = info->dwFileVersionMS;
    words[1] = info->dwFileVersionLS;
    words[2] = info->dwProductVersionMS;
    words[3] = info->dwProductVersionLS;
    return true;
}

UpdateVerdict CompareVersionBlocks(LPCVOID destinationBlock, LPCVOID sourceBlock)
{
    DWORD destination[4];
    DWORD source[4];
    if (!ReadVersionWords(destinationBlock, destination) ||
        !ReadVersionWords(sourceBlock, source)) {
        return CompareTimes;
    }
    for (int i = 0; i < 4; ++i) {
        if (source[i] != destination[i]) {
            return source[i] > destination[i] ? LaunchSetup : UpToDate;
        }
    }
    return CompareTimes;
}

UpdateVerdict CompareVersions(LPCSTR destination, LPCSTR source)
{
    DWORD unusedHandle = 0;
    DWORD destinationSize = GetFileVersionInfoSizeA(destination, &unusedHandle);
    DWORD sourceSize = GetFileVersionInfoSizeA(source, &unusedHandle);
    if (destinationSize == 0 || sourceSize == 0) {
        return CompareTimes;
    }
    char* destinationBlock = new (std::nothrow) char[destinationSize];
    if (destinationBlock == nullptr) {
        return UpToDate;
    }
    char* sourceBlock = new (std::nothrow) char[sourceSize];
    if (sourceBlock == nullptr) {
        delete[] destinationBlock;
        return UpToDate;
    }
    UpdateVerdict verdict = CompareTimes;
    if (GetFileVersionInfoA(destination, 0, destinationSize, destinationBlock) &&
        GetFileVersionInfoA(source, 0, sourceSize, sourceBlock)) {
        verdict = CompareVersionBlocks(destinationBlock, sourceBlock);
    }
    delete[] sourceBlock;
    delete[] destinationBlock;
    return verdict;
}

UpdateVerdict CompareStamps(const FileStamp& destination, const FileStamp& source)
{
    if (source.date != destination.date) {
        return source.date > destination.date ? LaunchSetup : UpToDate;
    }
    return source.time > destination.time ? LaunchSetup : UpToDate;
}

}  // namespace

UpdateVerdict DecideUpdate(LPCSTR destination, LPCSTR source)
{
    FileStamp destinationStamp;
    if (!FindFileStamp(destination, &destinationStamp)) {
        return LaunchSetup;
    }
    FileStamp sourceStamp;
    if (!FindFileStamp(source, &sourceStamp)) {
        return UpToDate;
    }
    UpdateVerdict verdict = CompareVersions(destination, source);
    return verdict == CompareTimes ? CompareStamps(destinationStamp, sourceStamp) : verdict;
}
