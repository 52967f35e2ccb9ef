// Recordings through the real game: the golden playthrough recorded through the scripted
// console replays to its transcript, verifies and casts; a game recorded at a terminal keeps
// every key up to Ctrl-C; a replay on the terminal answers the watcher's keys.
#include "pty.hpp"

#include "cli/options.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"
#include "tests/golden.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

namespace {

namespace fs = std::filesystem;

// The first line where two long texts part, for a failure message that fits on a screen.
std::string firstdifference(const std::string &got, const std::string &want) {
    std::size_t at = 0, line = 1;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        if (got[at++] == '\n') ++line;
    const std::size_t from = got.rfind('\n', at ? at - 1 : 0);
    const std::size_t start = from == std::string::npos || at == 0 ? 0 : from + 1;
    return "line " + std::to_string(line) + ": got \"" + got.substr(start, 80) + "\", want \"" +
           want.substr(start, 80) + "\"";
}

TEST(Recording, ThePlaythroughReplaysToItsGoldenTranscript) {
    const std::string want = slurp(golden + "/playthrough.transcript");
    ASSERT_TRUE(playthrough().transcript == want)
        << "recording changed what the game prints, "
        << firstdifference(playthrough().transcript, want);
    const piped_run run = runpiped({"--replay", playthrough().file, "--plain"});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out == want) << firstdifference(run.out, want);
}

TEST(Recording, VerifyPrintsThePlaythroughsScoreRecord) {
    const piped_run run = runpiped({"--verify", playthrough().file});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_EQ(run.out, slurp(golden + "/playthrough.score"));
    EXPECT_EQ(run.err, "");
}

// ---- the cast: a small JSON reader, enough to check that every line parses

struct json {
    enum kind { null, boolean, number, string, array, object } what = null;
    double num = 0;
    std::string text;
    std::vector<json> items;        // an array's, or an object's values
    std::vector<std::string> names; // an object's names, one for each of its values
    const json *field(std::string_view name) const {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) return &items[i];
        return nullptr;
    }
};

struct json_reader {
    std::string_view s;
    std::size_t at = 0;
    bool ok = true;

    void blanks() {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '\n' || s[at] == '\r'))
            ++at;
    }
    bool take(char c) {
        blanks();
        if (at < s.size() && s[at] == c) return ++at, true;
        return false;
    }
    void fail() { ok = false; }
    std::string str() {
        std::string out;
        if (!take('"')) return fail(), out;
        while (at < s.size() && s[at] != '"') {
            auto c = static_cast<unsigned char>(s[at++]);
            if (c < 0x20) return fail(), out;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at >= s.size()) return fail(), out;
            const char e = s[at++];
            const std::string_view simple = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
            if (simple.find(e) != std::string_view::npos) {
                out += meant[simple.find(e)];
            } else if (e == 'u' && at + 4 <= s.size()) {
                const unsigned code = std::stoul(std::string(s.substr(at, 4)), nullptr, 16);
                at += 4;
                if (code >= 0x80) return fail(), out; // the cast escapes only control codes
                out += static_cast<char>(code);
            } else {
                return fail(), out;
            }
        }
        if (!take('"')) fail();
        return out;
    }
    json value() {
        json v;
        blanks();
        if (at >= s.size()) return fail(), v;
        if (s[at] == '"') {
            v.what = json::string;
            v.text = str();
        } else if (take('[')) {
            v.what = json::array;
            if (!take(']')) {
                do v.items.push_back(value());
                while (ok && take(','));
                if (!take(']')) fail();
            }
        } else if (take('{')) {
            v.what = json::object;
            if (!take('}')) {
                do {
                    v.names.push_back(str());
                    if (!take(':')) fail();
                    v.items.push_back(value());
                } while (ok && take(','));
                if (!take('}')) fail();
            }
        } else {
            std::size_t used = 0;
            try {
                v.num = std::stod(std::string(s.substr(at, 32)), &used);
            } catch (...) {
                fail();
            }
            v.what = json::number;
            at += used;
        }
        return v;
    }
};

