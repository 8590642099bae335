// One item of a line of switches: a switch (/name, -name, with an optional value) or a bare value.
#pragma once

#include <cstdint>

class CmdParameter {
public:
    // Parses one item at the cursor and leaves the cursor just past it. May upper-case the
    // value's letters in place inside the consumed span. At the end of the text the item is
    // empty and the cursor does not move.
    explicit CmdParameter(char*& cursor);
    CmdParameter(const CmdParameter& other);
    CmdParameter& operator=(const CmdParameter& other);
    ~CmdParameter();

    // Flags and numbers equal, strings equal without regard to ASCII letter case (whatever the
    // locale); an absent string equals an empty one. The link is not compared.
    bool operator==(const CmdParameter& other) const;

    int32_t isSwitch;
    int32_t isOn;
    char* name;
    char* value;
    char* upperValue;
    int32_t number;
    CmdParameter* link;

private:
    void ReadValue(char*& cursor);
};

// A new heap copy of the text; an absent text gives a new empty string.
char* CopyString(const char* text);
