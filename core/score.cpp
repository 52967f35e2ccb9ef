// Building the score record and appending it to the score file.
#include "core/score.hpp"

#include "core/files.hpp"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void encrypt(int32 p, std::string &out) {
    int32 copy = p;
    do {
        // Each test sees the copy as the tests above it in this pass have left it.
        if (copy > 10000) out += 'K', copy -= 10000;
        if (copy > 100) out += 'Q', copy -= 100;
        if (copy > 1000) out += 'J', copy -= 1000;
        if (copy > 1000) out += 'S', copy -= 1000;
        if (copy > 500) out += 'U', copy -= 500;
        if (copy > 0) out += 'W', copy -= 1;
        if (copy > 50) out += 'G', copy -= 50;
        if (copy > 4) out += 'X', copy -= 5;
        if (copy < 11)
            out += 'E';
        else
            out += '7', copy -= 10;
    } while (copy > 0);
}

namespace {
void numberline(int32 value, std::string &out) {
    std::string digits = std::to_string(value);
    if (digits.size() < 11) out.append(11 - digits.size(), ' ');
    out += digits;
    out += '\n';
}
} // namespace

std::string scorerecord(const stats_rec &stats) {
    std::string record(view(stats.name));
    record += '\n';
    numberline(stats.points, record);
    numberline(stats.deaths, record);
    encrypt(stats.points, record);
    record += "\n\n\n";
    return record;
}

namespace {
// Takes the lock, trying again until `lock_wait_ms` have passed: a game that holds the file
// for long must not hold up the end of this one.
bool lockfile(int fd, int lock_wait_ms) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    constexpr int retry_ms = 20;
    for (int waited = 0;; waited += retry_ms) {
        if (fcntl(fd, F_SETLK, &lock) == 0) return true;
        if ((errno != EACCES && errno != EAGAIN && errno != EINTR) || waited >= lock_wait_ms)
            return false;
        timespec pause{0, retry_ms * 1'000'000L};
        nanosleep(&pause, nullptr);
    }
}

// Appends `record` to the regular file `fd`, all or nothing.
void appendrecord(int fd, std::string record) {
    struct stat before {};
    if (fstat(fd, &before) != 0) return;
    // A file that does not end its last line gets the record on a line of its own.
    char last = '\n';
    if (before.st_size > 0 && pread(fd, &last, 1, before.st_size - 1) == 1 && last != '\n')
        record.insert(record.begin(), '\n');
    // Ignored while writing: under a file size limit the signal would end the game half way
    // through the record, before the short write below could be taken back.
    struct sigaction ignore {};
    struct sigaction old {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    int error = 0;
    writewhole(fd, record, error);
    // A record cut short (a full disk, a size limit) is taken back, leaving the file as it was.
    if (error != 0) (void)ftruncate(fd, before.st_size);
    sigaction(SIGXFSZ, &old, nullptr);
}
} // namespace

void savescore(const stats_rec &stats, const char *path, int lock_wait_ms) {
    // Only a regular file of that name: never through a link (whoever may write the directory
    // could point it anywhere), and not blocking on a pipe of that name with no reader.
    // Opened for reading too, to see how the file ends; a file that may only be written still is.
    constexpr int flags = O_APPEND | O_CREAT | O_NOFOLLOW;
    std::string problem;
    int fd = openregular(path, O_RDWR | flags, problem);
    if (fd < 0 && errno == EACCES) fd = openregular(path, O_WRONLY | flags, problem);
    if (fd < 0) return;
    // One locked write, so that two games ending at once never interleave their lines.
    if (lockfile(fd, lock_wait_ms)) appendrecord(fd, scorerecord(stats));
    ::close(fd); // closing releases the lock
}

score_keeper keepscore = [](const stats_rec &stats) { savescore(stats); };
