// Recordings in-process: the lines a small game writes, and what --verify and a replay make of
// recordings that are whole, cut at any point, changed, of another version, or no recording at
// all.
#include "cli/options.hpp"
#include "cli/recordings.hpp"
#include "core/console.hpp"
#include "core/files.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
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

// What a replay of `rec` prints, through the scripted console's output.
std::string replayed(const recording &rec) {
    usescript({});
    startreplay(rec);
    try {
        playgame(tiny.opening, tiny.screens);
    } catch (const input_closed &) {
    }
    stopreplay();
    return transcript();
}
std::string replayed(const std::string &text) {
    recording rec;
    std::string problem;
    EXPECT_TRUE(readrecording(text, rec, problem)) << problem;
    return replayed(rec);
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

// ---- a recording that grows while it is replayed (a game watched live)

// The lines still to come, handed over one at a time where the replay runs out.
std::vector<std::string> coming;
recording *growing = nullptr;
bool nextline() {
    if (coming.empty()) return false;
    std::string problem;
    EXPECT_TRUE(appendrecording(coming.front(), *growing, problem)) << problem;
    coming.erase(coming.begin());
    return true;
}

TEST(Recording, AReplayWaitsForLinesAppendedAsTheyCome) {
    const recorded r = record(keys);
    // From its header alone, every other line coming only when the replay has run out.
    const std::string &text = r.text;
    recording rec;
    std::string problem;
    const std::size_t header = [&] {
        std::size_t at = 0;
        for (int n = 0; n < 4; ++n) at = text.find('\n', at) + 1;
        return at;
    }();
    ASSERT_TRUE(readrecording(text.substr(0, header), rec, problem)) << problem;
    coming.clear();
    for (std::size_t at = header; at < text.size();) {
        const std::size_t end = text.find('\n', at) + 1;
        coming.push_back(text.substr(at, end - at));
        at = end;
    }
    growing = &rec;
    replay_more = nextline;
    const std::string got = replayed(rec);
    replay_more = nullptr;
    EXPECT_EQ(replaystate().stop, replay_stop::none);
    EXPECT_TRUE(replaystate().ended);
    EXPECT_TRUE(coming.empty());
    EXPECT_EQ(got, r.transcript);
    // Numbered on from the header, as the whole file reads.
    recording whole;
    ASSERT_TRUE(readrecording(r.text, whole, problem));
    ASSERT_EQ(rec.items.size(), whole.items.size());
    for (std::size_t i = 0; i < rec.items.size(); ++i) EXPECT_EQ(rec.items[i].line, i + 5);
    EXPECT_EQ(rec.score, whole.score);
}

TEST(Recording, LinesAppendedAreHeldToARecordingsRules) {
    const std::string head = "orbridden-recording 1\ngame 1\nstart 0\nlines stream\n100 A 01\n";
    struct append_case {
        std::string before, lines, problem;
    };
    const append_case cases[] = {
        {head, "100 b 01\nnot an item\n", "line 7 is not an item"},
        {head + "x\n", "100 b 01\n", "line 7 comes after the end of the recording"},
        {head + "100 b 0", "100 b 01\n", "line 6 is cut short"},
        {head, std::string(1100, '1') + "\n", "line 6 is longer than 1024 bytes"},
    };
    for (const append_case &c : cases) {
        recording rec;
        std::string problem;
        ASSERT_TRUE(readrecording(c.before, rec, problem)) << problem;
        EXPECT_FALSE(appendrecording(c.lines, rec, problem)) << c.lines;
        EXPECT_EQ(problem, c.problem);
    }
    // The keys' limit counts those the recording holds already.
    recording rec;
    std::string problem;
    ASSERT_TRUE(readrecording(head, rec, problem));
    rec.items.resize(recording_keys_limit, rec.items.front());
    EXPECT_TRUE(appendrecording("c 5\n", rec, problem)) << problem;
    EXPECT_FALSE(appendrecording("100 b 01\n", rec, problem));
    EXPECT_EQ(problem, "holds more than 250000 keys, more than a recording of any game");
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

// `text` with its line `number` (from 1) left out, or replaced by `line`.
std::string withoutline(const std::string &text, int number) {
    std::size_t at = 0;
    for (int n = 1; n < number; ++n) at = text.find('\n', at) + 1;
    return text.substr(0, at) + text.substr(text.find('\n', at) + 1);
}
std::string withline(const std::string &text, int number, const std::string &line) {
    std::size_t at = 0;
    for (int n = 1; n < number; ++n) at = text.find('\n', at) + 1;
    return text.substr(0, at) + line + "\n" + text.substr(text.find('\n', at) + 1);
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
        {"a clock reading left out", withoutline(t, 10), 1,
         file + "after key 5 the game reads the clock where the recording has key 6 (line 10)\n"},
        {"a key left out", withoutline(t, 15), 1,
         file + "after key 8 the game asks for a key where the recording has a clock reading "
                "(line 15)\n"},
        {"the last key left out", withoutline(t, 17), 1,
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
        {"a line of a megabyte", withline(t, 12, std::string(1 << 20, '7')), 3,
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

// ---- recordings from strangers: every byte of the file, and its name, is untrusted

enum class replaymode { verify, plain, cast };
constexpr replaymode replaymodes[] = {replaymode::verify, replaymode::plain, replaymode::cast};
constexpr const char *modenames[] = {"--verify", "--replay --plain", "--replay --cast"};

struct stranger_run {
    int status;
    std::string out; // standard output: the stream given, and what went to descriptor 1
    std::string err;
    std::string cast; // the cast's file, for --cast
};

// `mode` on a file `name` holding `text`, in a scratch directory. The plain stream goes to
// descriptor 1, which is a file meanwhile.
stranger_run runstranger(replaymode mode, const std::string &text,
                         const std::string &name = "game.rec") {
    scratch here;
    store(name, text);
    options opts{.what = mode == replaymode::verify ? command::verify : command::replay,
                 .plain = mode == replaymode::plain,
                 .recording = name,
                 .cast = mode == replaymode::cast ? "game.cast" : ""};
    const int saved = dup(STDOUT_FILENO);
    const int stdout_file = open("stdout", O_WRONLY | O_CREAT | O_EXCL, 0644);
    dup2(stdout_file, STDOUT_FILENO);
    close(stdout_file);
    std::ostringstream out, err;
    const int status = replaycommand(opts, tiny, out, err);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    return {status, out.str() + slurp("stdout"), err.str(), slurp("game.cast")};
}

// Whether `text` holds only what a terminal shows as text: printable ASCII and line ends.
bool plaintext(const std::string &text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == '\n' || (c >= ' ' && c <= '~'); });
}

// A recording's field escaped as the format writes a key's or a score record's bytes.
std::string escapedfield(std::string_view bytes) {
    std::string out;
    char code[4];
    for (unsigned char b : bytes) {
        std::snprintf(code, sizeof code, "%%%02x", b);
        out += b > ' ' && b <= '~' && b != '%' ? std::string(1, static_cast<char>(b)) : code;
    }
    return out;
}

TEST(Strangers, ShownQuotesEveryByteThatCouldActOnATerminal) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain name.rec", "plain name.rec"},
        {"100%", "100%25"},
        {"\x1b]0;x\x07", "%1B]0;x%07"},
        {std::string("a\0b\r\n\x7f", 6), "a%00b%0D%0A%7F"},
        {"\xc2\x9b"
         "2J \x9b",
         "%C2%9B2J %9B"}, // C1, as UTF-8 and as a byte
        {"\xc3\xa9t\xc3\xa9 \xe2\x99\xa3", "\xc3\xa9t\xc3\xa9 \xe2\x99\xa3"}, // été ♣
        {"\xc3 \xff \xe2\x99 \xed\xa0\x80 \xc0\xaf", "%C3 %FF %E2%99 %ED%A0%80 %C0%AF"},
    };
    for (const auto &[text, want] : cases) {
        EXPECT_EQ(shown(text), want) << want;
        EXPECT_EQ(shown(text, '?').size(), text.size());
    }
    EXPECT_EQ(shown("O\x1b\xc3\xa9", '?'), "O???");
}

// Fields of a recording, and its name, holding bytes that could act on the terminal: whatever
// the replay says of them on its standard output and error is plain text.
TEST(Strangers, NoFieldOfAFileReachesTheTerminalRaw) {
    const std::string t = record(keys).text;
    const std::string cut = t.substr(0, t.find("c -799")); // ends before the game does
    const std::pair<const char *, std::string> bytes[] = {
        {"ESC", "\x1b]0;owned\x07\x1b[2J"},
        {"BEL", "\x07"},
        {"CR", "\rover"},
        {"NUL", std::string("a\0b", 3)},
        {"C1", "\xc2\x9b"
               "2J"},
        {"raw C1", "\x9b"
                   "2J"},
        {"DEL", "\x7f"},
        {"invalid UTF-8", "\xff\xc3(\xed\xa0\x80"},
    };
    for (const auto &[what, b] : bytes) {
        struct field_case {
            const char *field;
            std::string text, name;
            std::string said; // what the message must quote (empty: the field is refused)
        };
        const std::string name = b.find('\0') == std::string::npos ? "game" + b + ".rec" : "g.rec";
        const field_case fields[] = {
            {"score record",
             withline(t, 19, "r A" + escapedfield(b) + "c%0a        349%0a          0%0a"),
             "game.rec", shown("A" + b + "c")},
            {"format line", withline(t, 1, "orbridden-recording " + b), "game.rec", shown(b)},
            {"game version", withline(t, 2, "game " + b), "game.rec", ""},
            {"file name", withline(cut, 2, "game 0.9"), name, shown(name)},
        };
        for (const field_case &f : fields)
            for (replaymode mode : replaymodes) {
                SCOPED_TRACE(std::string(what) + " in the " + f.field + ", through " +
                             modenames[static_cast<int>(mode)]);
                const stranger_run got = runstranger(mode, f.text, f.name);
                EXPECT_TRUE(plaintext(got.err)) << got.err;
                EXPECT_TRUE(plaintext(got.out)) << got.out;
                EXPECT_NE(got.err, "");
                if (!f.said.empty()) {
                    EXPECT_NE(got.err.find(f.said), std::string::npos) << got.err;
                }
            }
    }
}

// The times of a cast's events: each line after the header must be [SECONDS, "o", "..."] with
// SECONDS a JSON number; false when one is not.
bool casttimes(const std::string &cast, std::vector<std::pair<long long, int>> &times) {
    static const std::regex event(R"(^\[(0|[1-9][0-9]{0,17})\.([0-9]{3}), "o", ".*"\]$)");
    std::istringstream lines(cast);
    std::string line;
    if (!std::getline(lines, line) || line.substr(0, 13) != "{\"version\": 2") return false;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (!std::regex_match(line, m, event)) return false;
        times.emplace_back(std::stoll(m[1]), std::stoi(m[2]));
    }
    return true;
}

