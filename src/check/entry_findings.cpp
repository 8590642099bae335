#include "check/entry_findings.h"

#include "check/check_platform.h"

namespace {

const char kQuoteFix[] = ". Quote only the program and let the value end unquoted, or enclose "
                         "the whole value in one more pair of quotes (the reading removes only "
                         "that pair)";

class EntryFindingList {
public:
    EntryFindingList(const EntryResult& result, const IniScan& scan,
                     const std::string& settingsPath)
        : section_(EntrySection(scan, result.n)), settingsPath_(settingsPath),
          named_(" in [" + std::string(result.entry.section) + "] (" + result.entry.name + ")")
    {
    }
    // The key as the finding names it, and the line it stands on.
    std::string Named(const char* key) const { return key + named_; }
    const IniKey* Key(const char* key) const
    {
        return section_ != nullptr ? FindKey(*section_, key) : nullptr;
    }
    void Add(const char* key, const std::string& text)
    {
        findings_.problems.push_back(At(key, text));
    }
    void Note(const char* key, const std::string& text)
    {
        findings_.notes.push_back(At(key, text));
    }
    Findings Take() { return std::move(findings_); }

private:
    Finding At(const char* key, const std::string& text) const
    {
        const IniKey* found = Key(key);
        return {found ? settingsPath_ + ":" + std::to_string(found->line) : settingsPath_,
                Named(key) + text};
    }

    const IniSection* section_;
    std::string settingsPath_;
    std::string named_;
    Findings findings_;
};

void FindSideFindings(const EntryResult& result, EntryFindingList* list)
{
    const SideEvidence& destination = result.evidence.destination;
    if (result.evidence.step == SourceNotFound) {
        list->Add("Source", " cannot be found: " + result.source.whyNotFound +
                                "; while it cannot, the entry is never due");
    }
    if (!destination.found && result.destination.folderMissing) {
        list->Note("Destination", " does not exist, nor does its folder: the setup program may "
                                  "not be able to create it");
    }
    const struct {
        const char* key;
        const SideEvidence& seen;
        const SideDetail& detail;
    } sides[] = {{"Destination", destination, result.destination},
                 {"Source", result.evidence.source, result.source}};
    for (const auto& side : sides) {
        if (side.detail.pattern && side.seen.found) {
            list->Note(side.key, " is a pattern: the match taken is " + side.detail.resolved +
                                     "; versions are not read through a pattern, so its date "
                                     "and time decide");
        }
    }
}

void FindSetupFindings(const EntryResult& result, EntryFindingList* list)
{
    const SetupForecast& setup = result.setup;
    const IniKey* key = list->Key("SetupApp");
    std::string used = result.entry.setupApp;
    // The pair is harmless when the value was wrapped in one more pair on purpose (what is
    // used begins with a quote) or held no other quote, as long as the program starts.
    bool quotesRemoved = key != nullptr && key->removedQuote != '\0' &&
                         (!setup.starts || (used.find(key->removedQuote) != std::string::npos &&
                                            used[0] != key->removedQuote));
    if (quotesRemoved) {
        std::string quote = key->removedQuote == '"' ? "double quote" : "single quote";
        list->Add("SetupApp", " begins and ends with a " + quote + ", and the settings reading "
                              "removes that pair: the command line used is " + used +
                              (setup.starts ? "" : ", which cannot start") + kQuoteFix);
    } else if (!setup.why.empty()) {
        list->Add("SetupApp", std::string(setup.starts ? " starts, but fails: "
                                                       : " cannot start: ") + setup.why);
    } else if (!setup.how.empty()) {
        list->Note("SetupApp", ": " + setup.program + ": " + setup.how);
    }
    if (!setup.plantable.empty()) {
        list->Add("SetupApp", ": unquoted path with a blank: anyone who can create " +
                                  setup.plantable + " runs a program in its place. Quote the "
                                  "program: \"PATH\" ARGUMENTS");
    }
    if (!setup.relativeSearch.empty()) {
        std::string text = ": names its program without a folder, and " + setup.relativeSearch +
                           ": whoever can write there can run a program in its place";
        if (CheckRunsAsSystemAccount()) {
            list->Add("SetupApp", text + " (a run as root or SYSTEM searches none of them)");
        } else {
            list->Note("SetupApp", text);
        }
    }
}

}  // namespace

Findings FindEntryFindings(const EntryResult& result, const IniScan& scan,
                           const std::string& settingsPath)
{
    EntryFindingList list(result, scan, settingsPath);
    if (result.takesPart) {
        FindSideFindings(result, &list);
        FindSetupFindings(result, &list);
    }
    return list.Take();
}
