// The manifest reader over any file, and the manifest's text reading over any bytes: the PE
// reader finds the manifest (never more than the companion reads), and the text reading
// always ends with an answer.
#include <cstdint>
#include <string>

#include "check/check_platform.h"
#include "check/manifest_text.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzzing::WriteScratchFile("program.exe", data, size);
    ProgramManifest manifest = ReadProgramManifest(path);
    FUZZ_CHECK(manifest.text.size() <= kManifestCap);
    FUZZ_CHECK(manifest.state == ManifestState::Read || manifest.text.empty());
    ManifestReading reading = ReadManifestText(manifest.state == ManifestState::Read
                                                   ? manifest.text
                                                   : std::string(data, data + size));
    FUZZ_CHECK(reading.level == ExecutionLevel::Unstated || !reading.levelText.empty() ||
               reading.level == ExecutionLevel::Unknown);
    return 0;
}