// `text` with the delay of every key put to `gap`.
std::string withgaps(const std::string &text, const std::string &gap) {
    std::istringstream in(text);
    std::string out, line;
    while (std::getline(in, line)) {
        const bool key = !line.empty() && line[0] >= '0' && line[0] <= '9';
        out += (key ? gap + line.substr(line.find(' ')) : line) + "\n";
    }
    return out;
}

// The numbers of a recording at their bounds replay, and a cast of them is valid JSON whose
// times never go back; past their bounds, the file is refused naming the line.
TEST(Strangers, NumbersAtTheirBoundsAndPast) {
    const std::string t = record(keys).text;
    const std::string beyond = " holds a number beyond the format's bounds\n";
    const std::string file = "orbridden: game.rec: ";
    struct bound_case {
        const char *what;
        std::string text;
        std::string refused; // the message, where the file is refused
    };
    const bound_case cases[] = {
        {"the latest start", withline(t, 3, "start 100000000000000"), ""},
        {"a start past it", withline(t, 3, "start 100000000000001"), file + "line 3" + beyond},
        {"a start past 64 bits", withline(t, 3, "start 9223372036854775808"),
         file + "line 3" + beyond},
        {"a start before 1970", withline(t, 3, "start -1"),
         file + "line 3 is not a recording's header\n"},
        {"every key at the longest gap", withgaps(t, "100000000000"), ""},
        {"the longest gap at the start",
         withgaps(withline(t, 3, "start 100000000000000"), "100000000000"), ""},
        {"a gap past it", withline(t, 5, "100000000001 A 01"), file + "line 5" + beyond},
        {"a gap of 64 bits", withline(t, 5, "9223372036854775807 A 01"), file + "line 5" + beyond},
        {"the latest clock reading", withline(t, 10, "c 10000000000000"), ""},
        {"the earliest clock reading", withline(t, 10, "c -10000000000000"), ""},
        {"a clock reading past it", withline(t, 10, "c -10000000000001"),
         file + "line 10" + beyond},
        {"a clock reading of 64 bits", withline(t, 10, "c -9223372036854775808"),
         file + "line 10" + beyond},
    };
    for (const bound_case &c : cases) {
        SCOPED_TRACE(c.what);
        const stranger_run verified = runstranger(replaymode::verify, c.text);
        if (!c.refused.empty()) {
            EXPECT_EQ(verified.status, 3);
            EXPECT_EQ(verified.err, c.refused);
            continue;
        }
        EXPECT_NE(verified.status, 3) << verified.err;
        const stranger_run cast = runstranger(replaymode::cast, c.text);
        EXPECT_NE(cast.status, 3) << cast.err;
        std::vector<std::pair<long long, int>> times;
        EXPECT_TRUE(casttimes(cast.cast, times)) << cast.cast;
        EXPECT_GT(times.size(), 1u);
        EXPECT_TRUE(std::is_sorted(times.begin(), times.end())) << cast.cast;
    }
}

