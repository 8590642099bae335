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

struct DecisionCase {
    const char* what;
    Side destination;
    Side source;
    UpdateVerdict verdict;
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
    const DecisionCase rows[] = {
        {"destination missing", Missing(), Plain(t), LaunchSetup},
        {"both missing", Missing(), Missing(), LaunchSetup},
        {"source missing", Plain(t), Missing(), UpToDate},
        {"equal versions, equal moments", Pe(kV1, t), Pe(kV1, t), UpToDate},
        {"equal versions, source 2 s later", Pe(kV1, t), Pe(kV1, t + 2), LaunchSetup},
        {"equal versions, source later within 2 s", Pe(kV1, t), Pe(kV1, t + 1), UpToDate},
        {"equal versions, source 2 s earlier", Pe(kV1, t), Pe(kV1, t - 2), UpToDate},
        {"date earlier, time later", Pe(kV1, t), Pe(kV1, t - kDay + 3600), UpToDate},
        {"date later, time earlier", Pe(kV1, t), Pe(kV1, t + kDay - 3600), LaunchSetup},
        {"destination file version higher, older", Pe(kV2, t - kDay), Pe(kV1, t), UpToDate},
        {"source file version higher, older", Pe(kV1, t), Pe(kV2, t - kDay), LaunchSetup},
        {"file version decides before product", Pe(kV1Product2, t), Pe(kV1Build1, t - kDay),
         LaunchSetup},
        {"equal file versions, source product higher", Pe(kV1, t), Pe(kV1Product2, t - kDay),
         LaunchSetup},
        {"words compare unsigned", Pe(kLowHighBit, t), Pe(kHighBit, t - kDay), LaunchSetup},
        {"words compare unsigned, reversed", Pe(kHighBit, t - kDay), Pe(kLowHighBit, t),
         UpToDate},
        {"PE32 against PE32+", Pe(kV1, t, PeKind::Pe32), Pe(kV2, t - kDay, PeKind::Pe32Plus),
         LaunchSetup},
        {"version only on source: dates decide", Plain(t), Pe(kV2, t - kDay), UpToDate},
        {"version only on destination: dates decide", Pe(kV2, t), Plain(t + 10), LaunchSetup},
        {"PE without version: dates decide", PeWithoutVersion(t), Pe(kV1, t + 10), LaunchSetup},
        {"no versions, source newer", Plain(t), Plain(t + 60), LaunchSetup},
        {"no versions, source older", Plain(t + 60), Plain(t), UpToDate},
        {"destination is a folder", Folder(t), Plain(t + 60), LaunchSetup},
        {"destination is a folder, source older", Folder(t + 60), Plain(t), UpToDate},
        // Moments outside the MS-DOS range are clamped, so they still compare in order.
        {"both before 1980", Plain(100000000), Plain(200000000), UpToDate},
        {"destination before 1980", Plain(100000000), Plain(t), LaunchSetup},
        {"source after 2107", Plain(t), Plain(4300000000), LaunchSetup},
        {"both after 2107", Plain(4450000000), Plain(4500000000), UpToDate},
    };
    for (const DecisionCase& row : rows) {
        TempDir dir;
        Make(dir / "destination", row.destination);
        Make(dir / "source", row.source);
        EXPECT_EQ(DecideUpdate((dir / "destination").c_str(), (dir / "source").c_str()),
                  row.verdict)
            << row.what;
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
    EXPECT_EQ(DecideUpdate((dir / "destination").c_str(), (dir / "masters/b*").c_str()),
              LaunchSetup);
}

}  // namespace
