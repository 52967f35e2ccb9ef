// The golden playthrough recorded in-process through the scripted console, for the tests that
// replay, verify or continue it through the real game.
#include "cli/options.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "pty.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"
#include "tests/golden.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

const std::string golden = ORBRIDDEN_GOLDEN_DIR;

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {
std::int64_t key_ms = 0, key_step = 0;
std::int64_t keytimes() {
    return key_ms += key_step;
}
} // namespace

std::int64_t clock_ms = 0;
std::int64_t steppingclock() {
    return clock_ms++;
}
scripted_recording recordscripted(const std::string &keys, std::int64_t start, std::int64_t step,
                                  bool transcribed) {
    scripted_recording r;
    const std::string dir = tempdir();
    r.file = dir + "/game.rec";
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir); // the score file goes there
    clock_ms = start;
    key_ms = 0;
    key_step = step;
    game_clock = steppingclock;
    if (transcribed)
        usescript(keys);
    else
        usescriptscreen(keys);
    const int fd = open(r.file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    startrecording(fd,
                   {.game = std::string(game_release), .start = start, .editedlines = editslines()},
                   keytimes);
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
    }
    EXPECT_EQ(stoprecording(), 0);
    close(fd);
    r.transcript = transcript();
    r.last = consolescreen();
    game_clock = realclock;
    std::filesystem::current_path(home);
    return r;
}

const scripted_recording &playthrough() {
    static const scripted_recording r =
        recordscripted(slurp(golden + "/playthrough.keys"), session("playthrough").clock, 250);
    return r;
}

recording readfile(const std::string &path) {
    recording rec;
    std::string problem;
    EXPECT_TRUE(readrecording(slurp(path), rec, problem)) << problem;
    return rec;
}

std::string keysof(const recording &rec) {
    std::string keys;
    for (const recording_item &i : rec.items)
        if (i.kind == item_type::key) keys += static_cast<char>(i.key);
    return keys;
}
