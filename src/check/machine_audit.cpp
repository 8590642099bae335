#include "check/machine_audit.h"

#include <set>

#include "check/check_platform.h"
#include "check/entry_report.h"
#include "check/text_format.h"
#include "platform/win32.h"

namespace {

// The folders above `path`, nearest first, up to the root (a drive root or "/").
std::vector<std::string> FoldersAbove(const std::string& path)
{
    std::vector<std::string> folders;
    std::string folder = path;
    for (;;) {
        size_t cut = folder.find_last_of(std::string("/") + kPathSeparator);
        if (cut == std::string::npos) {
            return folders;
        }
        bool root = cut == 0 || (cut == 2 && folder[1] == ':');
        folder = folder.substr(0, root ? cut + 1 : cut);
        if (folder.compare(0, 2, std::string(2, kPathSeparator)) == 0 &&
            folder.find(kPathSeparator, 2) == std::string::npos) {
            return folders;  // a share's bare server name is no folder
        }
        folders.push_back(folder);
        if (root) {
            return folders;
        }
    }
}

}  // namespace

Findings AuditMachinePass(const std::vector<AuditedPath>& paths)
{
    Findings findings;
    std::set<std::string> seen;
    auto audit = [&](const std::string& path, const std::string& role, bool last) {
        if (path.empty() || !seen.insert(path).second) {
            return;
        }
        const std::string trusted = role + ", which the machine pass trusts: ";
        for (const std::string& writer : WritersBesideAdministrators(path, last)) {
            findings.problems.push_back({path, trusted + writer});
        }
    };
    for (const AuditedPath& item : paths) {
        audit(item.path, item.what, true);
        for (const std::string& folder : FoldersAbove(item.path)) {
            audit(folder, "a folder on the way to " + item.what, false);
        }
    }
    return findings;
}

std::vector<std::string> FilesNamedBy(const std::vector<std::string>& arguments)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        size_t cut = argument.find_first_of("=:", 1);
        std::vector<std::string> candidates = {argument};
        if (cut != std::string::npos && cut + 1 < argument.size()) {
            candidates.push_back(argument.substr(cut + 1));
        }
        for (const std::string& candidate : candidates) {
            if (IsAbsolutePath(candidate) && FindsEntry(candidate, &found) &&
                (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                files.push_back(candidate);
                break;
            }
        }
    }
    return files;
}

std::vector<AuditedPath> FilesOfTheRun(const OptionReport& options)
{
    std::vector<AuditedPath> paths;
    if (options.optionsFound) {
        paths.push_back({"the options file", options.optionsPath});
    }
    paths.push_back({"the settings file", options.settingsPath});
    if (options.logOn) {
        const std::string& log = options.logPath;
        size_t cut = log.find_last_of(std::string("/") + kPathSeparator);
        if (cut != std::string::npos) {
            paths.push_back({"the log's folder", log.substr(0, cut == 0 ? 1 : cut)});
        }
    }
    return paths;
}

std::vector<AuditedPath> FilesOfTheEntry(const EntryResult& result)
{
    std::vector<AuditedPath> paths;
    if (!result.takesPart) {
        return paths;
    }
    std::string named = " of [" + std::string(result.entry.section) + "] (" + result.entry.name +
                        ")";
    paths.push_back({"the Source" + named, result.source.resolved.empty()
                                               ? result.entry.source
                                               : result.source.resolved});
    if (!result.setup.program.empty()) {
        paths.push_back({"the setup program" + named, result.setup.program});
    }
    for (const std::string& file : FilesNamedBy(result.setup.arguments)) {
        paths.push_back({"a file the setup command line" + named + " names", file});
    }
    return paths;
}
