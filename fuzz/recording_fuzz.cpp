// A libFuzzer target for recordings from strangers: the input is a recording's file, read and
// replayed through the whole game without a screen into a cast, as `--replay FILE --cast OUT`
// does. Whatever the file holds, the replay ends, its messages are plain text, and every event
// of the cast is a JSON array whose time is a number that never goes back.
#include "cli/options.hpp"
#include "cli/recordings.hpp"
#include "core/files.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

void check(bool sound, const char *what, const std::string &shown) {
    if (sound) return;
    std::fprintf(stderr, "unsound: %s: %s\n", what, shown.substr(0, 200).c_str());
    std::abort();
}

// Lines of text a terminal shows as they are: printable ASCII and whole UTF-8 characters
// beyond the C1 controls, which `shown` leaves as they are ('%' aside, which it writes anew).
bool plaintext(std::string text) {
    std::replace(text.begin(), text.end(), '%', 'x');
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (shown(line) != line) return false;
    return true;
}

// An event's time: "[" SECONDS "." three digits ", ", SECONDS a whole number without leading
// zeros; -1 where the line is not so.
long double eventtime(const std::string &line) {
    std::size_t at = 1;
    if (line.empty() || line[0] != '[') return -1;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
    const std::size_t digits = at - 1;
    if (digits == 0 || (digits > 1 && line[1] == '0') || line.compare(at, 1, ".") != 0) return -1;
    for (std::size_t i = at + 1; i < at + 4; ++i)
        if (i >= line.size() || line[i] < '0' || line[i] > '9') return -1;
    if (line.compare(at + 4, 8, ", \"o\", \"") != 0 || line.substr(line.size() - 2) != "\"]")
        return -1;
    return std::stold(line.substr(1, at + 3));
}

void checkcast(const std::string &cast) {
    std::istringstream lines(cast);
    std::string line;
    check(std::getline(lines, line) && line.rfind("{\"version\": 2, ", 0) == 0, "cast header",
          line);
    long double last = 0;
    while (std::getline(lines, line)) {
        const long double t = eventtime(line);
        check(t >= 0, "a cast event that is not [SECONDS, \"o\", TEXT]", line);
        check(t >= last, "a cast whose time goes back", line);
        last = t;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // The recording and the cast are files: in a directory of their own (so the corpus and
    // artifact paths given to the fuzzer must be absolute), removed at the end.
    static char dir[] = "/tmp/orbridden-recording-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
    std::atexit([] {
        std::remove("in.rec");
        std::remove("out.cast");
        rmdir(dir);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::ofstream("in.rec", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    std::remove("out.cast");
    std::ostringstream out, err;
    const int status =
        replaycommand({.what = command::replay, .recording = "in.rec", .cast = "out.cast"},
                      {intro, screens}, out, err);
    check(status == exit_done || status == exit_stopped || status == exit_notarecording,
          "an exit status a replay never gives", std::to_string(status));
    check(plaintext(err.str()), "a message that is not plain text", err.str());
    check(out.str().empty(), "a cast that writes to standard output", out.str());
    if (status != exit_notarecording) {
        std::ifstream in("out.cast", std::ios::binary);
        std::stringstream cast;
        cast << in.rdbuf();
        checkcast(cast.str());
    }
    return 0;
}
