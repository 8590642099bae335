#include "msi/options_file_text.h"

#include <cstring>

#include "run/options_reader.h"

namespace {

// Appends `/<name>="<value>"` and CR LF. The options-file reading cuts a line longer than
// kOptionsLineRoom - 1 characters into pieces, each read as a line of its own.
OptionsTextFault AppendLine(const char* name, const char* value, char* out, size_t size,
                            size_t* length)
{
    for (const char* c = value; *c != '\0'; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7F || byte == '"') {
            return OptionsTextFault::Unquotable;
        }
    }
    size_t nameLength = std::strlen(name);
    size_t valueLength = std::strlen(value);
    size_t lineLength = 1 + nameLength + 2 + valueLength + 1;  // /name="value"
    if (lineLength > static_cast<size_t>(kOptionsLineRoom - 1)) {
        return OptionsTextFault::TooLong;
    }
    if (*length + lineLength + 2 >= size) {
        return OptionsTextFault::NoRoom;
    }
    char* at = out + *length;
    *at++ = '/';
    std::memcpy(at, name, nameLength);
    at += nameLength;
    *at++ = '=';
    *at++ = '"';
    std::memcpy(at, value, valueLength);
    at += valueLength;
    *at++ = '"';
    *at++ = '\r';
    *at++ = '\n';
    *at = '\0';
    *length += lineLength + 2;
    return OptionsTextFault::None;
}

}  // namespace

OptionsTextFault ComposeOptionsFileText(const char* settings, const char* log, char* out,
                                        size_t size, size_t* length)
{
    *length = 0;
    if (size == 0) {
        return OptionsTextFault::NoRoom;
    }
    out[0] = '\0';
    OptionsTextFault fault = OptionsTextFault::None;
    if (settings[0] != '\0') {
        fault = AppendLine("ini", settings, out, size, length);
    }
    if (fault == OptionsTextFault::None && log[0] != '\0') {
        fault = AppendLine("log", log, out, size, length);
    }
    if (fault != OptionsTextFault::None) {
        out[0] = '\0';
        *length = 0;
    }
    return fault;
}
