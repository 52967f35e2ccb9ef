// Recordings in-process: the lines a small game writes, and what --verify and a replay make of
// recordings that are whole, cut at any point, changed, of another version, or no recording at
// all.
#include "cli/options.hpp"
#include "cli/recordings.hpp"
#include "core/console.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// ---- a small game that takes every kind of input and of chance a recording carries

// A name typed as a line, then keys (an arrow among them reads as 8), each with a draw of
// chance, until q ends the game with its score.
player_rec tinyopening() {
    putline("NAME?");
    player_rec p{.power = 40, .armor = 35, .magic = 25};
    for (char &c : p.name) c = linechar();
    restofline();
    return p;
}

screen_result tinyscreen(int32, stats_rec &stats) {
    for (;;) {
        put("POINTS ");
        putnum(stats.points);
        putline();
        const char k = key();
        if (k == 'q') return {.where = 0, .oldwhere = 1};
        stats.points += k + fightrandom();
    }
}

constexpr screen_handler tinyscreens[] = {nullptr, tinyscreen};
const game_parts tiny{tinyopening, tinyscreens};

std::int64_t key_ms = 0;
std::int64_t keytimes() {
    return key_ms += 100;
}

// A fresh directory that the test works in and leaves again.
struct scratch {
    fs::path home = fs::current_path();
    fs::path dir = [] {
        char name[] = "/tmp/orbridden-recording-XXXXXX";
        return fs::path(mkdtemp(name));
    }();
    scratch() { fs::current_path(dir); }
    ~scratch() {
        fs::current_path(home);
        fs::remove_all(dir);
    }
};

struct recorded {
    std::string text;       // the recording
    std::string transcript; // what the game printed meanwhile
};

// Plays the small game from a stepping clock at 1000 on the console as it is set and records
// it to the new file `path`; keys come 100 ms apart. Returns the recording.
std::string recordgame(const fs::path &path) {
    stepping_clock clock(1000);
    key_ms = 0;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    startrecording(fd, {.game = std::string(game_release), .start = 1000}, keytimes);
    try {
        playgame(tiny.opening, tiny.screens);
    } catch (const input_closed &) {
        recordclosed();
    }
    EXPECT_EQ(stoprecording(), 0);
    close(fd);
    return slurp(path);
}

// The small game on the scripted `keys`, recorded.
recorded record(const std::string &keys) {
    scratch here;
    usescript(keys);
    std::string text = recordgame("game.rec");
    return {text, transcript()};
}

// What a replay of `text` prints, through the scripted console's output.
std::string replayed(const std::string &text) {
    recording rec;
    std::string problem;
    EXPECT_TRUE(readrecording(text, rec, problem)) << problem;
    usescript({});
    startreplay(rec);
    try {
        playgame(tiny.opening, tiny.screens);
    } catch (const input_closed &) {
    }
    stopreplay();
    return transcript();
}

struct run_result {
    int status;
    std::string out, err;
};

// --verify (or, with `cast`, --replay --cast) of a file holding `text`, in a scratch directory.
run_result runreplay(const options &opts, const std::string &text) {
    scratch here;
    store(opts.recording, text);
    std::ostringstream out, err;
    const int status = replaycommand(opts, tiny, out, err);
    EXPECT_FALSE(fs::exists("score.txt")) << "a replay writes no score record";
    return {status, out.str(), err.str()};
}
run_result verify(const std::string &text) {
    return runreplay({.what = command::verify, .recording = "game.rec"}, text);
}

const std::string keys = "Abc\n1\x1b[A2q";

TEST(Recording, TheLinesOfASmallGame) {
    const recorded r = record(keys);
    EXPECT_EQ(r.text, "orbridden-recording 1\n"
                      "game " +
                          std::string(game_release) +
                          "\n"
                          "start 1000\n"
                          "lines stream\n"
                          "100 A 01\n"
                          "100 b 01\n"
                          "100 c 01\n"
                          "100 %0a 01\n"
                          "100 1 1a\n"
                          "c -500\n"
                          "100 %1b 24\n"
                          "100 [ 24\n"
                          "100 A 24\n"
                          "c -799\n"
                          "100 2 96\n"
                          "c -898\n"
                          "100 q e0\n"
                          "s c4315247\n"
                          "r Abc%0a        349%0a          0%0aQWGX7QWGX7WX7WE%0a%0a%0a\n");
    EXPECT_EQ(replayed(r.text), r.transcript);
}

// One whole recording, changed in one way or another; what --verify says of each.
struct change_case {
    const char *what;
    std::string text;
    int status;
    std::string err; // its beginning, where the rest names checks that tell nothing more
    bool prefix = false;
    std::string out = {};
};

