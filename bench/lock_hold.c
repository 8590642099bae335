/* How long one line holds the install log's lock, measured on the file system that holds LOG:
   `lock_hold LOG [LINES]` appends LINES lines (default 10,000) with the calls the program makes
   for a line once its length is read (lock the line's region at the end with F_SETLK, read the
   length again with fstat, write the line, which is the stream's flush, unlock) and prints the
   median, 90th and 99th percentile of the time from the lock to the unlock, in microseconds,
   then the median alone on a line of its own for the scripts. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static double NowMicroseconds(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e6 + (double)now.tv_nsec / 1e3;
}

static int Compare(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

static int SetLock(int fd, short type, off_t start, off_t length)
{
    struct flock region;
    memset(&region, 0, sizeof region);
    region.l_type = type;
    region.l_whence = SEEK_SET;
    region.l_start = start;
    region.l_len = length;
    return fcntl(fd, F_SETLK, &region);
}

int main(int argc, char** argv)
{
    const char line[] = "Mon, 07 Dec 2026 09:00:00  - Team Notes (\\\\WS0042, user alice)\r\n";
    const off_t length = (off_t)(sizeof line - 1);
    long lines = argc > 2 ? strtol(argv[2], NULL, 10) : 10000;
    double* holds;
    int fd;
    long i;
    if (argc < 2 || lines <= 0 || (holds = malloc((size_t)lines * sizeof *holds)) == NULL) {
        fprintf(stderr, "usage: lock_hold LOG [LINES]\n");
        return 2;
    }
    fd = open(argv[1], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        perror(argv[1]);
        return 1;
    }
    for (i = 0; i < lines; ++i) {
        struct stat status;
        double start;
        off_t end;
        if (fstat(fd, &status) != 0) {
            return 1;
        }
        end = status.st_size;
        start = NowMicroseconds();
        if (SetLock(fd, F_WRLCK, end, length) != 0 || fstat(fd, &status) != 0 ||
            write(fd, line, (size_t)length) != length || SetLock(fd, F_UNLCK, end, length) != 0) {
            perror("lock, length, write, unlock");
            return 1;
        }
        holds[i] = NowMicroseconds() - start;
    }
    close(fd);
    qsort(holds, (size_t)lines, sizeof *holds, Compare);
    printf("  lock, length check, write, unlock on %s: median %.1f us, 90%% %.1f us, 99%% %.1f us"
           " (%ld lines)\n",
           argv[1], holds[lines / 2], holds[lines * 9 / 10], holds[lines * 99 / 100], lines);
    printf("%.1f\n", holds[lines / 2]);
    free(holds);
    return 0;
}
