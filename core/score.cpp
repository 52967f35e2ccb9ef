// Building the score record and appending it to the score file.
#include "core/score.hpp"

#include <cerrno>
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

void savescore(const stats_rec &stats, const char *path) {
    const std::string record = scorerecord(stats);
    // Not blocking: a pipe of that name with no reader must not hold up the end of the game.
    int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return;
    // One locked write, so that two games ending at once never interleave their lines.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    int locked;
    do locked = fcntl(fd, F_SETLKW, &lock);
    while (locked < 0 && errno == EINTR);
    struct stat before {};
    if (locked == 0 && fstat(fd, &before) == 0 && S_ISREG(before.st_mode)) {
        std::size_t done = 0;
        while (done < record.size()) {
            ssize_t n = ::write(fd, record.data() + done, record.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        // A record cut short (a full disk) is taken back, leaving the file as it was.
        if (done < record.size()) (void)ftruncate(fd, before.st_size);
    }
    ::close(fd); // closing releases the lock
}
