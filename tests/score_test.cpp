// The score record: its encoding, its six lines and appending to the score file.
#include "core/score.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct encoding {
    int32 points;
    const char *encoded;
};

TEST(Encrypt, WorkedValues) {
    const encoding cases[] = {{0, "E"},
                              {1, "WE"},
                              {7, "WXEWE"},
                              {120, "QWX7WEWEWEWE"},
                              {1234, "QJWGX7WGX7WEWE"},
                              {250, "QWGX7WGX7WX7WEWE"},
                              {-5, "E"},
                              // Each test's boundary, on both sides.
                              {100, "WGX7WX7WX7WEWE"},
                              {101, "QWE"},
                              {500, "QWGX7QWGX7QWGX7WEWE"},
                              {501, "QWGX7QWGX7QWGX7WEWEWE"},
                              {1000, "QUWGX7QWGX7QWGX7WEWE"},
                              {1001, "QUWGX7QWGX7QWGX7WEWEWE"},
                              {10000, "QJSUWGX7QJSUWGX7QJSUWGX7QJUWGX7QWGX7QWGX7WEWEWEWE"},
                              {10001, "KWE"}};
    for (const encoding &c : cases) {
        std::string out = "prefix:";
        encrypt(c.points, out);
        EXPECT_EQ(out, std::string("prefix:") + c.encoded) << c.points;
    }
}

