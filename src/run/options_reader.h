// Reads the options file alike on every platform, from a stream opened in binary mode.
#pragma once

#include <cstdio>

// The room a piece of a line is read into: at most 259 characters of a line at a time.
constexpr int kOptionsLineRoom = 260;

// A UTF-8 byte-order mark at the start of the file is skipped (editors write one), every
// carriage return is dropped wherever it stands, and the first Ctrl-Z ends the file. Lines
// come in pieces as fgets gives them: at most room - 1 characters, a line feed included.
class OptionsReader {
public:
    explicit OptionsReader(FILE* stream);

    // The next piece into `out` (room `room`, at least 2), without its line feed. False at the
    // end of the file. `lineEnded`, when given, tells whether the piece ended its line (a
    // piece may hold a NUL, so its length cannot tell).
    bool NextPiece(char* out, int room, bool* lineEnded = nullptr);

private:
    int NextByte();

    FILE* stream_;
    unsigned char lead_[3];  // the first bytes, kept when they are not a byte-order mark
    int leadCount_ = 0;
    int leadGiven_ = 0;
    bool ended_ = false;
};
