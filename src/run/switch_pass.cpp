#include "run/switch_pass.h"

#include "cmdline/command_line.h"
#include "platform/win32.h"
#include "run/options_reader.h"

bool PassSwitchLine(const char* line, SwitchOrigin origin, SwitchSink* sink,
                    SwitchPassRecord* record)
{
    CommandLine commandLine(line);
    if (!commandLine.parsed || commandLine.first == nullptr) {
        return true;
    }
    ++record->linesRead;
    const CmdParameter* previous = nullptr;
    commandLine.current = commandLine.first;
    for (CmdParameter* item = commandLine.first; item != nullptr; item = commandLine.Next()) {
        SwitchStep step{origin, line, item, previous, SwitchFault::None, SwitchKind::Install};
        step.fault = CheckSwitch(*item, &step.kind);
        sink->Take(step);
        if (step.fault != SwitchFault::None) {
            record->refused = true;
            record->refusedAt = origin;
            return false;
        }
        ++record->switchesApplied;
        previous = item;
    }
    return true;
}

bool PassOptionsStream(FILE* stream, SwitchSink* sink, SwitchPassRecord* record)
{
    OptionsReader reader(stream);
    char line[kOptionsLineRoom];
    SwitchOrigin origin{true, 1};
    bool lineEnded = false;
    while (reader.NextPiece(line, kOptionsLineRoom, &lineEnded)) {
        if (line[0] != '\0' && !PassSwitchLine(line, origin, sink, record)) {
            return false;
        }
        // A long line comes in pieces, each under the line's own number.
        origin.lineNumber += lineEnded ? 1 : 0;
    }
    return true;
}

SwitchPassRecord RunSwitchPass(const char* optionsPath, const char* commandTail, SwitchSink* sink)
{
    SwitchPassRecord record;
    // Binary mode: the reader applies the text rules itself, the same on every platform.
    FILE* stream = optionsPath[0] != '\0' ? _fsopen(optionsPath, "rb", _SH_DENYWR) : nullptr;
    if (stream != nullptr) {
        record.optionsFileRead = true;
        bool passed = PassOptionsStream(stream, sink, &record);
        fclose(stream);
        if (!passed) {
            return record;
        }
    }
    PassSwitchLine(commandTail, SwitchOrigin{}, sink, &record);
    return record;
}