// A whole line as one JSON value; false when it is not one.
bool parsejson(std::string_view line, json &out) {
    json_reader r{line};
    out = r.value();
    r.blanks();
    return r.ok && r.at == line.size();
}

TEST(Recording, TheCastParsesAndEndsOnTheConsolesLastPage) {
    const std::string cast = tempdir() + "/game.cast";
    const piped_run run = runpiped({"--replay", playthrough().file, "--cast", cast});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_EQ(run.out + run.err, "");

    std::istringstream lines(slurp(cast));
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    json header;
    ASSERT_TRUE(parsejson(line, header)) << line;
    ASSERT_EQ(header.what, json::object);
    for (auto [name, value] : {std::pair{"version", 2}, {"width", 80}, {"height", 25}}) {
        const json *f = header.field(name);
        ASSERT_TRUE(f && f->what == json::number) << name;
        EXPECT_EQ(f->num, value) << name;
    }

    VTerm *vt = vterm_new(console_rows, console_cols);
    vterm_set_utf8(vt, 1);
    vterm_screen_reset(vterm_obtain_screen(vt), 1);
    double last = 0;
    int events = 0;
    while (std::getline(lines, line)) {
        json e;
        ASSERT_TRUE(parsejson(line, e)) << "event " << events + 1 << ": " << line.substr(0, 80);
        ASSERT_TRUE(e.what == json::array && e.items.size() == 3 &&
                    e.items[0].what == json::number && e.items[1].text == "o" &&
                    e.items[2].what == json::string)
            << line.substr(0, 80);
        EXPECT_GE(e.items[0].num, last) << "the events' times go forward";
        last = e.items[0].num;
        vterm_input_write(vt, e.items[2].text.data(), e.items[2].text.size());
        ++events;
    }
    EXPECT_GT(events, 1000);
    EXPECT_LE(last, 250.0 * 4925 / 1000) << "no later than the last key";

    const text_console &con = playthrough().last;
    const std::vector<std::string> shown = emulatorrows(vt);
    for (int r = 0; r < console_rows; ++r) {
        std::string want;
        appendglyphs({reinterpret_cast<const char *>(con.line(r).data()), console_cols}, want);
        want.erase(want.find_last_not_of(' ') + 1);
        EXPECT_EQ(shown[static_cast<std::size_t>(r)], want) << "row " << r + 1;
    }
    VTermPos cursor{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt), &cursor);
    EXPECT_EQ(cursor.row, con.row);
    EXPECT_EQ(cursor.col, con.col);
    vterm_free(vt);
    fs::remove(cast);
}

// ---- at a terminal

constexpr std::string_view notice = "PRESS ENTER";
constexpr std::string_view choice = "CHOICE  : ";

TEST(Recording, AtATerminalEveryKeyIsKeptUpToCtrlCAndReplaysAsThePlainStream) {
    const std::string dir = tempdir();
    // No line-end translation, so that the game's bytes arrive as written.
    pty_game game(dir, {.args = {"--plain", "--record", "game.rec"}, .translate = false});
    // The opening's lines (their echo by the terminal taken out of what it shows, as the game
    // never wrote it), then walking keys in the home town.
    struct typed {
        std::string keys;
        std::string_view until;
        bool echoed;
    };
    const typed steps[] = {{"\n", notice, true},  {"\n", notice, true},   {"\n", notice, true},
                           {"\n", notice, true},  {"\n", choice, true},   {"9\n", choice, true},
                           {"2\n", notice, true}, {"\n", "Points", true}, {"6", "Points", false},
                           {"4", "Points", false}};
    std::string sent;
    game.waitfor(notice);
    for (const typed &t : steps) {
        const std::size_t at = game.seen.size(); // the page is all there: it ends with its prompt
        game.send(t.keys);
        sent += t.keys;
        if (t.echoed) {
            game.waitfor(t.keys, at);
            ASSERT_EQ(game.seen.compare(at, t.keys.size(), t.keys), 0) << "the echo comes first";
            game.seen.erase(at, t.keys.size());
        }
        game.waitfor(t.until, at);
    }
    game.drain();
    game.send("\x03");
    const int status = game.finish();
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;

    const recording rec = readfile(dir + "/game.rec");
    EXPECT_EQ(keysof(rec), sent);
    EXPECT_EQ(rec.cutline, 0u);

    const piped_run run = runpiped({"--replay", "game.rec", "--plain"}, {}, dir);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_EQ(run.out, game.seen);
    EXPECT_EQ(run.err, "orbridden: game.rec: the recording ends after key " +
                           std::to_string(sent.size()) + ", before the game does\n");
}

