#include "run/options_reader.h"

namespace {

const unsigned char kByteOrderMark[3] = {0xEF, 0xBB, 0xBF};
constexpr int kCtrlZ = 0x1A;

}  // namespace

OptionsReader::OptionsReader(FILE* stream) : stream_(stream), lead_{}
{
    // Reads no further than the first byte that leaves the mark.
    while (leadCount_ < 3) {
        int c = fgetc(stream_);
        if (c == EOF) {
            break;
        }
        bool markGoesOn = static_cast<unsigned char>(c) == kByteOrderMark[leadCount_];
        lead_[leadCount_++] = static_cast<unsigned char>(c);
        if (!markGoesOn) {
            return;
        }
    }
    if (leadCount_ == 3) {
        leadCount_ = 0;  // the whole mark: skipped
    }
}

int OptionsReader::NextByte()
{
    if (ended_) {
        return EOF;
    }
    int c = leadGiven_ < leadCount_ ? lead_[leadGiven_++] : fgetc(stream_);
    if (c == EOF || c == kCtrlZ) {
        ended_ = true;
        return EOF;
    }
    return c;
}

bool OptionsReader::NextPiece(char* out, int room, bool* lineEnded)
{
    int stored = 0;
    int c = EOF;
    while (stored < room - 1) {
        c = NextByte();
        if (c == EOF || c == '\n') {
            break;
        }
        if (c != '\r') {
            out[stored++] = static_cast<char>(c);
        }
    }
    out[stored] = '\0';
    if (lineEnded != nullptr) {
        *lineEnded = c == '\n' || c == EOF;
    }
    return stored > 0 || c == '\n';
}
