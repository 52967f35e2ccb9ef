// The journal through the real game: a game ended at any key, any way, is continued on the
// screen it was left at; one continued from any key plays on to the golden score record; and
// what the start makes of every kind of journal it finds.
#include "pty.hpp"

#include "cli/recordings.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const game_parts game{intro, screens};

// The start of the line `rec`'s item `index` stands on, in its `text`.
std::size_t linestart(const std::string &text, std::uint32_t line) {
    std::size_t at = 0;
    for (std::uint32_t l = 1; l < line; ++l) at = text.find('\n', at) + 1;
    return at;
}

// The playthrough's recording as a game killed after its key `keys` left it: every line up to
// the next key's.
std::string cutafter(std::uint64_t keys) {
    const std::string text = slurp(playthrough().file);
    const recording rec = readfile(playthrough().file);
    std::uint64_t seen = 0;
    for (const recording_item &i : rec.items)
        if (i.kind == item_type::key && ++seen == keys + 1)
            return text.substr(0, linestart(text, i.line));
    return text;
}

// The console's rows where a recording runs out, replayed without a screen, as the terminal
// shows them.
std::vector<std::string> rowsat(const std::string &text) {
    recording rec;
    std::string problem;
    EXPECT_TRUE(readrecording(text, rec, problem)) << problem;
    usescriptscreen({});
    replay(rec, game, nullptr);
    std::vector<std::string> rows;
    std::istringstream in(screenrows());
    // Trailing blanks go as the terminal's rows lose them (code 0 shows as one too).
    for (std::string row; std::getline(in, row);)
        rows.push_back(row.erase(row.find_last_not_of(' ') + 1));
    return rows;
}

std::string statedir(const std::string &dir) {
    return dir + "/state/orbridden";
}

void putjournal(const std::string &dir, const std::string &text) {
    fs::create_directories(statedir(dir));
    std::ofstream(statedir(dir) + "/journal.rec", std::ios::binary) << text;
}

