// The update decision against real files: presence first, then version quadruples, then the
// MS-DOS date and time of the last write.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "support/pe_fixture.h"
#include "support/test_support.h"
#include "update/decide_update.h"

namespace {

using testing_support::PeKind;
using testing_support::TempDir;
using testing_support::VersionQuad;
using testing_support::WriteFile;
using testing_support::WritePeWithoutVersion;
using testing_support::WritePeWithVersion;

constexpr time_t kDay = 86400;
constexpr time_t kNoon2026 = 1780000000 - 1780000000 % kDay + 12 * 3600;  // a mid-2026 noon

void SetLastWrite(const std::string& path, time_t moment)
{
    struct timespec times[2] = {{moment, 0}, {moment, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A file as one side of a decision: absent, a plain file, a folder, or a PE with a version.
struct Side {
    enum Kind { Missing, Plain, Folder, Versioned, Unversioned } kind;
    time_t lastWrite;
    VersionQuad version;
    PeKind pe;
};

Side Missing()
{
    return {Side::Missing, 0, {}, PeKind::Pe32Plus};
}
Side Plain(time_t at)
{
    return {Side::Plain, at, {}, PeKind::Pe32Plus};
}
Side Folder(time_t at)
{
    return {Side::Folder, at, {}, PeKind::Pe32Plus};
}
Side Pe(VersionQuad version, time_t at, PeKind pe = PeKind::Pe32Plus)
{
    return {Side::Versioned, at, version, pe};
}
Side PeWithoutVersion(time_t at)
{
    return {Side::Unversioned, at, {}, PeKind::Pe32Plus};
}

void Make(const std::string& path, const Side& side)
{
    switch (side.kind) {
    case Side::Missing:
        return;
    case Side::Plain:
        WriteFile(path, "plain");
        break;
    case Side::Folder:
        mkdir(path.c_str(), 0755);
        break;
    case Side::Versioned:
        WritePeWithVersion(path, side.version, side.pe);
        break;
    case Side::Unversioned:
        WritePeWithoutVersion(path);
        break;
    }
    SetLastWrite(path, side.lastWrite);
}

// The verdicts and steps by their own names, as the table below reads them.
constexpr UpdateVerdict LaunchSetup = UpdateVerdict::LaunchSetup;
constexpr UpdateVerdict UpToDate = UpdateVerdict::UpToDate;
constexpr DecidingStep DestinationNotFound = DecidingStep::DestinationNotFound;
constexpr DecidingStep SourceNotFound = DecidingStep::SourceNotFound;
constexpr DecidingStep NoVersionResource = DecidingStep::NoVersionResource;
constexpr DecidingStep VersionsDiffer = DecidingStep::VersionsDiffer;
constexpr DecidingStep DatesDecide = DecidingStep::DatesDecide;

struct DecisionCase {
    const char* what;
    Side destination;
    Side source;
    UpdateVerdict verdict;
    DecidingStep step;  // the step the evidence names
};

const VersionQuad kV1 = {0x00010000, 0x00000000, 0x00010000, 0x00000000};
const VersionQuad kV1Product2 = {0x00010000, 0x00000000, 0x00020000, 0x00000000};
const VersionQuad kV2 = {0x00020000, 0x00000000, 0x00010000, 0x00000000};
const VersionQuad kV1Build1 = {0x00010000, 0x00000001, 0x00000000, 0x00000000};
const VersionQuad kLowHighBit = {0x7FFFFFFF, 0, 0, 0};
const VersionQuad kHighBit = {0x80000000, 0, 0, 0};
const time_t t = kNoon2026;

TEST(DecideUpdate, TheDecisionTable)
{
    // clang-format off
    const DecisionCase rows[] = {
        {"destination missing", Missing(), Plain(t), LaunchSetup, DestinationNotFound},
        {"both missing", Missing(), Missing(), LaunchSetup, DestinationNotFound},
        {"source missing", Plain(t), Missing(), UpToDate, SourceNotFound},
        {"equal versions, equal moments", Pe(kV1, t), Pe(kV1, t), UpToDate, DatesDecide},
        {"equal versions, source 2 s later", Pe(kV1, t), Pe(kV1, t + 2), LaunchSetup, DatesDecide},
        {"equal versions, source later within 2 s",
         Pe(kV1, t), Pe(kV1, t + 1), UpToDate, DatesDecide},
        {"equal versions, source 2 s earlier", Pe(kV1, t), Pe(kV1, t - 2), UpToDate, DatesDecide},
        {"date earlier, time later", Pe(kV1, t), Pe(kV1, t - kDay + 3600), UpToDate, DatesDecide},
        {"date later, time earlier",
         Pe(kV1, t), Pe(kV1, t + kDay - 3600), LaunchSetup, DatesDecide},
        {"destination file version higher, older",
         Pe(kV2, t - kDay), Pe(kV1, t), UpToDate, VersionsDiffer},
        {"source file version higher, older",
         Pe(kV1, t), Pe(kV2, t - kDay), LaunchSetup, VersionsDiffer},
        {"file version decides before product", Pe(kV1Product2, t), Pe(kV1Build1, t - kDay),
         LaunchSetup, VersionsDiffer},
        {"equal file versions, source product higher", Pe(kV1, t), Pe(kV1Product2, t - kDay),
         LaunchSetup, VersionsDiffer},
        {"words compare unsigned",
         Pe(kLowHighBit, t), Pe(kHighBit, t - kDay), LaunchSetup, VersionsDiffer},
        {"words compare unsigned, reversed", Pe(kHighBit, t - kDay), Pe(kLowHighBit, t),
         UpToDate, VersionsDiffer},
        {"PE32 against PE32+", Pe(kV1, t, PeKind::Pe32), Pe(kV2, t - kDay, PeKind::Pe32Plus),
         LaunchSetup, VersionsDiffer},
        {"version only on source: dates decide",
         Plain(t), Pe(kV2, t - kDay), UpToDate, NoVersionResource},
        {"version only on destination: dates decide",
         Pe(kV2, t), Plain(t + 10), LaunchSetup, NoVersionResource},
        {"PE without version: dates decide",
         PeWithoutVersion(t), Pe(kV1, t + 10), LaunchSetup, NoVersionResource},
        {"no versions, source newer", Plain(t), Plain(t + 60), LaunchSetup, NoVersionResource},
        {"no versions, source older", Plain(t + 60), Plain(t), UpToDate, NoVersionResource},
        {"destination is a folder", Folder(t), Plain(t + 60), LaunchSetup, NoVersionResource},
        {"destination is a folder, source older",
         Folder(t + 60), Plain(t), UpToDate, NoVersionResource},
        // Moments outside the MS-DOS range are clamped, so they still compare in order.
        {"both before 1980", Plain(100000000), Plain(200000000), UpToDate, NoVersionResource},
        {"destination before 1980", Plain(100000000), Plain(t), LaunchSetup, NoVersionResource},
        {"source after 2107", Plain(t), Plain(4300000000), LaunchSetup, NoVersionResource},
        {"both after 2107", Plain(4450000000), Plain(4500000000), UpToDate, NoVersionResource},
    };
    // clang-format on
    for (const DecisionCase& row : rows) {
        TempDir dir;
        Make(dir / "destination", row.destination);
        Make(dir / "source", row.source);
        UpdateEvidence evidence;
        EXPECT_EQ(DecideUpdateWithEvidence((dir / "destination").c_str(), (dir / "source").c_str(),
                                           &evidence),
                  row.verdict)
            << row.what;
        EXPECT_EQ(evidence.step, row.step) << row.what;
    }
}

TEST(DecideUpdate, PatternsTakeTheFirstMatchInNameOrder)
{
    TempDir dir;
    WriteFile(dir / "destination", "d");
    SetLastWrite(dir / "destination", t);
    mkdir((dir / "masters").c_str(), 0755);
    WriteFile(dir / "masters/a.bin", "a");
    WriteFile(dir / "masters/b.bin", "b");
    SetLastWrite(dir / "masters/a.bin", t - 60);
    SetLastWrite(dir / "masters/b.bin", t + 60);
    EXPECT_EQ(DecideUpdate((dir / "destination").c_str(), (dir / "masters/?.bin").c_str()),
              UpToDate);
    UpdateEvidence evidence;
    EXPECT_EQ(DecideUpdateWithEvidence((dir / "destination").c_str(), (dir / "masters/b*").c_str(),
                                       &evidence),
              LaunchSetup);
    EXPECT_STREQ(evidence.source.stamp.name, "b.bin");
}

}  // namespace
