/* Preloaded beside libfiu's POSIX wrappers (fiu_posix_preload.so), makes one of its failure
 * points fail at exactly one call, so a test can fail each call of, say, write() in turn:
 *   QUORVEL_FAULT_POINT  the libfiu point, e.g. posix/io/rw/write
 *   QUORVEL_FAULT_AT     the call to fail, counting from 1 (0: none, only count the calls)
 *   QUORVEL_FAULT_ERRNO  the error that call reports (its number)
 *   QUORVEL_FAULT_COUNT  a file that receives, at exit, how many calls the point saw
 * Only the process it was loaded into counts and fails: a child forked by it does not, and
 * LD_PRELOAD is removed from the environment, so programs it starts run unharmed. */
/* The library calls themselves, not the macros that compile them away. */
#define FIU_ENABLE 1
#include <fiu-control.h>
#include <fiu.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static pid_t gOwner;
static unsigned long gFailAt;
static unsigned long gCalls;
static const char* gCountFile;

static int DecideFailure(const char* name, int* failnum, void** failinfo, unsigned int* flags)
{
    (void)name;
    (void)failnum;
    (void)failinfo;
    (void)flags;
    if (getpid() != gOwner) {
        return 0;
    }
    ++gCalls;
    return gCalls == gFailAt;
}

static void WriteCount(void)
{
    if (getpid() != gOwner) {
        return;
    }
    FILE* out = fopen(gCountFile, "w");
    if (out != NULL) {
        fprintf(out, "%lu\n", gCalls);
        fclose(out);
    }
}

__attribute__((constructor)) static void EnableFailurePoint(void)
{
    const char* point = getenv("QUORVEL_FAULT_POINT");
    const char* at = getenv("QUORVEL_FAULT_AT");
    const char* error = getenv("QUORVEL_FAULT_ERRNO");
    gCountFile = getenv("QUORVEL_FAULT_COUNT");
    unsetenv("LD_PRELOAD");
    if (point == NULL) {
        return;
    }
    gOwner = getpid();
    gFailAt = at != NULL ? strtoul(at, NULL, 10) : 0;
    intptr_t errorNumber = error != NULL ? (intptr_t)strtol(error, NULL, 10) : 0;
    fiu_init(0);
    fiu_enable_external(point, 1, (void*)errorNumber, 0, DecideFailure);
    if (gCountFile != NULL) {
        atexit(WriteCount);
    }
}
