// The file helpers of test_support.h that need nothing beyond the standard library, so the
// tables that also run against the real platform (the Windows build under Wine) can use them.
#include "support/test_support.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir()
{
    // A fresh name each time: a folder that already exists is never taken over.
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::uniform_int_distribution<size_t> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "quorvel-test-";
        for (int i = 0; i < 6; ++i) {
            name += letters[pick(source)];
        }
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error)) {
            std::filesystem::permissions(base / name, std::filesystem::perms::owner_all);
            path_ = (base / name).string();
            return;
        }
    }
    throw std::runtime_error("cannot create a folder under " + base.string());
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::string Utf16Bytes(const std::u16string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8);
        char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace testing_support
