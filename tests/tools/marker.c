/* A stand-in setup program for the tests: `marker FOLDER LABEL [ARG...]` creates
   FOLDER/LABEL holding one line per further argument, so a test sees what was started and
   with which arguments. The file is written under a temporary name and renamed, so a test
   never sees it half written. Only the C library is used, so it builds for both platforms. */
#include <stdio.h>

int main(int argc, char** argv)
{
    char path[4096];
    char temporary[4200];
    FILE* out;
    int i;
    if (argc < 3) {
        return 2;
    }
    if (snprintf(path, sizeof path, "%s/%s", argv[1], argv[2]) >= (int)sizeof path ||
        snprintf(temporary, sizeof temporary, "%s.partial", path) >= (int)sizeof temporary) {
        return 2;
    }
    out = fopen(temporary, "wb");
    if (out == NULL) {
        return 1;
    }
    for (i = 3; i < argc; ++i) {
        fprintf(out, "%s\n", argv[i]);
    }
    fclose(out);
    return rename(temporary, path) == 0 ? 0 : 1;
}
