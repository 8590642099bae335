// Truncated and hand-corrupted PE files: none may crash or read outside what was read, and
// each reads either as "no version resource" or, where nothing it needs was touched, as the
// right quadruple.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/known_difference.h"
#include "support/pe_fixture.h"
#include "support/test_support.h"
#include "version_test_util.h"

using testing_support::GivesAsThePlatform;
using testing_support::kOnTheRealPlatform;
using testing_support::Mark;
using testing_support::MarkOf;
using testing_support::PeKind;
using testing_support::TempDir;
using testing_support::VersionQuad;

namespace {

uint32_t Get32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
    }
    return value;
}

uint16_t Get16(const std::string& bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                                 (static_cast<unsigned char>(bytes.at(at + 1)) << 8));
}

void Put32(std::string& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        bytes.at(at + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void Put16(std::string& bytes, size_t at, uint16_t value)
{
    bytes.at(at) = static_cast<char>(value & 0xFF);
    bytes.at(at + 1) = static_cast<char>(value >> 8);
}

// File offsets of every structure on the way to a fixture's version block. The fixtures are
// known-good, so this follows them without checks of its own.
struct FixtureMap {
    size_t pe = 0;
    size_t optional = 0;
    size_t directoryCount = 0;
    size_t resourceDirectory = 0;  // the data directory entry
    size_t resourceSection = 0;    // the section header that holds the resources
    size_t root = 0;
    size_t typeEntry = 0;
    size_t names = 0;
    uint32_t namesRelative = 0;
    size_t nameEntry = 0;
    size_t languages = 0;
    size_t languageEntry = 0;
    size_t dataEntry = 0;
    size_t block = 0;
    uint16_t blockLength = 0;
    size_t neededEnd = 0;  // the file must reach this far for the version to be read
};

FixtureMap MapFixture(const std::string& bytes)
{
    FixtureMap map;
    map.pe = Get32(bytes, 0x3C);
    map.optional = map.pe + 24;
    const bool plus = Get16(bytes, map.optional) == 0x20B;
    map.directoryCount = map.optional + (plus ? 108 : 92);
    map.resourceDirectory = map.optional + (plus ? 112 : 96) + 2 * 8;
    const uint32_t resourceRva = Get32(bytes, map.resourceDirectory);
    const size_t sections = map.optional + Get16(bytes, map.pe + 20);
    for (size_t i = 0; i < Get16(bytes, map.pe + 6); ++i) {
        size_t header = sections + i * 40;
        uint32_t va = Get32(bytes, header + 12);
        if (resourceRva >= va && resourceRva < va + Get32(bytes, header + 16)) {
            map.resourceSection = header;
            map.root = Get32(bytes, header + 20) + (resourceRva - va);
        }
    }
    auto firstEntry = [&](size_t directory) { return directory + 16; };
    map.typeEntry = firstEntry(map.root) + 8 * Get16(bytes, map.root + 12);
    while (Get32(bytes, map.typeEntry) != 16) {
        map.typeEntry += 8;
    }
    map.namesRelative = Get32(bytes, map.typeEntry + 4) & 0x7FFFFFFF;
    map.names = map.root + map.namesRelative;
    map.nameEntry = firstEntry(map.names);
    map.languages = map.root + (Get32(bytes, map.nameEntry + 4) & 0x7FFFFFFF);
    map.languageEntry = firstEntry(map.languages);
    map.dataEntry = map.root + Get32(bytes, map.languageEntry + 4);
    const uint32_t sectionVa = Get32(bytes, map.resourceSection + 12);
    map.block = Get32(bytes, map.resourceSection + 20) + (Get32(bytes, map.dataEntry) - sectionVa);
    map.blockLength = Get16(bytes, map.block);
    map.neededEnd = std::max(map.block + map.blockLength, map.dataEntry + 16);
    return map;
}

std::optional<VersionQuad> QueryBytes(const TempDir& dir, const std::string& bytes)
{
    const std::string path = dir / "subject.exe";
    testing_support::WriteFile(path, bytes);
    return QueryVersionQuad(path);
}

class VersionTruncationTest : public ::testing::TestWithParam<PeKind> {};

TEST_P(VersionTruncationTest, ACutFileHasTheVersionOnlyWhenTheBlockIsWhole)
{
    TempDir dir;
    const std::string whole = testing_support::ReadPeFixture(GetParam());
    const FixtureMap map = MapFixture(whole);
    ASSERT_EQ(Get16(whole, map.block + 2), 52u);  // the map found the real block

    std::vector<size_t> cuts;
    for (size_t cut = 0; cut <= whole.size(); cut += 64) {
        cuts.push_back(cut);
    }
    // Cuts at the structures' edges ("near" is a macro of the Windows headers).
    for (size_t edge :
         {size_t{1}, size_t{63}, map.pe + 2, map.root + 20, map.block + 1, map.block + 60,
          map.neededEnd - 1, map.neededEnd, map.neededEnd + 1, whole.size() - 1}) {
        cuts.push_back(edge);
    }
    // The real reader refuses the cuts at the end of the resource data and one byte after it.
    const Mark<std::optional<VersionQuad>> shortTail = {
        {std::nullopt, "the real reader wants the file to reach past the resource data's end"}};
    const std::optional<VersionQuad> built = testing_support::kBuiltFixtureVersion;
    for (size_t cut : cuts) {
        std::optional<VersionQuad> quad = QueryBytes(dir, whole.substr(0, cut));
        if (cut >= map.neededEnd) {
            EXPECT_TRUE(GivesAsThePlatform(quad, built,
                                           cut <= map.neededEnd + 1 ? shortTail : std::nullopt))
                << "cut at " << cut;
        } else {
            EXPECT_FALSE(quad.has_value()) << "cut at " << cut;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothWidths, VersionTruncationTest,
                         ::testing::Values(PeKind::Pe32, PeKind::Pe32Plus),
                         [](const ::testing::TestParamInfo<PeKind>& param) {
                             return param.param == PeKind::Pe32 ? "Pe32" : "Pe32Plus";
                         });

struct Corruption {
    const char* what;
    std::function<void(std::string&, const FixtureMap&)> apply;
};

// clang-format off
const Corruption kCorruptions[] = {
    {"bad DOS magic", [](std::string& b, const FixtureMap&) { b[0] = 'X'; }},
    {"PE offset past the end", [](std::string& b, const FixtureMap&) { Put32(b, 0x3C, 0x7FFFFFF0); }},
    {"PE offset at the very end",
     [](std::string& b, const FixtureMap&) { Put32(b, 0x3C, static_cast<uint32_t>(b.size() - 8)); }},
    {"PE offset of all ones", [](std::string& b, const FixtureMap&) { Put32(b, 0x3C, 0xFFFFFFFF); }},
    {"bad PE signature", [](std::string& b, const FixtureMap& m) { b[m.pe + 1] = 'X'; }},
    {"unknown optional header magic", [](std::string& b, const FixtureMap& m) { Put16(b, m.optional, 0x10C); }},
    {"optional header too short for the resource directory",
     [](std::string& b, const FixtureMap& m) { Put16(b, m.pe + 20, 16); }},
    {"no sections", [](std::string& b, const FixtureMap& m) { Put16(b, m.pe + 6, 0); }},
    {"huge section count", [](std::string& b, const FixtureMap& m) { Put16(b, m.pe + 6, 0xFFFF); }},
    {"too few data directories", [](std::string& b, const FixtureMap& m) { Put32(b, m.directoryCount, 2); }},
    {"resource directory outside every section",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.resourceDirectory, 0x7FFF0000); }},
    {"resource directory of size 0", [](std::string& b, const FixtureMap& m) { Put32(b, m.resourceDirectory + 4, 0); }},
    {"resource section data past the end",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.resourceSection + 20, 0x7FFFFF00); }},
    {"resource section data straddling the end",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.resourceSection + 20, static_cast<uint32_t>(b.size() - 64)); }},
    {"huge entry counts in the root",
     [](std::string& b, const FixtureMap& m) {
         Put16(b, m.root + 12, 0xFFFF);
         Put16(b, m.root + 14, 0xFFFF);
     }},
    {"root entries running past the section", [](std::string& b, const FixtureMap& m) { Put16(b, m.root + 14, 2000); }},
    {"no version type", [](std::string& b, const FixtureMap& m) { Put32(b, m.typeEntry, 17); }},
    {"version type leads to data, not a directory",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.typeEntry + 4, Get32(b, m.typeEntry + 4) & 0x7FFFFFFF); }},
    {"version type leads back to the root", [](std::string& b, const FixtureMap& m) { Put32(b, m.typeEntry + 4, 0x80000000); }},
    {"name leads back to its own directory",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.nameEntry + 4, 0x80000000 | m.namesRelative); }},
    {"language leads back to the root as a directory",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.languageEntry + 4, 0x80000000); }},
    {"subdirectory offset past the section",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.nameEntry + 4, 0xFFFFFFFF); }},
    {"empty language directory",
     [](std::string& b, const FixtureMap& m) {
         Put16(b, m.languages + 12, 0);
         Put16(b, m.languages + 14, 0);
     }},
    {"data outside every section", [](std::string& b, const FixtureMap& m) { Put32(b, m.dataEntry, 0x7FFF0000); }},
    {"data address of all ones", [](std::string& b, const FixtureMap& m) { Put32(b, m.dataEntry, 0xFFFFFFFF); }},
    {"resource size under the block length",
     [](std::string& b, const FixtureMap& m) { Put32(b, m.dataEntry + 4, m.blockLength - 1u); }},
    {"resource size under a header", [](std::string& b, const FixtureMap& m) { Put32(b, m.dataEntry + 4, 4); }},
    {"block length past the resource", [](std::string& b, const FixtureMap& m) { Put16(b, m.block, 0xFFFF); }},
    {"block length under a header", [](std::string& b, const FixtureMap& m) { Put16(b, m.block, 4); }},
    {"block length cutting the key", [](std::string& b, const FixtureMap& m) { Put16(b, m.block, 20); }},
    {"block length cutting the value", [](std::string& b, const FixtureMap& m) { Put16(b, m.block, 60); }},
    {"root value shorter than the fixed file information",
     [](std::string& b, const FixtureMap& m) { Put16(b, m.block + 2, 40); }},
    {"no root value", [](std::string& b, const FixtureMap& m) { Put16(b, m.block + 2, 0); }},
    {"root value longer than the block", [](std::string& b, const FixtureMap& m) { Put16(b, m.block + 2, 0xFFFF); }},
    {"key without a terminator",
     [](std::string& b, const FixtureMap& m) {
         for (size_t at = m.block + 6; at < m.block + m.blockLength; at += 2) {
             Put16(b, at, 'A');
         }
     }},
};
// clang-format on

