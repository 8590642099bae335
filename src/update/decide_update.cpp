#include "update/decide_update.h"

#include <cstring>
#include <new>

namespace {

DecidingStep CompareVersionBlocks(LPCVOID destinationBlock, LPCVOID sourceBlock,
                                  UpdateEvidence* evidence, UpdateVerdict* verdict)
{
    SideEvidence& destination = evidence->destination;
    SideEvidence& source = evidence->source;
    destination.versionRead = ReadVersionWords(destinationBlock, destination.version);
    if (!destination.versionRead) {
        return DecidingStep::NoFixedFileInfo;
    }
    source.versionRead = ReadVersionWords(sourceBlock, source.version);
    if (!source.versionRead) {
        return DecidingStep::NoFixedFileInfo;
    }
    for (int i = 0; i < 4; ++i) {
        if (source.version[i] != destination.version[i]) {
            *verdict = source.version[i] > destination.version[i] ? UpdateVerdict::LaunchSetup
                                                                  : UpdateVerdict::UpToDate;
            return DecidingStep::VersionsDiffer;
        }
    }
    return DecidingStep::DatesDecide;
}

// The version stage: settles `verdict` (LaunchSetup, UpToDate or CompareTimes) and returns
// the step that did.
DecidingStep CompareVersions(LPCSTR destinationPath, LPCSTR sourcePath, UpdateEvidence* evidence,
                             UpdateVerdict* verdict)
{
    SideEvidence& destination = evidence->destination;
    SideEvidence& source = evidence->source;
    *verdict = UpdateVerdict::CompareTimes;
    DWORD unusedHandle = 0;
    destination.versionSize = GetFileVersionInfoSizeA(destinationPath, &unusedHandle);
    source.versionSize = GetFileVersionInfoSizeA(sourcePath, &unusedHandle);
    if (destination.versionSize == 0 || source.versionSize == 0) {
        return DecidingStep::NoVersionResource;
    }
    *verdict = UpdateVerdict::UpToDate;
    char* destinationBlock = new (std::nothrow) char[destination.versionSize];
    if (destinationBlock == nullptr) {
        return DecidingStep::BlockNotAllocated;
    }
    char* sourceBlock = new (std::nothrow) char[source.versionSize];
    if (sourceBlock == nullptr) {
        delete[] destinationBlock;
        return DecidingStep::BlockNotAllocated;
    }
    *verdict = UpdateVerdict::CompareTimes;
    DecidingStep step = DecidingStep::BlockNotRead;
    if (GetFileVersionInfoA(destinationPath, 0, destination.versionSize, destinationBlock) &&
        GetFileVersionInfoA(sourcePath, 0, source.versionSize, sourceBlock)) {
        step = CompareVersionBlocks(destinationBlock, sourceBlock, evidence, verdict);
    }
    delete[] sourceBlock;
    delete[] destinationBlock;
    return step;
}

UpdateVerdict CompareStamps(const FileStamp& destination, const FileStamp& source)
{
    if (source.date != destination.date) {
        return source.date > destination.date ? UpdateVerdict::LaunchSetup
                                              : UpdateVerdict::UpToDate;
    }
    return source.time > destination.time ? UpdateVerdict::LaunchSetup : UpdateVerdict::UpToDate;
}

}  // namespace

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

UpdateVerdict DecideUpdateWithEvidence(LPCSTR destination, LPCSTR source, UpdateEvidence* evidence)
{
    std::memset(evidence, 0, sizeof *evidence);
    evidence->destination.searched = true;
    evidence->destination.found = FindFileStamp(destination, &evidence->destination.stamp);
    if (!evidence->destination.found) {
        evidence->step = DecidingStep::DestinationNotFound;
        return UpdateVerdict::LaunchSetup;
    }
    evidence->source.searched = true;
    evidence->source.found = FindFileStamp(source, &evidence->source.stamp);
    if (!evidence->source.found) {
        evidence->step = DecidingStep::SourceNotFound;
        return UpdateVerdict::UpToDate;
    }
    UpdateVerdict verdict = UpdateVerdict::CompareTimes;
    evidence->step = CompareVersions(destination, source, evidence, &verdict);
    if (verdict != UpdateVerdict::CompareTimes) {
        return verdict;
    }
    return CompareStamps(evidence->destination.stamp, evidence->source.stamp);
}

UpdateVerdict DecideUpdate(LPCSTR destination, LPCSTR source)
{
    UpdateEvidence evidence;
    return DecideUpdateWithEvidence(destination, source, &evidence);
}