TEST(Recording, InPlaceTheConsolesLineEditingReplaysCheckByCheck) {
    const std::string dir = tempdir();
    pty_game game(dir, {.args = {"--record", "game.rec"}, .rows = 25});
    // The opening's pages and the custom hero, then a name typed with a Backspace once the
    // game reads it (typed before the game took the terminal, the terminal would edit it).
    game.send("\n\n\n\n\n3\n");
    ASSERT_TRUE(game.waitscreen("Enter your three letter name  :"));
    game.send("ab\x7fxy\n");
    const std::string sent = "\n\n\n\n\n3\nab\x7fxy\n";
    ASSERT_TRUE(game.waitscreen("Now to adjust your stats axy."));
    game.send("\x03");
    const int status = game.finish();
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;

    const recording rec = readfile(dir + "/game.rec");
    EXPECT_TRUE(rec.header.editedlines);
    EXPECT_EQ(keysof(rec), sent);

    // Every key's check holds: the console edited the name again as it did at the terminal.
    const std::string ends = "orbridden: game.rec: the recording ends after key " +
                             std::to_string(sent.size()) + ", before the game does\n";
    const piped_run run = runpiped({"--verify", "game.rec"}, {}, dir);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1) << run.status;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, ends);

    // On the terminal, the replay ends on the same page, left on the normal screen.
    pty_game replay(dir, {.args = {"--replay", "game.rec"}, .rows = 25, .errors_apart = true});
    const int replayed = replay.finish();
    EXPECT_TRUE(WIFEXITED(replayed) && WEXITSTATUS(replayed) == 0) << replayed;
    EXPECT_EQ(replay.errors, ends);
    EXPECT_FALSE(replay.altscreen);
    EXPECT_NE(replay.shown().find("Now to adjust your stats axy."), std::string::npos)
        << replay.shown();
    EXPECT_TRUE(samesettings(replay.initial, replay.settings()));
}

