#include "support/pe_fixture.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace {

const char kFixedFileInfoSignature[] = "\xBD\x04\xEF\xFE";
constexpr size_t kFixedFileInfoSize = 52;

std::string ReadFixtureFile(const std::string& name)
{
    const std::string path = std::string(QUORVEL_PE_FIXTURE_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        bytes.clear();
    }
    if (bytes.empty()) {
        throw std::runtime_error("PE fixture missing: " + path +
                                 " (it is built by the MinGW-w64 toolchain; install mingw-w64 "
                                 "and re-configure)");
    }
    return bytes;
}

void PutLe32(std::string& bytes, size_t offset, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

std::string ReadPeFixture(PeKind kind)
{
    return ReadFixtureFile(kind == PeKind::Pe32 ? "version_pe32.exe" : "version_pe64.exe");
}

size_t FixedFileInfoOffset(const std::string& peBytes)
{
    const std::string signature(kFixedFileInfoSignature, 4);
    size_t first = peBytes.find(signature);
    if (first == std::string::npos || peBytes.find(signature, first + 1) != std::string::npos ||
        peBytes.size() - first < kFixedFileInfoSize) {
        throw std::runtime_error("PE fixture does not hold exactly one fixed file information");
    }
    return first;
}

void WritePeWithVersion(const std::string& path, const VersionQuad& version, PeKind kind)
{
    std::string bytes = ReadPeFixture(kind);
    const size_t info = FixedFileInfoOffset(bytes);
    // Signature and structure version come first, then the four version words.
    PutLe32(bytes, info + 8, version.fileMS);
    PutLe32(bytes, info + 12, version.fileLS);
    PutLe32(bytes, info + 16, version.productMS);
    PutLe32(bytes, info + 20, version.productLS);
    WriteBytes(path, bytes);
}

void WritePeWithoutVersion(const std::string& path)
{
    WriteBytes(path, ReadFixtureFile("plain_pe64.exe"));
}

void CopyPeFixture(const std::string& name, const std::string& path)
{
    WriteBytes(path, ReadFixtureFile(name));
}

}  // namespace testing_support