// A recording has one spelling: every number written as the game writes it and every line ended
// as the game ends it. Any other spelling of the same game is refused, naming the line, so that
// no game can be written many ways.
TEST(Strangers, OneSpellingOfEachGame) {
    const std::string t = record(keys).text;
    const std::string file = "orbridden: game.rec: ";
    const std::string respelt =
        " writes a number otherwise than the game does (a leading zero, a sign)\n";
    struct spelling_case {
        const char *what;
        int line;
        std::string text;
        std::string refused; // the message after "line N"
    };
    const std::string notitem = " is not an item\n", cr = " ends in a carriage return\n";
    const spelling_case cases[] = {
        {"the start with a leading zero", 3, "start 01000", respelt},
        {"the start with a plus", 3, "start +1000", respelt},
        {"the start of -0", 3, "start -0", " is not a recording's header\n"},
        {"a delay with a leading zero", 5, "0100 A 01", respelt},
        {"a delay with a plus", 5, "+100 A 01", respelt},
        {"a delay of 00", 5, "00 A 01", respelt},
        {"a delay padded with zeros to the line's limit", 5, std::string(1000, '0') + "100 A 01",
         respelt},
        {"a clock reading with a leading zero", 10, "c -0500", respelt},
        {"a clock reading of -0", 10, "c -0", respelt},
        {"a clock reading with a plus", 10, "c +500", respelt},
        {"a clock reading padded with zeros", 10, "c -" + std::string(1000, '0') + "500", respelt},
        {"a key's line ended by CR LF", 5, "100 A 01\r", cr},
        {"a header's line ended by CR LF", 3, "start 1000\r", cr},
        {"the format's line ended by CR LF", 1, "orbridden-recording 1\r", cr},
        {"the score record ended by CR LF", 19,
         "r Abc%0a        349%0a          0%0aQWGX7QWGX7WX7WE%0a%0a%0a\r", cr},
        {"a blank after a clock reading", 10, "c -500 ", notitem},
        {"a tab between a key's fields", 5, "100\tA 01", notitem},
        {"two blanks between a key's fields", 5, "100  A 01", notitem},
        {"a key's check in capitals", 9, "100 1 1A", notitem},
        {"a key written as %XX where it is written as itself", 5, "100 %41 01", notitem},
    };
    EXPECT_EQ(runstranger(replaymode::verify, t).status, 0) << "the game's own spelling";
    for (const spelling_case &c : cases) {
        SCOPED_TRACE(c.what);
        const stranger_run got = runstranger(replaymode::verify, withline(t, c.line, c.text));
        EXPECT_EQ(got.status, 3);
        EXPECT_EQ(got.err, file + "line " + std::to_string(c.line) + c.refused);
    }
}

