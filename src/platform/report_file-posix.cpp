// The report's replacement on POSIX: O_EXCL and O_NOFOLLOW for the temporary file, then
// rename(2), which replaces a link at the report's name rather than the file it names. In a
// sticky folder the kernel refuses to rename over another user's report.
#include "platform/report_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/win32.h"

namespace {

bool WriteWhole(int fd, const char* bytes, size_t size)
{
    while (size > 0) {
        ssize_t wrote = write(fd, bytes, size);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        bytes += wrote;
        size -= static_cast<size_t>(wrote);
    }
    return true;
}

// Eight hex digits from the kernel's random source; the process id when it gives none.
std::string RandomTag()
{
    unsigned value = 0;
    if (getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) {
        value = static_cast<unsigned>(getpid());
    }
    char tag[16];
    std::snprintf(tag, sizeof tag, "%08x", value);
    return tag;
}

}  // namespace

bool ReplaceReportFile(const char* folder, const char* fileName, const char* bytes, size_t size)
{
    std::string base = folder;
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    std::string target = base + fileName;
    std::string temporary = base + "." + fileName + "." + RandomTag() + ".tmp";
    if (temporary.size() >= MAX_PATH) {
        return false;
    }
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool written = WriteWhole(fd, bytes, size) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