// What the version calls make of a file: the size reported and the quadruple read, if any.
std::string WhatTheCallsRead(const std::string& path)
{
    std::ostringstream text;
    text << "size " << GetFileVersionInfoSizeA(path.c_str(), nullptr) << ", ";
    if (std::optional<VersionQuad> quad = QueryVersionQuad(path)) {
        PrintTo(*quad, &text);
    } else {
        text << "no version";
    }
    return text.str();
}

// What the real platform makes of a corruption, where it differs from the stand-in.
const char kResourceSizeUnchecked[] =
    "the real reader takes the resource's stated size without checking the block against it";
const char kBlockLengthsUnchecked[] =
    "the real reader does not check the block's own lengths against the resource";
const std::vector<testing_support::MarkedRow<std::string>> kRealPlatformCorruptions = {
    {"resource size under the block length", "size 786, {10002, 30004, 50006, 70008}",
     kResourceSizeUnchecked},
    {"resource size under a header", "size 12, {715c706d, 76726f75, 742d6c65, 2d747365}",
     kResourceSizeUnchecked},
    {"block length past the resource", "size 788, {10002, 30004, 50006, 70008}",
     kBlockLengthsUnchecked},
    {"block length under a header", "size 788, {4f0049, 5f004e, 4e0049, 4f0046}",
     kBlockLengthsUnchecked},
    {"block length cutting the key", "size 788, {10002, 30004, 50006, 70008}",
     kBlockLengthsUnchecked},
    {"block length cutting the value", "size 788, {10002, 30004, 50006, 58324546}",
     kBlockLengthsUnchecked},
    {"root value shorter than the fixed file information", "size 788, no version",
     kBlockLengthsUnchecked},
    {"no root value", "size 788, no version", kBlockLengthsUnchecked},
    {"root value longer than the block", "size 788, {10002, 30004, 50006, 70008}",
     kBlockLengthsUnchecked},
    {"key without a terminator", "size 788, {0, 0, 0, 0}", kBlockLengthsUnchecked},
};

