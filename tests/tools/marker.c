/* A stand-in setup program for the tests: `marker FOLDER LABEL [ARG...]` creates
   FOLDER/LABEL holding one line per further argument, so a test sees what was started and
   with which arguments. The file is written under a temporary name and renamed, so a test
   never sees it half written. An argument `--linger` then keeps it running 15 s (on Windows
   without ever serving a message queue, like a setup program busy unpacking) before it
   creates FOLDER/LABEL.done. */
#include <stdio.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#define LINGER() Sleep(15000)
#else
#include <unistd.h>
#define LINGER() sleep(15)
#endif

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
    status = WriteMarker(argv[1], argv[2], argc - 3, argv + 3);
    for (i = 3; i < argc && status == 0; ++i) {
        if (strcmp(argv[i], "--linger") == 0) {
            if (snprintf(done, sizeof done, "%s.done", argv[2]) >= (int)sizeof done) {
                return 2;
            }
            LINGER();
            return WriteMarker(argv[1], done, 0, NULL);
        }
    }
    return status;
}
