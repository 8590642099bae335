// Byte-string operations with the real platform's semantics (null pointers tolerated).
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/win32.h"
#include "text/ascii_case.h"

namespace {

constexpr int kFormatLimit = 1024;  // the real wsprintfA never writes more

// Appends to a bounded output, keeping room for the terminator.
struct BoundedOutput {
    char* out;
    int length;

    void Put(char c)
    {
        if (length < kFormatLimit - 1) {
            out[length++] = c;
        }
    }
    void Put(const char* text)
    {
        while (*text != '\0') {
            Put(*text++);
        }
    }
};

}  // namespace

LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src)
{
    if (dst == nullptr || src == nullptr) {
        return nullptr;
    }
    return std::strcpy(dst, src);
}

LPSTR WINAPI lstrcpynA(LPSTR dst, LPCSTR src, int max)
{
    if (dst == nullptr || src == nullptr || max <= 0) {
        return dst;
    }
    int i = 0;
    for (; i < max - 1 && src[i] != '\0'; ++i) {
        dst[i] = src[i];
    }
    dst[i] = '\0';
    return dst;
}

LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src)
{
    if (dst == nullptr || src == nullptr) {
        return nullptr;
    }
    return std::strcat(dst, src);
}

int WINAPI lstrlenA(LPCSTR s)
{
    return s == nullptr ? 0 : static_cast<int>(std::strlen(s));
}

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b)
{
    if (a == nullptr || b == nullptr) {
        return a == b ? 0 : (a == nullptr ? -1 : 1);
    }
    for (;; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(UpperAscii(*a));
        unsigned char cb = static_cast<unsigned char>(UpperAscii(*b));
        if (ca != cb || ca == '\0') {
            return (ca > cb) - (ca < cb);
        }
    }
}

LPSTR WINAPI CharUpperA(LPSTR s)
{
    for (char* p = s; p != nullptr && *p != '\0'; ++p) {
        *p = UpperAscii(*p);
    }
    return s;
}

int wsprintfA(LPSTR out, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    BoundedOutput result{out, 0};
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            result.Put(*p);
            continue;
        }
        ++p;
        bool isLong = *p == 'l';
        if (isLong) {
            ++p;
        }
        char number[32];
        switch (*p) {
        case 's': {
            const char* text = va_arg(args, const char*);
            result.Put(text != nullptr ? text : "(null)");
            break;
        }
        case 'c':
            result.Put(static_cast<char>(va_arg(args, int)));
            break;
        case 'd':
        case 'i':
            std::snprintf(number, sizeof number, "%d",
                          isLong ? static_cast<int>(va_arg(args, long)) : va_arg(args, int));
            result.Put(number);
            break;
        case 'u':
        case 'x':
        case 'X': {
            unsigned value = isLong ? static_cast<unsigned>(va_arg(args, unsigned long))
                                    : va_arg(args, unsigned);
            std::snprintf(number, sizeof number, *p == 'u' ? "%u" : (*p == 'x' ? "%x" : "%X"),
                          value);
            result.Put(number);
            break;
        }
        case '\0':
            --p;  // a lone % at the end
            break;
        default:
            result.Put(*p);  // %% and unknown conversions give the character itself
            break;
        }
    }
    va_end(args);
    out[result.length] = '\0';
    return result.length;
}
