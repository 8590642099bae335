// What the companion prints is made safe for a terminal: text from the files it reads (a Name,
// a log line, a path) may hold bytes that a terminal would act on or that would reorder what
// the reader sees.
#pragma once

#include <string>
#include <string_view>

// `text` with every control character, bidi control and invalid byte shown as an escape:
// a byte as <0xHH> (control bytes, DEL, and bytes that are not UTF-8 when `utf8` is set), a
// code point as <U+HHHH> (the C1 controls U+0080..U+009F and the bidi controls). A line feed
// stays, and so does a carriage return before one. Without `utf8` (a Windows console, which
// shows the ANSI code page) bytes from 0x80 up are left as they are.
std::string VisibleText(std::string_view text, bool utf8);