// `text` with its line `number` (from 1) replaced, or left out where `with` is null.
std::string withline(const std::string &text, int number, const char *with) {
    std::size_t at = 0;
    for (int n = 1; n < number; ++n) at = text.find('\n', at) + 1;
    const std::size_t end = text.find('\n', at) + 1;
    return text.substr(0, at) + (with ? std::string(with) + "\n" : "") + text.substr(end);
}

TEST(Verify, WhatEachRecordingGives) {
    const recorded r = record(keys);
    const std::string &t = r.text;
    const std::string score = "Abc\n        349\n          0\nQWGX7QWGX7WX7WE\n\n\n";
    const std::string file = "orbridden: game.rec: ";
    const change_case cases[] = {
        {"as recorded", t, 0, "", false, score},
        {"another version of the game", withline(t, 2, "game 0.9"), 0,
         "orbridden: warning: game.rec was recorded by version 0.9; this is version " +
             std::string(game_release) + "\n",
         false, score},
        {"a key changed", withline(t, 9, "100 3 1a"), 1,
         file + "the screen after key 5 differs from the recorded one (line 11): check 24 "
                "recorded, ",
         true},
        {"a clock reading changed", withline(t, 10, "c 1"), 1,
         file + "the screen after key 5 differs from the recorded one (line 11)", true},
        {"a clock reading left out", withline(t, 10, nullptr), 1,
         file + "after key 5 the game reads the clock where the recording has key 6 (line 10)\n"},
        {"a key left out", withline(t, 15, nullptr), 1,
         file + "after key 8 the game asks for a key where the recording has a clock reading "
                "(line 15)\n"},
        {"the last key left out", withline(t, 17, nullptr), 1,
         file + "after key 9 the game asks for a key where the recording has a checksum of the "
                "screen (line 17)\n"},
        {"the last screen changed", withline(t, 18, "s 00000000"), 1,
         file + "the last screen differs from the recorded one (line 18): checksum 00000000 "
                "recorded, c4315247 now\n",
         false, score},
        {"the score record changed",
         withline(t, 19, "r Abc%0a        999%0a          0%0aQWGX7QWGX7WX7WE%0a%0a%0a"), 1,
         file + "the score differs: the recording holds \"Abc 999 0\", this game ends with "
                "\"Abc 349 0\"\n",
         false, score},
        {"a key after the end of the game", t + "100 q 00\n", 3,
         file + "line 20 comes after the end of the recording\n"},
        {"a line that is no item", withline(t, 12, "100 [ 2"), 3,
         file + "line 12 is not an item\n"},
        {"a key that is two bytes", withline(t, 12, "100 [[ 24"), 3,
         file + "line 12 is not an item\n"},
        {"a key written two ways", withline(t, 12, "100 %5b 24"), 3,
         file + "line 12 is not an item\n"},
        {"a header line out of place", withline(t, 3, "lines stream"), 3,
         file + "line 3 is not a recording's header\n"},
        {"another format version", withline(t, 1, "orbridden-recording 2"), 3,
         file + "a recording of format version 2; this game reads version 1\n"},
        {"binary bytes",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0\n\x03\0",
                     14),
         3, file + "not a recording\n"},
        {"a line of a megabyte", withline(t, 12, std::string(1 << 20, '7').c_str()), 3,
         file + "line 12 is longer than 1024 bytes\n"},
        {"only the header", t.substr(0, t.find("100 A")), 1,
         file + "the recording ends at its start, before the game does\n"},
        {"ended where the input closed", record("Abc\n12").text, 1,
         file + "the recorded input ends after key 6, before the game does\n"},
    };
    for (const change_case &c : cases) {
        SCOPED_TRACE(c.what);
        const run_result got = verify(c.text);
        EXPECT_EQ(got.status, c.status);
        if (c.prefix)
            EXPECT_EQ(got.err.substr(0, c.err.size()), c.err) << got.err;
        else
            EXPECT_EQ(got.err, c.err);
        EXPECT_EQ(got.out, c.out);
    }
}

// A recording cut at any byte: one cut in its header is no recording; any other replays up to
// its last whole line, printing what the whole one printed until there, and says so.
TEST(Verify, ARecordingCutAtAnyPoint) {
    const recorded r = record(keys);
    const std::size_t header = r.text.find("100 A");
    const std::string file = "orbridden: game.rec: ";
    for (std::size_t cut = 0; cut < r.text.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string text = r.text.substr(0, cut);
        const run_result got = verify(text);
        if (cut < header) {
            EXPECT_EQ(got.status, 3);
            EXPECT_EQ(got.err, file + (cut == 0                   ? "empty: not a recording\n"
                                       : cut <= r.text.find('\n') ? "not a recording\n"
                                                                  : "cut short in its header\n"));
            continue;
        }
        EXPECT_EQ(got.status, 1);
        const bool atlineend = text.back() == '\n';
        const std::string lastline = std::to_string(std::count(text.begin(), text.end(), '\n') + 1);
        EXPECT_EQ(got.err.substr(got.err.size() - 1), "\n");
        EXPECT_TRUE(got.err.find(", before the game does") != std::string::npos ||
                    got.err.find("holds no score record") != std::string::npos)
            << got.err;
        EXPECT_EQ(got.err.find("; its last line, line " + lastline + ", is cut short\n") !=
                      std::string::npos,
                  !atlineend)
            << got.err;
        const std::string shown = replayed(text);
        EXPECT_EQ(r.transcript.substr(0, shown.size()), shown);
    }
}