// Corruptions the real platform does not survive (Wine's reader faults on them, ending the
// process), so they are not run there.
const char* const kFatalOnTheRealPlatform[] = {
    "data outside every section",
    "data address of all ones",
};

bool FatalOnTheRealPlatform(const char* what)
{
    return kOnTheRealPlatform &&
           std::any_of(std::begin(kFatalOnTheRealPlatform), std::end(kFatalOnTheRealPlatform),
                       [what](const char* fatal) { return std::string(fatal) == what; });
}

class VersionCorruptionTest : public ::testing::TestWithParam<PeKind> {};

TEST_P(VersionCorruptionTest, EachCorruptionReadsAsNoVersion)
{
    TempDir dir;
    const std::string whole = testing_support::ReadPeFixture(GetParam());
    const FixtureMap map = MapFixture(whole);
    ASSERT_EQ(QueryBytes(dir, whole), testing_support::kBuiltFixtureVersion);
    for (const Corruption& corruption : kCorruptions) {
        if (FatalOnTheRealPlatform(corruption.what)) {
            continue;
        }
        std::string bytes = whole;
        corruption.apply(bytes, map);
        ASSERT_NE(bytes, whole) << corruption.what << " changed nothing";
        testing_support::WriteFile(dir / "subject.exe", bytes);
        EXPECT_TRUE(GivesAsThePlatform(WhatTheCallsRead(dir / "subject.exe"),
                                       std::string("size 0, no version"),
                                       MarkOf(corruption.what, kRealPlatformCorruptions)))
            << corruption.what;
    }
}

