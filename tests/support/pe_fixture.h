// PE files with and without a version resource, made from programs that the MinGW-w64
// toolchain builds into the build folder (each function throws std::runtime_error, naming the
// file, when a fixture is missing). Files written here are read alike by the POSIX
// version reader and by the real platform (the Windows build under Wine).
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

struct VersionQuad {
    uint32_t fileMS, fileLS, productMS, productLS;
};
enum class PeKind { Pe32, Pe32Plus };

// The quadruple the fixtures carry as built (file version 1.2.3.4, product version 5.6.7.8).
constexpr VersionQuad kBuiltFixtureVersion = {0x00010002, 0x00030004, 0x00050006, 0x00070008};

// Writes a valid PE whose version resource carries the quadruple: the toolchain-built fixture
// with the four words of its fixed file information patched.
void WritePeWithVersion(const std::string& path, const VersionQuad& version,
                        PeKind kind = PeKind::Pe32Plus);
void WritePeWithoutVersion(const std::string& path);  // a valid PE with no version resource
// Writes the toolchain-built fixture `name` as built: "plain_pe32.exe" (a 32-bit program with
// no resource), "manifest_KIND.exe" (a 32-bit program whose manifest asks for the level KIND:
// requireAdministrator, highestAvailable, asInvoker; "malformed" is not well-formed XML,
// "oversized" is larger than the companion reads).
void CopyPeFixture(const std::string& name, const std::string& path);

// The bytes of the toolchain-built fixture with a version resource, as built.
std::string ReadPeFixture(PeKind kind);
// Where the fixed file information (its signature word) lies in those bytes.
size_t FixedFileInfoOffset(const std::string& peBytes);

}  // namespace testing_support