// Keys whose reading looks at the byte after them and leaves it for a later read, where the
// recording has a clock reading first: the replay reads them as the game did.
TEST(Verify, KeysThatLookAheadReplayAsTheyWereRead) {
    const std::pair<const char *, std::string> cases[] = {
        {"a character cut short by a digit", "Abc\n1\xc3"
                                             "2q"},
        {"ESC and a character beyond ASCII", "Abc\n1\x1b\xc3\xb6q"},
        {"a key sequence cut short", "Abc\n1\x1b[\xc3q"},
        {"ESC at the end of the name", "Ab\x1b\nc\n1q"},
    };
    for (const auto &[what, typed] : cases) {
        SCOPED_TRACE(what);
        const recorded r = record(typed);
        EXPECT_EQ(r.text.find("\nw\n"), std::string::npos) << "no wait found nothing";
        const run_result got = verify(r.text);
        EXPECT_EQ(got.status, 0) << got.err;
        EXPECT_EQ(got.err, "");
        EXPECT_EQ(replayed(r.text), r.transcript);
    }
}

// At a real input, an ESC whose next bytes come only after the wait for them is a key of its
// own: the recording says the wait found nothing, and a replay, which has every byte at once,
// reads ESC, [ and A in the name as three keys again (the name "A[A") instead of an arrow.
TEST(Recording, AnEscWhoseRestCameLateReplaysAsALoneEsc) {
    int in[2];
    ASSERT_EQ(pipe(in), 0);
    const int saved_in = dup(STDIN_FILENO), saved_out = dup(STDOUT_FILENO);
    dup2(in[0], STDIN_FILENO);
    close(in[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
    ASSERT_EQ(write(in[1], "A\x1b", 2), 2);
    const scratch here;
    const fs::path file = here.dir / "game.rec";
    // The rest once the recording says that the wait after ESC found nothing (or, should it
    // never say so, after ten seconds, so that the game does not wait for ever).
    std::thread typist([&] {
        const auto giveup = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (slurp(file).find("\nw\n") == std::string::npos &&
               std::chrono::steady_clock::now() < giveup)
            std::this_thread::yield();
        (void)write(in[1], "[Ab\n1q", 6);
        close(in[1]);
    });
    useterminal();
    const std::string text = recordgame(file);
    typist.join();
    dup2(saved_in, STDIN_FILENO);
    dup2(saved_out, STDOUT_FILENO);
    close(saved_in);
    close(saved_out);

    const std::size_t esc = text.find(" %1b ");
    ASSERT_NE(esc, std::string::npos) << text;
    EXPECT_EQ(text.substr(text.find('\n', esc), 9), "\nw\n100 [ ") << text;
    const run_result got = verify(text);
    EXPECT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(got.err, "");
    EXPECT_EQ(got.out.substr(0, 4), "A[A\n");
    EXPECT_NE(verify(record("A\x1b[Ab\n1q").text).out.substr(0, 4), "A[A\n") << "an arrow";
}

TEST(Verify, AFileThatIsNoRecording) {
    scratch here;
    fs::create_directory("dir");
    ASSERT_EQ(mkfifo("fifo", 0644), 0); // no writer: a blocking open would never return
    const std::pair<const char *, std::string> cases[] = {
        {"missing.rec", "No such file or directory"},
        {"dir", "is a directory, not a recording"},
        {"fifo", "is not a regular file, not a recording"},
    };
    for (const auto &[path, why] : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(replaycommand({.what = command::verify, .recording = path}, tiny, out, err), 3);
        EXPECT_EQ(err.str(), "orbridden: " + std::string(path) + ": " + why + "\n");
        EXPECT_EQ(out.str(), "");
    }
}

TEST(Recording, AFileThatExistsIsNeverWrittenOver) {
    scratch here;
    store("old.rec", "kept");
    store("game.rec", record(keys).text);
    std::ostringstream err;
    EXPECT_EQ(playcommand({.what = command::record, .recording = "old.rec"}, tiny, err), 2);
    std::ostringstream out;
    EXPECT_EQ(replaycommand({.what = command::replay, .recording = "game.rec", .cast = "old.rec"},
                            tiny, out, err),
              2);
    EXPECT_EQ(err.str(), "orbridden: old.rec: exists; it is not written over\n"
                         "orbridden: old.rec: exists; it is not written over\n");
    EXPECT_EQ(slurp("old.rec"), "kept");
}

} // namespace
