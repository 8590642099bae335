/* A stand-in setup program for the tests: `marker FOLDER LABEL [ARG...]` creates
   FOLDER/LABEL holding one line per further argument, so a test sees what was started and
   with which arguments. The file is written under a temporary name and renamed, so a test
   never sees it half written. An argument `--linger` then keeps it running 15 s (on Windows
   without ever serving a message queue, like a setup program busy unpacking) before it
   creates FOLDER/LABEL.done; `--linger=SECONDS` keeps it running that long instead. An
   argument `--tally` first appends one byte to FOLDER/LABEL.tally, so that a test can count
   the starts of one command line. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#define LINGER(seconds) Sleep((seconds)*1000u)
#else
#include <unistd.h>
#define LINGER(seconds) sleep(seconds)
#endif

static int Tally(const char* folder, const char* label)
{
    char path[4096];
    FILE* out;
    if (snprintf(path, sizeof path, "%s/%s.tally", folder, label) >= (int)sizeof path) {
        return 2;
    }
    out = fopen(path, "ab");
    if (out == NULL) {
        return 1;
    }
    fputc('x', out);
    return fclose(out) == 0 ? 0 : 1;
}

static int WriteMarker(const char* folder, const char* label, int count, char** lines)
{
    char path[4096];
    char temporary[4200];
    FILE* out;
    int i;
    if (snprintf(path, sizeof path, "%s/%s", folder, label) >= (int)sizeof path ||
        snprintf(temporary, sizeof temporary, "%s.partial", path) >= (int)sizeof temporary) {
        return 2;
    }
    out = fopen(temporary, "wb");
    if (out == NULL) {
        return 1;
    }
    for (i = 0; i < count; ++i) {
        fprintf(out, "%s\n", lines[i]);
    }
    fclose(out);
    return rename(temporary, path) == 0 ? 0 : 1;
}

int main(int argc, char** argv)
{
    char done[4096];
    int status;
    int i;
    if (argc < 3) {
        return 2;
    }
    for (i = 3; i < argc; ++i) {
        if (strcmp(argv[i], "--tally") == 0 && Tally(argv[1], argv[2]) != 0) {
            return 1;
        }
    }
    status = WriteMarker(argv[1], argv[2], argc - 3, argv + 3);
    for (i = 3; i < argc && status == 0; ++i) {
        if (strncmp(argv[i], "--linger", 8) == 0 && (argv[i][8] == '\0' || argv[i][8] == '=')) {
            if (snprintf(done, sizeof done, "%s.done", argv[2]) >= (int)sizeof done) {
                return 2;
            }
            LINGER(argv[i][8] == '=' ? (unsigned)atoi(argv[i] + 9) : 15u);
            return WriteMarker(argv[1], done, 0, NULL);
        }
    }
    return status;
}
