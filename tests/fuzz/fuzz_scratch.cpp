#include "fuzz_scratch.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace fuzzing {

namespace {

std::string MakeScratchDir()
{
    struct stat status {};
    std::string base = stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode)
                           ? "/dev/shm"
                           : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    std::string pattern = base + "/quorvel-fuzz-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        PropertyFailed("the scratch folder cannot be made");
    }
    std::string dir(name.data());
    setenv("HOME", dir.c_str(), 1);
    return dir;
}

// Removes the files the targets leave, so a run leaves nothing behind.
void RemoveTree(const std::string& path)
{
    if (DIR* folder = opendir(path.c_str())) {
        while (dirent* entry = readdir(folder)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                RemoveTree(path + "/" + name);
            }
        }
        closedir(folder);
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

void RemoveScratchDir()
{
    RemoveTree(ScratchDir());
}

}  // namespace

void RemoveAll(const std::string& path)
{
    RemoveTree(path);
}

const std::string& ScratchDir()
{
    // Never destroyed: the removal at exit still needs the name.
    static const std::string* dir = [] {
        const std::string* made = new std::string(MakeScratchDir());
        std::atexit(RemoveScratchDir);
        return made;
    }();
    return *dir;
}

std::string WriteScratchFile(const std::string& name, const std::string& bytes)
{
    std::string path = ScratchDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        PropertyFailed("a scratch file cannot be written");
    }
    return path;
}

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size)
{
    return WriteScratchFile(name, std::string(reinterpret_cast<const char*>(data), size));
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* folder = opendir(path.c_str())) {
        while (dirent* entry = readdir(folder)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    std::ostringstream joined;
    for (const std::string& name : names) {
        joined << name << ' ';
    }
    return joined.str();
}

void PropertyFailed(const char* what)
{
    std::fprintf(stderr, "property does not hold: %s\n", what);
    std::abort();
}

}  // namespace fuzzing
