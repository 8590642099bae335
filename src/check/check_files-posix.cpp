// Reading the files the companion summarises (the install log, the pass reports) on POSIX:
// regular files only, opened without blocking, so a pipe or a device at their names can
// neither hang the check nor feed it without end.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "check/check_platform.h"
#include "text/ascii_case.h"

FILE* OpenRegularFile(const std::string& path, unsigned long long* size, std::string* why)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *why = std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = "not a regular file";
        close(fd);
        return nullptr;
    }
    // Reads of a regular file never wait; blocking mode back for the stream's sake.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* stream = fdopen(fd, "rb");
    if (stream == nullptr) {
        *why = std::strerror(errno);
        close(fd);
        return nullptr;
    }
    *size = static_cast<unsigned long long>(info.st_size);
    return stream;
}

bool ListFolderFiles(const std::string& folder, const char* suffix, std::vector<std::string>* names,
                     std::string* why)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        *why = std::strerror(errno);
        return false;
    }
    size_t suffixLength = std::strlen(suffix);
    while (struct dirent* entry = readdir(dir)) {
        size_t length = std::strlen(entry->d_name);
        // A name starting with a dot is a temporary file or hidden: never a report.
        if (entry->d_name[0] == '.' || length <= suffixLength ||
            !EqualIgnoringAsciiCase(entry->d_name + length - suffixLength, suffix)) {
            continue;
        }
        if (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) {
            names->push_back(entry->d_name);
        }
    }
    closedir(dir);
    return true;
}
