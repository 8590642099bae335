// Record locks between processes, and the append protocol against a rival that holds the end
// of the file. Record locks belong to processes, so every rival here is a child process.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "support/test_support.h"
#include "update/log_append.h"

namespace {

using Clock = std::chrono::steady_clock;

HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// A child process that locks [start, start + length) of `path` (length 0: to any end), says so
// through a pipe, keeps the lock for `holdMs` and exits.
class RivalLock {
public:
    RivalLock(const std::string& path, off_t start, off_t length, int holdMs)
    {
        int ready[2];
        if (pipe(ready) != 0) {
            ADD_FAILURE() << "pipe";
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            int fd = open(path.c_str(), O_RDWR | O_CREAT, 0666);
            struct flock region {};
            region.l_type = F_WRLCK;
            region.l_whence = SEEK_SET;
            region.l_start = start;
            region.l_len = length;
            char ok = (fd >= 0 && fcntl(fd, F_SETLK, &region) == 0) ? '1' : '0';
            ssize_t written = write(ready[1], &ok, 1);
            usleep(static_cast<useconds_t>(holdMs) * 1000u);
            _exit(written == 1 ? 0 : 1);
        }
        close(ready[1]);
        char ok = '0';
        EXPECT_EQ(read(ready[0], &ok, 1), 1);
        EXPECT_EQ(ok, '1') << "the rival could not take its lock";
        close(ready[0]);
    }
    ~RivalLock()
    {
        if (pid_ > 0) {
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(LogLock, ARivalProcessRefusesEveryRegionTouchingItsBytes)
{
    testing_support::TempDir dir;
    std::string path = dir / "log";
    testing_support::WriteFile(path, "0123456789");
    int fd = open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    HANDLE file = HandleOf(fd);
    {
        RivalLock rival(path, 10, 10, 1000);
        EXPECT_TRUE(LockFile(file, 5, 0, 5, 0));  // just before
        EXPECT_TRUE(UnlockFile(file, 5, 0, 5, 0));
        EXPECT_FALSE(LockFile(file, 5, 0, 6, 0));    // one byte of it
        EXPECT_FALSE(LockFile(file, 19, 0, 1, 0));   // its last byte, beyond the file's end
        EXPECT_FALSE(LockFile(file, 0, 0, 100, 0));  // all around it
        EXPECT_TRUE(LockFile(file, 20, 0, 80, 0));   // just after
        EXPECT_TRUE(UnlockFile(file, 20, 0, 80, 0));
        EXPECT_TRUE(LockFile(file, 12, 0, 0, 0));                    // nothing to protect
        EXPECT_FALSE(LockFile(file, 0xFFFFFFFF, 0xFFFFFFFF, 2, 0));  // past any offset
    }
    EXPECT_TRUE(LockFile(file, 10, 0, 10, 0));  // the rival's exit released its lock
    EXPECT_TRUE(UnlockFile(file, 10, 0, 10, 0));
    close(fd);
}

TEST(LogLock, FileSizeGivesBothHalves)
{
    testing_support::TempDir dir;
    std::string path = dir / "log";
    testing_support::WriteFile(path, std::string(12345, 'x'));
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(open(path.c_str(), O_WRONLY), 0x100000010LL), 0);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(HandleOf(fd), &high), 0x10u);
    EXPECT_EQ(high, 1u);
    close(fd);
    EXPECT_EQ(GetFileSize(HandleOf(-1), &high), 0xFFFFFFFFu);
    EXPECT_EQ(GetFileSize(reinterpret_cast<HANDLE>(intptr_t{1} << 40), nullptr), 0xFFFFFFFFu);
}

class LogAppend : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = dir_ / "shared.log";
        testing_support::WriteFile(path_, "earlier line\r\n");
        stream_ = _fsopen(path_.c_str(), "ab", _SH_DENYNO);
        ASSERT_NE(stream_, nullptr);
    }
    void TearDown() override
    {
        if (stream_ != nullptr) {
            fclose(stream_);
        }
    }

    testing_support::TempDir dir_;
    std::string path_;
    FILE* stream_ = nullptr;
    LockWaitBudget budget_;
};

TEST_F(LogAppend, WritesOnALaterTryWhenTheRivalLetsGo)
{
    auto start = Clock::now();
    {
        RivalLock rival(path_, 14, 0, 2000);
        EXPECT_TRUE(AppendLineUnderLock(stream_, "mine\r\n", 6, budget_));
        // In as soon as the rival lets go, not at the next whole second.
        double took = SecondsSince(start);
        EXPECT_GE(took, 1.9);
        EXPECT_LT(took, 2.6);
    }
    EXPECT_EQ(testing_support::ReadFile(path_), "earlier line\r\nmine\r\n");
}

TEST_F(LogAppend, GivesUpAfterFourRefusedTriesAndTheirWaits)
{
    auto start = Clock::now();
    double took = 0;
    {
        RivalLock rival(path_, 14, 0, 6000);
        EXPECT_FALSE(AppendLineUnderLock(stream_, "mine\r\n", 6, budget_));
        took = SecondsSince(start);
    }
    EXPECT_GE(took, 3.9);
    EXPECT_LT(took, 5.5);
    EXPECT_EQ(testing_support::ReadFile(path_), "earlier line\r\n");
}

// A writer that keeps the lock, or lets go only now and then, holds the pass back by one
// line's wait in all: what one line waited, later lines may not wait again.
TEST_F(LogAppend, APassWaitsForTheLockNoLongerThanOneLineMayInAll)
{
    auto start = Clock::now();
    {
        RivalLock rival(path_, 14, 0, 2500);
        EXPECT_TRUE(AppendLineUnderLock(stream_, "one\r\n", 5, budget_));  // in after 2.5 s
    }
    {
        RivalLock rival(path_, 0, 0, 8000);
        EXPECT_FALSE(AppendLineUnderLock(stream_, "two\r\n", 5, budget_));
        double took = SecondsSince(start);
        EXPECT_GE(took, 3.9);
        EXPECT_LT(took, 5.0);
        EXPECT_EQ(budget_.leftMs, 0u);
        auto later = Clock::now();
        for (int line = 0; line < 5; ++line) {
            EXPECT_FALSE(AppendLineUnderLock(stream_, "more\r\n", 6, budget_));
        }
        EXPECT_LT(SecondsSince(later), 0.5);  // one try each
    }
    EXPECT_TRUE(AppendLineUnderLock(stream_, "free\r\n", 6, budget_));  // a free end: in
    EXPECT_EQ(testing_support::ReadFile(path_), "earlier line\r\none\r\nfree\r\n");
}

TEST_F(LogAppend, ALockAwayFromTheEndDoesNotDelayTheLine)
{
    auto start = Clock::now();
    {
        RivalLock rival(path_, 0, 14, 1500);
        EXPECT_TRUE(AppendLineUnderLock(stream_, "mine\r\n", 6, budget_));
        EXPECT_LT(SecondsSince(start), 0.9);
    }
    EXPECT_EQ(testing_support::ReadFile(path_), "earlier line\r\nmine\r\n");
    EXPECT_FALSE(AppendLineUnderLock(stream_, "", 0, budget_));
    EXPECT_FALSE(AppendLineUnderLock(nullptr, "x", 1, budget_));
}

}  // namespace
