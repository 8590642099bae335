/* A rival writer for the install-log tests: `lock_holder FILE MILLISECONDS READY` opens FILE
   (creating it when missing), takes a POSIX record lock from its current end onwards, creates
   READY to say the lock is held, keeps the lock for MILLISECONDS, or until READY is removed,
   and exits, which releases it. A user who may only read FILE takes a read lock instead, which
   refuses a writer's lock all the same.
   A native record lock is seen by the program's locks on both builds (Wine's locks are record
   locks too). */
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    struct stat status;
    struct flock region;
    struct timespec wait;
    char* end = NULL;
    long milliseconds;
    int fd;
    int ready;
    if (argc != 4) {
        return 2;
    }
    milliseconds = strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || milliseconds < 0 || milliseconds > 600000) {
        return 2;
    }
    fd = open(argv[1], O_RDWR | O_CREAT, 0666);
    region.l_type = F_WRLCK;
    if (fd < 0 && errno == EACCES) {
        fd = open(argv[1], O_RDONLY);
        region.l_type = F_RDLCK;
    }
    if (fd < 0 || fstat(fd, &status) != 0) {
        return 1;
    }
    region.l_whence = SEEK_SET;
    region.l_start = status.st_size;
    region.l_len = 0; /* to the end of any file, however far it grows */
    if (fcntl(fd, F_SETLK, &region) != 0) {
        return 1;
    }
    ready = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (ready < 0) {
        return 1;
    }
    close(ready);
    for (; milliseconds > 0 && access(argv[3], F_OK) == 0; milliseconds -= 10) {
        wait.tv_sec = 0;
        wait.tv_nsec = 10 * 1000000L;
        while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
        }
    }
    return 0;
}