// A file past each limit of what a recording may hold is refused in one line before it is
// replayed; one that grows while it is read is caught on what was read.
TEST(Strangers, AFileOverTheLimits) {
    const std::string t = record(keys).text;
    const std::string header = t.substr(0, t.find("100 A"));
    auto repeated = [](const std::string &line, std::size_t times) {
        std::string out;
        out.reserve(line.size() * times);
        for (std::size_t i = 0; i < times; ++i) out += line;
        return out;
    };
    const std::string file = "orbridden: game.rec: ",
                      more = ", more than a recording of any game\n";
    const std::pair<std::string, std::string> cases[] = {
        {header + repeated("w\n", (recording_size_limit - header.size()) / 2 + 1),
         file + "is larger than 4 MiB" + more},
        {header + repeated("w\n", recording_items_limit + 1),
         file + "holds more than 1000000 items" + more},
        {header + repeated("0 A 01\n", recording_keys_limit + 1),
         file + "holds more than 250000 keys" + more},
    };
    for (const auto &[text, said] : cases) {
        SCOPED_TRACE(said);
        const run_result got = verify(text);
        EXPECT_EQ(got.status, 3);
        EXPECT_EQ(got.err, said);
        EXPECT_EQ(got.out, "");
    }
    // Small when it was found to be a file, then larger than any recording.
    regularfile_checked = [](const std::string &path) {
        std::ofstream(path, std::ios::binary | std::ios::app)
            << std::string(recording_size_limit, '\n');
    };
    const run_result grown = verify(t);
    regularfile_checked = nullptr;
    EXPECT_EQ(grown.status, 3);
    EXPECT_EQ(grown.err, file + "is larger than 4 MiB" + more);
}

// What a replay writes, as the plain stream or into a cast, stops at its limit with one line.
TEST(Strangers, AReplayStopsAtTheOutputsLimit) {
    const std::string t = record(keys).text;
    const std::uint64_t limit = replay_output_limit;
    replay_output_limit = 40;
    const stranger_run plain = runstranger(replaymode::plain, t);
    const stranger_run cast = runstranger(replaymode::cast, t);
    replay_output_limit = limit;
    for (const stranger_run &got : {plain, cast}) {
        EXPECT_EQ(got.status, 1);
        EXPECT_EQ(got.err.substr(0, 38), "orbridden: game.rec: the replay stops ") << got.err;
        EXPECT_NE(got.err.find(": it has written 40 bytes, the most a replay writes\n"),
                  std::string::npos)
            << got.err;
    }
    // Past the limit by no more than what one key writes.
    EXPECT_GE(plain.out.size(), 40u);
    EXPECT_LE(plain.out.size(), 60u);
    EXPECT_GE(cast.cast.size(), 40u);
    EXPECT_LT(cast.cast.size(), 1000u);
}

} // namespace