// What a damaged file does not need may be damaged: the name rule and the unread tail.
const char kOnlyNameOne[] = "the real reader takes only the resource named 1, not the first";

TEST_P(VersionCorruptionTest, DamageOffThePathStillReads)
{
    TempDir dir;
    const std::string whole = testing_support::ReadPeFixture(GetParam());
    const FixtureMap map = MapFixture(whole);
    const Corruption kHarmless[] = {
        {"name other than 1 (the first name is taken)",
         [](std::string& b, const FixtureMap& m) { Put32(b, m.nameEntry, 7); }},
        {"a string name (the first name is taken)",
         [](std::string& b, const FixtureMap& m) {
             Put16(b, m.names + 12, 1);
             Put16(b, m.names + 14, 0);
             Put32(b, m.nameEntry, 0x80000000 | 0x10);
         }},
        {"garbage after the block",
         [](std::string& b, const FixtureMap&) { b += std::string(4096, '\xFF'); }},
    };
    const std::vector<testing_support::MarkedRow<std::optional<VersionQuad>>> realPlatform = {
        {kHarmless[0].what, std::nullopt, kOnlyNameOne},
        {kHarmless[1].what, std::nullopt, kOnlyNameOne},
    };
    for (const Corruption& change : kHarmless) {
        std::string bytes = whole;
        change.apply(bytes, map);
        EXPECT_TRUE(GivesAsThePlatform(QueryBytes(dir, bytes),
                                       std::optional(testing_support::kBuiltFixtureVersion),
                                       MarkOf(change.what, realPlatform)))
            << change.what;
    }
}

INSTANTIATE_TEST_SUITE_P(BothWidths, VersionCorruptionTest,
                         ::testing::Values(PeKind::Pe32, PeKind::Pe32Plus),
                         [](const ::testing::TestParamInfo<PeKind>& param) {
                             return param.param == PeKind::Pe32 ? "Pe32" : "Pe32Plus";
                         });

// A block that the caller hands to the query carries its own length; a query never looks
// past it, however the rest of the caller's memory reads.
TEST(VersionQuery, TheBlockLengthBoundsTheQuery)
{
    std::vector<unsigned char> block(128, 0);
    const unsigned char header[] = {92, 0, 52, 0, 0, 0};
    std::copy(std::begin(header), std::end(header), block.begin());
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof key; ++i) {
        block[6 + 2 * i] = static_cast<unsigned char>(key[i]);
    }
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(static_cast<unsigned char*>(value), block.data() + 40);
    EXPECT_EQ(length, 52u);

    const Mark<bool> unchecked = {{true, "the real query does not check the block's length"}};
    block[0] = 91;  // one byte short of the value
    const bool found = VerQueryValueA(block.data(), "\\", &value, &length) != FALSE;
    EXPECT_TRUE(GivesAsThePlatform(found, false, unchecked));
    if (!found) {
        EXPECT_EQ(value, nullptr);
    }
    block[0] = 5;  // shorter than a header
    EXPECT_TRUE(GivesAsThePlatform(VerQueryValueA(block.data(), "\\", &value, &length) != FALSE,
                                   false, unchecked));
}

}  // namespace
