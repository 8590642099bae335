// The options file the MSI writes from the administrator's settings and log paths: a quoted
// /ini= line and a quoted /log= line, each only when its path is given, in a form the log-on
// program reads back exactly, or nothing at all.
#pragma once

#include <cstddef>

enum class OptionsTextFault {
    None,
    Unquotable,  // a double quote or a control character, which no quoted value can hold
    TooLong,     // a line the options-file reading would cut into pieces
    NoRoom,      // the text does not fit the room given
};

// Composes the file's text, CR LF line ends, into `out` (room `size`, terminated) and its
// length into `*length`. An empty `settings` or `log` is not given and gets no line.
OptionsTextFault ComposeOptionsFileText(const char* settings, const char* log, char* out,
                                        size_t size, size_t* length);
