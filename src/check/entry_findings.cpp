#include "check/entry_findings.h"

#include "check/rights_forecast.h"
#include "core/settings_names.h"
#include "text/percent_names.h"
#include "update/expand_variables.h"

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

// A path whole as the settings file gives it, and as expanded when that differs.
std::string PathNamed(const char* written, const char* used)
{
    return std::string(written) +
           (std::string(written) == used ? "" : " (here " + std::string(used) + ")");
}

void FindSideFindings(const EntryResult& result, EntryFindingList* list)
{
    const SideEvidence& destination = result.evidence.destination;
    if (result.evidence.step == DecidingStep::SourceNotFound) {
        list->Add(kSourceKey, " names " + PathNamed(result.written.source, result.entry.source) +
                                  ", which cannot be found: " + result.source.whyNotFound +
                                  "; while it cannot, the entry is never due");
    }
    if (!destination.found && result.destination.folderMissing) {
        list->Note(kDestinationKey,
                   " names " + PathNamed(result.written.destination, result.entry.destination) +
                       ", which does not exist, nor does its folder: the setup "
                       "program may not be able to create it");
    }
    const struct {
        const char* key;
        const SideEvidence& seen;
        const SideDetail& detail;
    } sides[] = {{kDestinationKey, destination, result.destination},
                 {kSourceKey, result.evidence.source, result.source}};
    for (const auto& side : sides) {
        if (side.detail.pattern && side.seen.found) {
            list->Note(side.key, " is a pattern: the match taken is " + side.detail.resolved +
                                     "; versions are not read through a pattern, so its date "
                                     "and time decide");
        }
    }
}

void FindSetupFindings(const EntryResult& result, bool machinePass, EntryFindingList* list)
{
    const SetupForecast& setup = result.setup;
    const IniKey* key = list->Key(kSetupAppKey);
    std::string used = result.entry.setupApp;
    // The pair is harmless when the value was wrapped in one more pair on purpose (what is
    // used begins with a quote) or held no other quote, as long as the program starts.
    bool quotesRemoved = key != nullptr && key->removedQuote != '\0' &&
                         (!setup.starts || (used.find(key->removedQuote) != std::string::npos &&
                                            used[0] != key->removedQuote));
    if (quotesRemoved) {
        std::string quote = key->removedQuote == '"' ? "double quote" : "single quote";
        list->Add(kSetupAppKey, " begins and ends with a " + quote +
                                    ", and the settings reading "
                                    "removes that pair: the command line used is " +
                                    used + (setup.starts ? "" : ", which cannot start") +
                                    kQuoteFix);
    } else if (!setup.why.empty()) {
        list->Add(kSetupAppKey,
                  std::string(setup.starts ? " starts, but fails: " : " cannot start: ") +
                      setup.why);
    } else if (!setup.how.empty()) {
        list->Note(kSetupAppKey, ": " + setup.program + ": " + setup.how);
    }
    if (!setup.plantable.empty()) {
        list->Add(kSetupAppKey, ": unquoted path with a blank: anyone who can create " +
                                    setup.plantable +
                                    " runs a program in its place. Quote the "
                                    "program: \"PATH\" ARGUMENTS");
    }
    if (!setup.relativeSearch.empty()) {
        std::string text = ": names its program without a folder, and " + setup.relativeSearch +
                           ": whoever can write there can run a program in its place";
        if (machinePass) {
            list->Add(kSetupAppKey, text + " (a run as root or SYSTEM searches none of them)");
        } else {
            list->Note(kSetupAppKey, text);
        }
    }
}

// The rights the setup program needs against the pass's, and whether this account can write
// where the setup would install.
void FindRightsFindings(const EntryResult& result, bool machinePass, EntryFindingList* list)
{
    if (result.setup.starts) {
        RightsFindings rights = ForecastSetupRights(result.setup.program, result.setup.arguments,
                                                    machinePass);
        for (const std::string& problem : rights.problems) {
            list->Add(kSetupAppKey, ": " + problem);
        }
        for (const std::string& note : rights.notes) {
            list->Note(kSetupAppKey, ": " + note);
        }
    }
    std::string unwritable = machinePass || result.destination.pattern
                                 ? ""
                                 : DestinationWriteProblem(result.entry.destination);
    if (!unwritable.empty()) {
        list->Add(kDestinationKey, ": " + unwritable);
    }
}

struct ExpandedKey {
    const char* key;
    const char* written;
    const char* used;
};

// "%A%, %B%" for the names of `written` that `pick` selects.
template <typename Pick>
std::string PercentNamesText(const char* written, Pick pick)
{
    std::string text;
    for (const PercentName& found : FindPercentNames(written)) {
        if (pick(found.name)) {
            text += (text.empty() ? "%" : ", %") + found.name + "%";
        }
    }
    return text;
}

// With ExpandVariables on: names this account's environment does not set, and values the pass
// cannot use once expanded. With it off: names that are taken literally.
void FindExpansionFindings(const EntryResult& result, EntryFindingList* list)
{
    const ExpandedKey keys[] = {
        {kSourceKey, result.written.source, result.entry.source},
        {kDestinationKey, result.written.destination, result.entry.destination},
        {kSetupAppKey, result.written.setupApp, result.entry.setupApp}};
    for (const ExpandedKey& key : keys) {
        if (!result.expand) {
            std::string literal = PercentNamesText(key.written, [](const std::string& name) {
                return !name.empty();
            });
            if (!literal.empty()) {
                list->Note(key.key, " holds " + literal +
                                        ", which the pass takes literally: "
                                        "ExpandVariables=1 in [Quorvel] has it replaced by the "
                                        "environment variable's value");
            }
            continue;
        }
        std::string unset = PercentNamesText(key.written, [](const std::string& name) {
            std::string reference = "%" + name + "%";
            char expanded[MAX_PATH];
            return ExpandEntryValue(reference.c_str(), expanded) && reference == expanded;
        });
        if (!unset.empty()) {
            list->Add(key.key, " names " + unset +
                                   ", not set in this account's environment: "
                                   "the pass leaves it as written");
        }
        char expanded[MAX_PATH];
        if (key.written[0] != '\0' && key.used[0] == '\0') {
            list->Add(key.key, ExpandEntryValue(key.written, expanded)
                                   ? " expands to nothing here: the pass skips the entry"
                                   : " expands to more than 259 characters here: the pass "
                                     "skips the entry rather than use a cut path");
        }
    }
}

}  // namespace

Findings FindEntryFindings(const EntryResult& result, const IniScan& scan,
                           const std::string& settingsPath, bool machinePass)
{
    EntryFindingList list(result, scan, settingsPath);
    FindExpansionFindings(result, &list);
    if (result.takesPart) {
        FindSideFindings(result, &list);
        FindSetupFindings(result, machinePass, &list);
        FindRightsFindings(result, machinePass, &list);
    }
    return list.Take();
}
