#include "cmdline/cmd_parameter.h"

#include <cstring>

#include "text/ascii_case.h"

namespace {

const char kNameEnd[] = "\t\n\r +-/=";
const char kUnquotedValueEnd[] = "\t\n\r /";
const char kQuotedValueEnd[] = "\"";

// Length of the run of bytes before the first byte of `stops` or the end of the text.
size_t SpanUntil(const char* text, const char* stops)
{
    return std::strcspn(text, stops);
}

char* CopySpan(const char* text, size_t length)
{
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

bool IsNumberSpace(char c)
{
    return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ' ';
}

// Decimal number at the start of the text, wrapping modulo 2^32 like the 32-bit original.
int32_t LeadingNumber(const char* text)
{
    while (IsNumberSpace(*text)) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    uint32_t result = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        result = result * 10u + static_cast<uint32_t>(*text - '0');
    }
    if (negative) {
        result = 0u - result;
    }
    // Two's-complement reinterpretation, well defined for every value.
    int32_t signedResult;
    std::memcpy(&signedResult, &result, sizeof result);
    return signedResult;
}

bool StringsEqual(const char* a, const char* b)
{
    return EqualIgnoringAsciiCase(a ? a : "", b ? b : "");
}

}  // namespace

char* CopyString(const char* text)
{
    return text ? CopySpan(text, std::strlen(text)) : CopySpan("", 0);
}

CmdParameter::CmdParameter(char*& cursor)
    : isSwitch(0), isOn(0), name(nullptr), value(nullptr), upperValue(nullptr), number(0),
      link(nullptr)
{
    if (*cursor == '\0') {
        return;
    }
    if (*cursor == '/' || *cursor == '-') {
        isSwitch = 1;
        isOn = 1;
        ++cursor;
        size_t length = SpanUntil(cursor, kNameEnd);
        name = CopySpan(cursor, length);
        cursor += length;
        if (*cursor == '\0') {
            return;
        }
        if (*cursor == '-') {
            isOn = 0;
            ++cursor;
        } else if (*cursor == '+') {
            ++cursor;
        }
        if (*cursor != '=') {
            return;
        }
        ++cursor;
    }
    ReadValue(cursor);
}

void CmdParameter::ReadValue(char*& cursor)
{
    bool quoted = *cursor == '"';
    if (quoted) {
        ++cursor;
    }
    size_t length = SpanUntil(cursor, quoted ? kQuotedValueEnd : kUnquotedValueEnd);
    bool closed = quoted && cursor[length] == '"';
    if (length > 0) {
        value = CopySpan(cursor, length);
        for (size_t i = 0; i < length; ++i) {
            if (cursor[i] >= 'a' && cursor[i] <= 'z') {
                cursor[i] = static_cast<char>(cursor[i] - 'a' + 'A');
            }
        }
        upperValue = CopySpan(cursor, length);
        number = LeadingNumber(upperValue);
    }
    cursor += length + (closed ? 1 : 0);
}

CmdParameter::CmdParameter(const CmdParameter& other)
    : isSwitch(other.isSwitch), isOn(other.isOn), name(CopyString(other.name)),
      value(CopyString(other.value)), upperValue(CopyString(other.upperValue)),
      number(other.number), link(other.link)
{
}

// NOLINTNEXTLINE(bugprone-unhandled-self-assignment): the copies are taken first, see below.
CmdParameter& CmdParameter::operator=(const CmdParameter& other)
{
    // Copies are taken before anything is released, so assigning an item to itself is safe.
    char* newName = CopyString(other.name);
    char* newValue = CopyString(other.value);
    char* newUpperValue = CopyString(other.upperValue);
    delete[] name;
    delete[] value;
    delete[] upperValue;
    name = newName;
    value = newValue;
    upperValue = newUpperValue;
    isSwitch = other.isSwitch;
    isOn = other.isOn;
    number = other.number;
    link = other.link;
    return *this;
}

CmdParameter::~CmdParameter()
{
    delete[] name;
    delete[] value;
    delete[] upperValue;
}

bool CmdParameter::operator==(const CmdParameter& other) const
{
    return isSwitch == other.isSwitch && isOn == other.isOn && number == other.number &&
           StringsEqual(name, other.name) && StringsEqual(value, other.value) &&
           StringsEqual(upperValue, other.upperValue);
}