TEST(Encrypt, EndsForEveryValue) {
    for (int32 p : {2'000'000'000, 999'999, 10'000, 10'001, 1'001, 501, 51, 11}) {
        std::string out;
        encrypt(p, out);
        EXPECT_FALSE(out.empty());
        EXPECT_TRUE(out.back() == 'E' || out.back() == '7') << p;
    }
}

stats_rec hero(const char *name, int32 points, int32 deaths) {
    stats_rec s;
    s.name = padded<3>(name);
    s.points = points;
    s.deaths = deaths;
    return s;
}

TEST(ScoreRecord, SixLines) {
    EXPECT_EQ(scorerecord(hero("abc", 0, 2)), "abc\n          0\n          2\nE\n\n\n");
    EXPECT_EQ(scorerecord(hero("Oru", 250, 0)),
              "Oru\n        250\n          0\nQWGX7WGX7WX7WEWE\n\n\n");
    EXPECT_EQ(scorerecord(hero("Vek", -40, 12345678)), "Vek\n        -40\n   12345678\nE\n\n\n");
    EXPECT_EQ(scorerecord(hero("x!?", 7, -2147483647 - 1)),
              "x!?\n          7\n-2147483648\nWXEWE\n\n\n");
}

class ScoreFile : public ::testing::Test {
  protected:
    std::string dir;
    std::string path;
    void SetUp() override {
        char name[] = "/tmp/orbridden-score-XXXXXX";
        dir = mkdtemp(name);
        path = dir + "/score.txt";
    }
    void TearDown() override {
        std::remove(path.c_str());
        rmdir(path.c_str());
        rmdir(dir.c_str());
    }
    std::string contents() const {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(ScoreFile, IsCreatedThenAppendedTo) {
    savescore(hero("abc", 0, 2), path.c_str());
    EXPECT_EQ(contents(), "abc\n          0\n          2\nE\n\n\n");
    savescore(hero("Oru", 250, 0), path.c_str());
    EXPECT_EQ(contents(), "abc\n          0\n          2\nE\n\n\nOru\n        250\n          "
                          "0\nQWGX7WGX7WX7WEWE\n\n\n");
}

// Runs `body` in a child process whose files are limited to `bytes`, with the signal a write
// past the limit raises left at its default (it ends a program); whether the child lived on.
template <class Body>
bool withsizelimit(rlim_t bytes, Body body) {
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit small{};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = bytes;
        if (setrlimit(RLIMIT_FSIZE, &small) != 0) _exit(2);
        body();
        _exit(0);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ScoreFile, AFileThatCannotBeWrittenIsLeftAsItWas) {
    { std::ofstream(path) << "earlier\n"; }
    chmod(path.c_str(), 0444);
    // Root may write to a read-only file all the same; a size limit at the file's present size
    // refuses every byte to root too, so the test runs for every user.
    EXPECT_TRUE(withsizelimit(8, [&] { savescore(hero("abc", 0, 0), path.c_str()); }));
    EXPECT_EQ(contents(), "earlier\n");
}

TEST_F(ScoreFile, AFileThatCannotBeCreatedIsNotAnError) {
    std::string nowhere = dir + "/missing/score.txt";
    savescore(hero("abc", 0, 0), nowhere.c_str());
    EXPECT_NE(access(nowhere.c_str(), F_OK), 0);
}

TEST_F(ScoreFile, ADirectoryOfThatNameIsLeftAlone) {
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    savescore(hero("abc", 0, 0), path.c_str()); // ends quietly
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(ScoreFile, APipeOfThatNameIsLeftAloneWithoutWaitingForAReader) {
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    savescore(hero("abc", 0, 0), path.c_str()); // returns at once
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(ScoreFile, ALinkOfThatNameIsLeftAloneDanglingOrNot) {
    const std::string theirs = dir + "/theirs";
    for (bool dangling : {false, true}) {
        std::remove(theirs.c_str());
        if (!dangling) std::ofstream(theirs) << "not the game's\n";
        ASSERT_EQ(symlink(theirs.c_str(), path.c_str()), 0);
        savescore(hero("abc", 0, 0), path.c_str());
        struct stat st;
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        if (dangling) {
            EXPECT_NE(access(theirs.c_str(), F_OK), 0) << "the link's target was created";
        } else {
            std::ifstream in(theirs);
            std::stringstream s;
            s << in.rdbuf();
            EXPECT_EQ(s.str(), "not the game's\n");
        }
        std::remove(path.c_str());
    }
    std::remove(theirs.c_str());
}

TEST_F(ScoreFile, AFileWithoutAFinalLineEndGetsTheRecordOnALineOfItsOwn) {
    { std::ofstream(path) << "earlier"; }
    savescore(hero("abc", 0, 2), path.c_str());
    EXPECT_EQ(contents(), "earlier\nabc\n          0\n          2\nE\n\n\n");
}

TEST_F(ScoreFile, ARecordCutShortIsTakenBack) {
    { std::ofstream(path) << "earlier\n"; }
    // A file size limit just above the present size makes the write stop part way, as a full
    // disk would; the signal the limit raises is left at its default, which ends a program.
    EXPECT_TRUE(withsizelimit(12, [&] { savescore(hero("abc", 0, 0), path.c_str()); }));
    EXPECT_EQ(contents(), "earlier\n");
}

TEST_F(ScoreFile, ALockHeldByAnotherGameIsWaitedForOnlySoLong) {
    { std::ofstream(path) << "earlier\n"; }
    int held[2], release[2];
    ASSERT_EQ(pipe(held), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t pid = fork();
    if (pid == 0) { // the other game: locks the file and holds it until told to let go
        close(release[1]);
        int fd = open(path.c_str(), O_WRONLY);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (fd < 0 || fcntl(fd, F_SETLK, &lock) != 0) _exit(1);
        (void)write(held[1], "L", 1);
        // A bound in case this game never lets go, so that the test fails instead of hanging.
        pollfd p{release[0], POLLIN, 0};
        poll(&p, 1, 20'000);
        _exit(0);
    }
    close(held[1]);
    close(release[0]);
    char c;
    ASSERT_EQ(read(held[0], &c, 1), 1);
    savescore(hero("abc", 0, 0), path.c_str(), 0); // gives up at once
    close(release[1]);
    int status;
    waitpid(pid, &status, 0);
    close(held[0]);
    EXPECT_EQ(contents(), "earlier\n");
    savescore(hero("abc", 0, 0), path.c_str(), 0); // the lock is free again
    EXPECT_EQ(contents(), "earlier\nabc\n          0\n          0\nE\n\n\n");
}

} // namespace
