// The switch pass: the options file beside the program, line by line, then the command tail,
// each line item by item, ending at the first item refused. The run applies what it accepts
// to its settings; the companion replays it to tell which files the run would use and why.
// Either way the pass hands each item it meets to a sink, and keeps a record of what it did.
#pragma once

#include <cstdio>

#include "cmdline/cmd_parameter.h"
#include "run/switch_rules.h"

// Where a line of switches came from.
struct SwitchOrigin {
    bool optionsFile = false;  // the options file, or else the command tail
    unsigned lineNumber = 0;   // the options file's line, from 1; 0 for the command tail
};

// One item as the pass met it: a switch applied (`fault` None, `kind` set) or the item refused,
// which ends the pass. The pointers last as long as the call to the sink.
struct SwitchStep {
    SwitchOrigin origin;
    const char* line;              // the whole line (or piece of a line) the item came from
    const CmdParameter* item;      // its `link` is the item after it on the line, if any
    const CmdParameter* previous;  // the item before it on the line, or null
    SwitchFault fault;
    SwitchKind kind;
};

class SwitchSink {
public:
    virtual void Take(const SwitchStep& step) = 0;

protected:
    ~SwitchSink() = default;
};

// What the pass did, in sum.
struct SwitchPassRecord {
    bool optionsFileRead = false;  // the options file was there and opened
    unsigned linesRead = 0;        // non-empty lines of switches passed, the command tail's too
    unsigned switchesApplied = 0;
    bool refused = false;
    SwitchOrigin refusedAt;  // the refused item's line, when refused
};

// Passes one line: every item to the sink in turn, up to and including a refused one. False
// when an item is refused. An empty or unreadable line passes nothing and refuses nothing.
bool PassSwitchLine(const char* line, SwitchOrigin origin, SwitchSink* sink,
                    SwitchPassRecord* record);

// Passes every non-empty line of an options file opened in binary mode, as the reader splits
// it (OptionsReader); false at the first refused line.
bool PassOptionsStream(FILE* stream, SwitchSink* sink, SwitchPassRecord* record);

// Passes the options file at `path` (none when the path is empty or the file cannot be
// opened), opened as the run opens it, then, unless it refused, the command tail.
SwitchPassRecord RunSwitchPass(const char* optionsPath, const char* commandTail, SwitchSink* sink);