// The files kept in games/, by name.
std::vector<std::string> kept(const std::string &dir) {
    std::vector<std::string> names;
    if (!fs::exists(statedir(dir) + "/games")) return names;
    for (const auto &f : fs::directory_iterator(statedir(dir) + "/games"))
        names.push_back(f.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool shows(const pty_game &g, std::string_view text) {
    return g.shown().find(text) != std::string::npos;
}

// ---- every way a game can end, at a key drawn anywhere in the quest

struct way {
    const char *name;
    void (*end)(pty_game &);
    int signal; // what the game ends by
};
const way ways[] = {
    {"CtrlC", [](pty_game &g) { g.send("\x03"); }, SIGINT},
    {"HangUp", [](pty_game &g) { kill(g.game, SIGHUP); }, SIGHUP},
    {"Kill", [](pty_game &g) { kill(g.game, SIGKILL); }, SIGKILL},
};

TEST(Journal, AGameEndedAnyWayIsContinuedOnTheScreenOfItsLastKey) {
    const std::string keys = keysof(readfile(playthrough().file));
    std::mt19937 draw(20261211); // fixed: the same keys every run
    for (const way &w : ways) {
        const std::uint64_t at = std::uniform_int_distribution<std::uint64_t>(300, 4800)(draw);
        SCOPED_TRACE(testing::Message() << w.name << " after key " << at);
        const std::string dir = tempdir();
        putjournal(dir, cutafter(at));
        std::vector<std::string> last = rowsat(cutafter(at));
        {
            // The game ended there: continued, it shows the screen of that key and takes more.
            pty_game g(dir, {.rows = 25});
            ASSERT_TRUE(g.waitscreen("A GAME TO CONTINUE"));
            EXPECT_TRUE(g.waitscreen("KEYS PLAYED : " + std::to_string(at)));
            EXPECT_TRUE(shows(g, "HERO        : Oru"));
            g.send("1");
            ASSERT_TRUE(g.waituntil([&] { return g.screen() == last; }))
                << g.shown() << "\nwanted:\n"
                << testing::PrintToString(last);
            // Three of the playthrough's next keys, taken live; then the game is ended.
            g.send(keys.substr(at, 3));
            ASSERT_TRUE(g.waituntil([&] {
                const recording r = readfile(statedir(dir) + "/journal.rec");
                return keysof(r).size() == at + 3;
            }));
            last = rowsat(slurp(statedir(dir) + "/journal.rec"));
            ASSERT_TRUE(g.waituntil([&] { return g.screen() == last; })) << g.shown();
            w.end(g);
            const int status = g.finish();
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == w.signal) << status;
        }
        pty_game again(dir, {.rows = 25});
        ASSERT_TRUE(again.waitscreen("A GAME TO CONTINUE"));
        EXPECT_TRUE(again.waitscreen("KEYS PLAYED : " + std::to_string(at + 3)));
        again.send("1");
        EXPECT_TRUE(again.waituntil([&] { return again.screen() == last; })) << again.shown();
        again.send("\x03");
        again.finish();
        EXPECT_EQ(kept(dir), std::vector<std::string>{});
    }
}

// Continues the journal `text` in-process, as the terminal does, with the rest of the
// playthrough's keys on the stepping clock: the game goes on to the golden score record, and the
// journal grown so verifies to it.
void continuedtotheend(const std::string &text) {
    const std::string keys = keysof(readfile(playthrough().file));
    static recording cut;
    static int fd;
    const std::string dir = tempdir(), path = dir + "/journal.rec";
    std::ofstream(path, std::ios::binary) << text;
    std::string problem;
    ASSERT_TRUE(readrecording(text, cut, problem)) << problem;
    const std::uint64_t at = keycount(cut);
    // The stepping clock goes on from the readings the cut recording holds.
    clock_ms = cut.header.start;
    for (const recording_item &i : cut.items) clock_ms += i.kind == item_type::clock;
    game_clock = steppingclock;
    fd = open(path.c_str(), O_WRONLY | O_APPEND);
    const fs::path home = fs::current_path();
    fs::current_path(dir); // the score file goes there
    usescript(keys.substr(at));
    quietconsole();
    startreplay(cut, nullptr, 0, [] {
        resumerecording(fd, cut.header, replaystate().now, [] { return std::int64_t{0}; });
        showconsole();
    });
    playgame(intro, screens);
    EXPECT_EQ(stoprecording(), 0);
    close(fd);
    game_clock = realclock;
    fs::current_path(home);
    EXPECT_EQ(slurp(dir + "/score.txt"), slurp(golden + "/playthrough.score"));
    const piped_run run = runpiped({"--verify", path});
    EXPECT_EQ(run.out, slurp(golden + "/playthrough.score")) << run.err;
    EXPECT_EQ(keysof(readfile(path)), keys);
}

// The replay hands over to the keys typed where the journal runs out: the game goes on from any
// key to the golden score record.
TEST(Journal, AGameContinuedFromAnyKeyPlaysOnToTheGoldenScoreRecord) {
    const std::uint64_t keys = keysof(readfile(playthrough().file)).size();
    for (std::uint64_t at : {std::uint64_t{1}, std::uint64_t{2500}, keys - 1}) {
        SCOPED_TRACE(testing::Message() << "after key " << at);
        continuedtotheend(cutafter(at));
    }
}

// A journal the page made (tests/web/journal.test.mjs checks that the page still makes it, byte
// for byte) is continued by the terminal to the same end.
TEST(Journal, AJournalMadeInThePageIsContinuedToTheGoldenScoreRecord) {
    continuedtotheend(slurp(ORBRIDDEN_FIXTURE_DIR "/page_journal.rec"));
}

// ---- what the start makes of each journal it finds

struct found_case {
    const char *name;
    std::string journal;            // the journal's text ("" none); a directory in its place
    std::vector<std::string> args;  // after the program's name
    std::string page;               // the first page shows this; then Enter or `choose`
    std::string choose;             // the key typed on the continue page
    std::vector<std::string> games; // the names kept in games/, the date taken off
};

// `journal` as another version of the game wrote it, whose game parts from this one's at the
// first key.
std::string anotherversion(const std::string &journal) {
    std::string other = journal;
    other.replace(other.find("game 1.0"), 8, "game 0.9");
    const std::size_t firstkey = linestart(other, 5), check = other.find('\n', firstkey) - 2;
    other.replace(check, 2, other.substr(check, 2) == "00" ? "01" : "00");
    return other;
}

// Puts `journal` where the game in `dir` looks for it; an empty one stands for a state
// directory that cannot be made (a file is in its way).
void putstate(const std::string &dir, const std::string &journal) {
    if (journal.empty())
        std::ofstream(dir + "/state") << "a file where the state directory goes";
    else
        putjournal(dir, journal);
}

TEST(Journal, TheStartDealsWithEveryJournalAsItMust) {
    const std::string unfinished = cutafter(1000), other = anotherversion(unfinished);
    const std::string continuepage = "A GAME TO CONTINUE", cannot = "cannot be continued";
    const found_case cases[] = {
        {"continued", unfinished, {}, continuepage, "1", {}},
        {"new game", unfinished, {}, continuepage, "2", {"Oru-abandoned.rec"}},
        {"--new", unfinished, {"--new"}, "Our story begins", "", {"Oru-abandoned.rec"}},
        {"another version",
         other,
         {},
         "The game in the journal " + cannot,
         "",
         {"unreplayable.rec"}},
        {"its last line cut", unfinished + "1234 6", {}, continuepage, "1", {}},
        {"its input ended", unfinished + "x\n", {}, continuepage, "1", {}},
        {"finished", slurp(playthrough().file), {}, "Our story begins", "", {"Oru-6684.rec"}},
        {"no key taken", cutafter(0), {}, "Our story begins", "", {}},
        {"unwritable", "", {}, "This game " + cannot + " later", "", {}},
        {"--continue", unfinished, {"--continue", "elsewhere.rec"}, "", "", {}},
    };
    const std::vector<std::string> atkey = rowsat(unfinished);
    for (const found_case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = tempdir();
        const bool elsewhere = !c.args.empty() && c.args[0] == "--continue";
        if (elsewhere)
            std::ofstream(dir + "/elsewhere.rec", std::ios::binary) << c.journal;
        else
            putstate(dir, c.journal);
        pty_game g(dir, {.args = c.args, .rows = 25});
        if (elsewhere) {
            EXPECT_TRUE(g.waituntil([&] { return g.screen() == atkey; })) << g.shown();
        }
        ASSERT_TRUE(g.waitscreen(c.page)) << g.shown();
        if (c.page.find(cannot) != std::string::npos) {
            g.send("\n");
            ASSERT_TRUE(g.waitscreen("Our story begins")) << g.shown();
        }
        g.send(c.choose);
        if (c.choose == "1") {
            EXPECT_TRUE(g.waitscreen("KEYS PLAYED : 1000"));
            EXPECT_TRUE(g.waituntil([&] { return g.screen() == atkey; })) << g.shown();
        } else if (c.choose == "2") {
            EXPECT_TRUE(g.waitscreen("Our story begins")) << g.shown();
        }
        g.send("\x03");
        g.finish();
        std::vector<std::string> names;
        for (const std::string &n : kept(dir)) names.push_back(n.substr(16)); // YYYY-MM-DD-HHMM-
        EXPECT_EQ(names, c.games);
        if (c.journal.empty()) continue;
        // The journal left is this game's: the one continued, on its way, or a new one.
        const recording now = readfile(statedir(dir) + "/journal.rec");
        const bool continued = c.choose == "1" || elsewhere;
        EXPECT_EQ(keysof(now).size(), continued ? 1000u : 0u);
        EXPECT_EQ(now.cutline, 0u);
        if (continued) {
            EXPECT_EQ(slurp(statedir(dir) + "/journal.rec"), unfinished);
        }
    }
}

// The input ending on a page before the game begins (the terminal closed there, under setsid,
// so that no hang-up signal comes first) ends the game as on any other page: status 0, nothing
// on standard error, and the journal as it was.
TEST(Journal, TheInputEndingOnTheFirstPagesEndsTheGameAndKeepsTheJournal) {
    const std::string unfinished = cutafter(1000);
    struct ending_case {
        const char *name;
        std::string journal; // as putstate takes it
        std::vector<std::string> args;
        std::string page; // the page the terminal closes at
    };
    const ending_case cases[] = {
        {"the continue page", unfinished, {}, "A GAME TO CONTINUE"},
        {"the continue page, plain", unfinished, {"--plain"}, "A GAME TO CONTINUE"},
        {"the unwritable state's notice", "", {}, "cannot be continued later"},
    };
    for (const ending_case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = tempdir();
        putstate(dir, c.journal);
        pty_game g(dir, {.args = c.args, .rows = 25, .errors_apart = true, .controlling = false});
        ASSERT_TRUE(g.waitscreen(c.page)) << g.shown();
        g.hangup();
        const int status = g.finish();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_EQ(g.errors, "");
        if (!c.journal.empty()) {
            EXPECT_EQ(slurp(statedir(dir) + "/journal.rec"), c.journal);
        }
        EXPECT_EQ(kept(dir), std::vector<std::string>{});
    }
}

// Keys from a pipe are a script's: whatever the state directory holds, the game prints what a
// fresh game prints for them, and the journal's game is left to be continued at the terminal.
TEST(Journal, KeysFromAPipeLeaveTheJournalAlone) {
    const std::string unfinished = cutafter(1000);
    // The introduction and the choice of hero, up to the first step: nothing left to chance.
    std::string keys = keysof(readfile(playthrough().file));
    keys.erase(keys.find('4'));
    struct piped_case {
        const char *name;
        std::string journal; // as putstate takes it
        std::vector<std::string> args;
        std::string input;
        bool fresh; // it prints what a fresh game prints for `input`
    };
    const piped_case cases[] = {
        {"unfinished", unfinished, {}, keys, true},
        {"unfinished, no keys", unfinished, {"--plain"}, "", true},
        {"--new", unfinished, {"--new"}, keys, true},
        {"another version's", anotherversion(unfinished), {}, keys, true},
        {"unwritable", "", {}, keys, true},
        {"--continue", unfinished, {"--continue", "elsewhere.rec"}, keys, false},
    };
    std::string first;
    for (const piped_case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = tempdir();
        putstate(dir, c.journal);
        std::ofstream(dir + "/elsewhere.rec", std::ios::binary) << unfinished;
        const piped_run run = runpiped(c.args, c.input, dir);
        EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
        EXPECT_EQ(run.err, "");
        if (c.fresh) {
            EXPECT_EQ(run.out, scriptedgame(c.input));
        }
        if (!c.journal.empty()) {
            EXPECT_EQ(slurp(statedir(dir) + "/journal.rec"), c.journal);
        }
        EXPECT_EQ(kept(dir), std::vector<std::string>{});
        if (first.empty()) first = dir;
    }
    // Left alone, it is still there to continue at the terminal.
    const std::vector<std::string> atkey = rowsat(unfinished);
    pty_game g(first, {.rows = 25});
    ASSERT_TRUE(g.waitscreen("A GAME TO CONTINUE")) << g.shown();
    EXPECT_TRUE(g.waitscreen("KEYS PLAYED : 1000"));
    g.send("1");
    EXPECT_TRUE(g.waituntil([&] { return g.screen() == atkey; })) << g.shown();
    g.send("\x03");
    g.finish();
}

// Two games at once in one state directory: the second plays without a journal, and says so,
// rather than take the first one's.
TEST(Journal, ASecondGameAtOnceLeavesTheFirstsJournalAlone) {
    const std::string dir = tempdir();
    pty_game first(dir, {.rows = 25});
    ASSERT_TRUE(first.waitscreen("Our story begins"));
    first.send("\n");
    ASSERT_TRUE(first.waitscreen("It was thought"));
    {
        pty_game second(dir, {.rows = 25});
        ASSERT_TRUE(second.waitscreen("game being played.")) << second.shown();
        second.send("\n");
        EXPECT_TRUE(second.waitscreen("Our story begins"));
        second.send("\n\x03");
        second.finish();
    }
    first.send("\x03");
    first.finish();
    EXPECT_EQ(keysof(readfile(statedir(dir) + "/journal.rec")), "\n");
    EXPECT_EQ(kept(dir), std::vector<std::string>{});
}

// --continue takes up only an unfinished game that replays to its end under this version.
TEST(Journal, ContinueRefusesWhatCannotBeContinued) {
    const piped_run finished = runpiped({"--continue", playthrough().file});
    EXPECT_TRUE(WIFEXITED(finished.status) && WEXITSTATUS(finished.status) == 2);
    EXPECT_EQ(finished.err, "orbridden: " + playthrough().file +
                                ": the game is finished: there is nothing to continue\n");
    const piped_run none = runpiped({"--continue", "missing.rec"});
    EXPECT_TRUE(WIFEXITED(none.status) && WEXITSTATUS(none.status) == 3);
    EXPECT_EQ(none.err, "orbridden: missing.rec: No such file or directory\n");
}

} // namespace
