// The option pass over any options file, read as the program reads it (lines of at most 259
// characters). The result must equal applying, one at a time, the pieces a plain model of that
// reading gives: a leading UTF-8 byte-order mark skipped, carriage returns dropped, the file
// ended at the first Ctrl-Z, each line cut into pieces of 259, each piece ended at a NUL, empty
// ones skipped. The settings' path fields stay terminated inside their room.
#include <cstring>
#include <string>
#include <vector>

#include "core/run_settings.h"
#include "fuzz_scratch.h"
#include "run/run_driver.h"

namespace {

constexpr size_t kPieceLength = 259;

std::vector<std::string> ModelPieces(const std::string& bytes)
{
    const bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::string text;
    for (char c : bytes.substr(marked ? 3 : 0)) {
        if (c == '\x1a') {
            break;
        }
        if (c != '\r') {
            text += c;
        }
    }
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t lineEnd = end == std::string::npos ? text.size() : end;
        for (size_t at = start; at < lineEnd; at += kPieceLength) {
            const std::string piece = text.substr(at, std::min(kPieceLength, lineEnd - at));
            pieces.push_back(piece.c_str());
        }
        start = lineEnd + 1;
    }
    return pieces;
}

struct Outcome {
    bool applied;
    RunSettings settings;
};

void CheckTerminated(const RunSettings& settings)
{
    FUZZ_CHECK(std::memchr(settings.logPath, '\0', kPathFieldSize) != nullptr);
    FUZZ_CHECK(std::memchr(settings.settingsPath, '\0', kPathFieldSize) != nullptr);
    FUZZ_CHECK(settings.logSwitch == 0 || settings.logSwitch == 1);
}

bool SameSettings(const RunSettings& a, const RunSettings& b)
{
    return a.logSwitch == b.logSwitch && std::strcmp(a.logPath, b.logPath) == 0 &&
           std::strcmp(a.settingsPath, b.settingsPath) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzing::WriteScratchFile("Quorvel.cfg", bytes);

    ResetRunSettings(nullptr);
    const Outcome read{ApplyOptionsFileAt(path.c_str()), gRunSettings};
    CheckTerminated(read.settings);

    ResetRunSettings(nullptr);
    bool applied = true;
    for (const std::string& piece : ModelPieces(bytes)) {
        if (!piece.empty() && !ApplySwitchLine(piece.c_str())) {
            applied = false;
            break;
        }
    }
    FUZZ_CHECK(read.applied == applied);
    FUZZ_CHECK(SameSettings(read.settings, gRunSettings));
    return 0;
}
