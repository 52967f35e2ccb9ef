// Files: the one way to open a regular file without blocking, to read one up to a limit, to
// write every byte, and to show what a file or the command line holds without risk.
#include "core/files.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

int openregular(const std::string &path, int flags, std::string &problem, mode_t mode) {
    // Opened first and then looked at, so that what is used is what was looked at; without
    // waiting, as a pipe with no writer or reader would hold the game up.
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0) {
        problem = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    const int status = fcntl(fd, F_GETFL);
    int error = 0; // of a call that failed
    if (fstat(fd, &st) != 0 || status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        error = errno;
        problem = std::strerror(error);
    } else if (S_ISDIR(st.st_mode)) {
        problem = "is a directory";
    } else if (!S_ISREG(st.st_mode)) {
        problem = "is not a regular file"; // a pipe or a device could keep it waiting for ever
    } else {
        if (regularfile_checked) regularfile_checked(path);
        return fd;
    }
    ::close(fd);
    errno = error;
    return -1;
}

int readupto(int fd, std::size_t limit, std::string &text) {
    char buf[1 << 16];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) > limit - text.size()) return EFBIG;
        text.append(buf, static_cast<std::size_t>(n));
    }
    return 0;
}

int writewhole(int fd, std::string_view bytes, int &error) {
    int writes = 0;
    while (error == 0 && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Left non-blocking by another program: wait until it takes more.
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, -1);
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        ++writes;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return writes;
}

namespace {

// The lead bytes of the UTF-8 characters from U+00A0 up: how many bytes follow, and the range
// the first of them lies in (the others lie in 80..BF). Anything else is no whole character: a
// C1 control, an overlong or cut form, a surrogate, a code past U+10FFFF.
struct utf8_lead {
    unsigned char first, last; // the lead bytes of the row
    std::size_t follow;
    unsigned char low, high;
};
constexpr utf8_lead utf8_leads[] = {
    {0xc2, 0xc2, 1, 0xa0, 0xbf}, // U+0080..U+009F are the C1 controls
    {0xc3, 0xdf, 1, 0x80, 0xbf}, //
    {0xe0, 0xe0, 2, 0xa0, 0xbf}, // no overlong form
    {0xe1, 0xec, 2, 0x80, 0xbf}, //
    {0xed, 0xed, 2, 0x80, 0x9f}, // no surrogate
    {0xee, 0xef, 2, 0x80, 0xbf}, //
    {0xf0, 0xf0, 3, 0x90, 0xbf}, // no overlong form
    {0xf1, 0xf3, 3, 0x80, 0xbf}, //
    {0xf4, 0xf4, 3, 0x80, 0x8f}, // nothing past U+10FFFF
};

// The length of the whole character at the start of `s`, 0 for none.
std::size_t utf8character(std::string_view s) {
    auto at = [&](std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; };
    for (const utf8_lead &l : utf8_leads) {
        if (at(0) < l.first || at(0) > l.last) continue;
        if (at(1) < l.low || at(1) > l.high) return 0;
        for (std::size_t i = 2; i <= l.follow; ++i)
            if (at(i) < 0x80 || at(i) > 0xbf) return 0;
        return l.follow + 1;
    }
    return 0;
}

bool printableascii(unsigned char b) {
    return b >= ' ' && b <= '~';
}

} // namespace

std::string shown(std::string_view text) {
    constexpr char hexdigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t whole = b >= 0x80 ? utf8character(text.substr(i)) : 0;
        if (whole) {
            out += text.substr(i, whole);
            i += whole;
            continue;
        }
        if (printableascii(b) && b != '%') {
            out += static_cast<char>(b);
        } else {
            out += '%';
            out += hexdigits[b >> 4];
            out += hexdigits[b & 15];
        }
        ++i;
    }
    return out;
}

std::string shown(std::string_view text, char mark) {
    std::string out;
    for (char c : text) out += printableascii(static_cast<unsigned char>(c)) ? c : mark;
    return out;
}
