// The settings file's section and key names, written once: the run reads them, the companion
// checks and shows them, and the pass report names them. A new key is named here first.
#pragma once

// The program's own section and its keys.
constexpr char kQuorvelSection[] = "Quorvel";
constexpr char kCountKey[] = "Count";
constexpr char kDelayKey[] = "Delay";
constexpr char kSpreadSecondsKey[] = "SpreadSeconds";
constexpr char kSkipRunningSetupsKey[] = "SkipRunningSetups";
constexpr char kReportFolderKey[] = "ReportFolder";
constexpr char kExpandVariablesKey[] = "ExpandVariables";
// Every key the program's section may hold; any other is a slip of the pen.
constexpr const char* kQuorvelKeys[] = {kCountKey,         kDelayKey,
                                        kSpreadSecondsKey, kSkipRunningSetupsKey,
                                        kReportFolderKey,  kExpandVariablesKey};

// An application entry's section is this prefix and the entry's number, from 1 ("App1").
constexpr char kEntrySectionPrefix[] = "App";
constexpr char kNameKey[] = "Name";
constexpr char kSourceKey[] = "Source";
constexpr char kDestinationKey[] = "Destination";
constexpr char kSetupAppKey[] = "SetupApp";
// Every key an entry's section may hold, in the order the companion shows them.
constexpr const char* kEntryKeys[] = {kNameKey, kSourceKey, kDestinationKey, kSetupAppKey};
