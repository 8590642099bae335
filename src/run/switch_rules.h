// Which switches a line may hold, and why one is refused: the run applies what this accepts,
// and the companion explains what it refuses.
#pragma once

#include "cmdline/cmd_parameter.h"

enum class SwitchKind { Log, Ini, Install };

enum class SwitchFault {
    None,
    BareValue,        // an item that is not a switch
    LogPathTooLong,   // a /log path that does not fit the path field
    IniWithoutValue,  // /ini with no value or an empty one
    IniPathTooLong,   // an /ini path that does not fit the path field
    UnknownSwitch,    // a switch other than /log, /ini and /install
};

// Checks one item of a line; on None, `kind` says which switch it is.
SwitchFault CheckSwitch(const CmdParameter& item, SwitchKind* kind);

// True when the item carries a non-empty value.
bool HasValue(const CmdParameter& item);