TEST(Recording, OnTheTerminalTheReplayPausesStepsAndEnds) {
    // A minute between keys: a replay left alone would wait the longest pause it shows.
    const scripted_recording r = recordscripted("\n\n\n", 1000, 60'000);
    pty_game game(tempdir(), {.args = {"--replay", r.file}, .rows = 25, .errors_apart = true});
    game.send(" "); // typed at once: the first wait takes it and pauses
    ASSERT_TRUE(game.waitscreen("Our story begins"));
    game.send(".");
    ASSERT_TRUE(game.waitscreen("It was thought"));
    game.send(".");
    ASSERT_TRUE(game.waitscreen("One cold night"));
    game.send("q");
    const int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(game.errors, "orbridden: " + r.file + ": replay ended after key 2\n");
    EXPECT_TRUE(samesettings(game.initial, game.settings()));
}

// While the replay waits out a key's pause (here 20 seconds, at a quarter of the speed), a
// resize is answered at once: the notice that the window is too small, then the page again.
TEST(Recording, OnTheTerminalTheReplayRedrawsAfterAResizeWhileItWaits) {
    const scripted_recording r = recordscripted("\n\n", 1000, 60'000);
    pty_game game(tempdir(), {.args = {"--replay", r.file}, .rows = 25, .errors_apart = true});
    game.send("--");
    ASSERT_TRUE(game.waitunread(0));
    game.resize(20, 70);
    ASSERT_TRUE(game.waitscreen("this one is 70 x 20."));
    game.resize(25, 80);
    ASSERT_TRUE(game.waitscreen("Our story begins"));
    game.send("q");
    const int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(game.errors, "orbridden: " + r.file + ": replay ended at its start\n");
}

// Recorded through a pipe, every key's delay is 0: the replay writes as fast as the terminal
// reads, and q still ends it at once, long before the rest of 200,000 keys is drawn.
TEST(Recording, OnTheTerminalQEndsAReplayWithoutPauses) {
    // The opening with a preset hero, then steps left and right in the town, which read no
    // clock: each pair of steps leaves the game as it found it, so its two lines, repeated, are
    // what a longer game of the same steps records.
    const scripted_recording r = recordscripted("\n\n\n\n\n1\n\n464646", 1000, 0, false);
    std::string text = slurp(r.file);
    const std::size_t pair = text.rfind('\n', text.rfind('\n', text.size() - 2) - 1) + 1;
    const std::string steps = text.substr(pair);
    ASSERT_EQ(text.substr(pair - steps.size(), steps.size()), steps) << text;
    for (int i = 3; i < 100'000; ++i) text += steps;
    const std::string file = tempdir() + "/game.rec";
    std::ofstream(file, std::ios::binary) << text;
    pty_game game(tempdir(), {.args = {"--replay", file}, .rows = 25, .errors_apart = true});
    ASSERT_TRUE(game.waitscreen("Market"));
    game.send("q");
    // Each key moves the hero one cell: the whole replay draws megabytes.
    const int status = game.finishwithin(64 << 10);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(game.errors.find("orbridden: " + file + ": replay ended after key "), 0u)
        << game.errors;
    EXPECT_TRUE(samesettings(game.initial, game.settings()));
}

// The console's 25 rows after `keys` keys of the playthrough, from playthrough.screens.
std::string goldenrows(std::size_t keys) {
    const std::string all = slurp(golden + "/playthrough.screens");
    std::size_t at = all.find("== " + std::to_string(keys) + " keys,");
    at = all.find('\n', at) + 1;
    std::size_t end = at;
    for (int r = 0; r < console_rows; ++r) end = all.find('\n', end) + 1;
    return all.substr(at, end - at);
}

// --at starts the replay paused at a key; while paused the arrows step a key back and forward
// and Page Up and Page Down a hundred, the first key the furthest back: each seek shows the
// rows the terminal showed when the game waited for that key.
TEST(Recording, OnTheTerminalTheReplaySeeksToTheRowsOfThatKey) {
    pty_game game(tempdir(), {.args = {"--replay", playthrough().file, "--at", "1232"},
                              .rows = 25,
                              .errors_apart = true});
    auto showsafter = [&](std::size_t keys) {
        const std::string want = goldenrows(keys);
        return game.waituntil([&] { return game.shown() == want; });
    };
    ASSERT_TRUE(showsafter(1231)) << game.shown(); // the market
    const std::string left = "\x1b[D", right = "\x1b[C", up = "\x1b[5~", down = "\x1b[6~";
    std::string keys;
    for (int i = 0; i < 11; ++i) keys += up; // to key 132
    for (int i = 0; i < 10; ++i) keys += right;
    game.send(keys);
    ASSERT_TRUE(showsafter(141)) << game.shown(); // the fight
    keys.clear();
    for (int i = 0; i < 11; ++i) keys += down; // to key 1242
    for (int i = 0; i < 10; ++i) keys += left;
    game.send(keys);
    ASSERT_TRUE(showsafter(1231)) << game.shown();
    game.send(up + up + up + up + up + up + up + up + up + up + up + up + up); // past the first
    ASSERT_TRUE(showsafter(0)) << game.shown();
    game.send("q");
    const int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(game.errors, "orbridden: " + playthrough().file + ": replay ended at its start\n");
}

} // namespace
