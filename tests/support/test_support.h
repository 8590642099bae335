// Helpers shared by the unit and system tests: temporary folders, files and child processes.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Sets (or, for nullptr, removes) an environment variable for the life of the object and puts
// the previous state back afterwards. TZ changes are made known to the C library at once.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const char* value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    bool had_;
    std::string saved_;
};

// Runs the rest of a test as an ordinary user: when the tests run as root (as CI does), the
// folder is given to "nobody" and the effective user becomes nobody until the object goes;
// otherwise nothing changes. Registration refuses to write as root, so its tests need this.
class ScopedOrdinaryUser {
public:
    explicit ScopedOrdinaryUser(const std::string& folder);
    ~ScopedOrdinaryUser();
    ScopedOrdinaryUser(const ScopedOrdinaryUser&) = delete;
    ScopedOrdinaryUser& operator=(const ScopedOrdinaryUser&) = delete;

private:
    bool switched_ = false;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);  // empty when missing
bool FileExists(const std::string& path);
// The text as UTF-16 bytes in the given order, after a byte-order mark.
std::string Utf16Bytes(const std::u16string& text, bool bigEndian);
// Fields of one CSV record by RFC 4180 (quoted fields may hold commas and doubled quotes); the
// record's line end is dropped.
std::vector<std::string> CsvFields(const std::string& record);

struct ProcessResult {
    int exitStatus = -1;                   // -1 when the program could not be run or was killed
    std::string output;                    // standard output and standard error together
    std::chrono::milliseconds elapsed{0};  // from the start to the end of the wait
};

// Runs a program and waits for it. `environment` entries override or add variables; a value
// of "\x01unset" removes one. The program starts with the default action for the stop signals
// (HUP, INT, TERM), as a session starts it, however the tests were started; `whileRunning` is
// given its process id once it runs.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment = {},
                         const std::string& workingDirectory = "",
                         const std::function<void(int)>& whileRunning = {});

}  // namespace testing_support
