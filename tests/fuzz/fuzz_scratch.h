// A private scratch folder for the fuzz targets whose parsers read files: the bytes of one
// input are written to a file there and read back through the platform's own calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// The folder (made once per process, under /dev/shm when it exists so that the writes and
// flushes of every input cost no disk); HOME points at it, so the user's WIN.INI is there.
const std::string& ScratchDir();

// `name` inside the scratch folder, holding exactly the given bytes.
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);
std::string WriteScratchFile(const std::string& name, const std::string& bytes);

// The whole file, or empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Removes a file or a folder with everything in it.
void RemoveAll(const std::string& path);

// The names in a folder, "." and ".." left out, sorted.
std::string ListFolder(const std::string& path);

// Stops the process with a message when a checked property does not hold: libFuzzer records
// the input that broke it.
[[noreturn]] void PropertyFailed(const char* what);

}  // namespace fuzzing

#define FUZZ_CHECK(condition)                      \
    do {                                           \
        if (!(condition)) {                        \
            ::fuzzing::PropertyFailed(#condition); \
        }                                          \
    } while (0)
