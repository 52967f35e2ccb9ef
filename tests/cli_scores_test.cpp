// Listing the score file: whole records found among cut, altered and foreign lines, the table
// best first, and the command line that asks for it.
#include "cli/options.hpp"
#include "cli/scores.hpp"
#include "core/files.hpp"
#include "core/score.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

// A record exactly as the game appends it.
std::string record(const char *name, int32 points, int32 deaths) {
    stats_rec s;
    s.name = padded<3>(name);
    s.points = points;
    s.deaths = deaths;
    return scorerecord(s);
}

const std::string oru = record("Oru", 250, 2);
const std::string vek = record("Vek", 1234, 0);
const std::string cal = record("Cal", 7, 1);

// The first `n` lines of `text`, each with its line end.
std::string firstlines(const std::string &text, int n) {
    std::size_t at = 0;
    for (int i = 0; i < n; ++i) at = text.find('\n', at) + 1;
    return text.substr(0, at);
}

// A record's lines as read: the name, points, deaths and whether it is altered.
std::string seen(const score_listing &listing) {
    std::string out;
    for (const score_entry &e : listing.records)
        out += std::string(e.name.begin(), e.name.end()) + " " + std::to_string(e.points) + " " +
               std::to_string(e.deaths) + (e.altered ? " altered" : "") + "\n";
    return out;
}

struct file_case {
    const char *what;
    std::string file;
    std::string records; // as `seen` writes them, in the file's order
    std::uint64_t skipped;
};

TEST(ReadScores, FindsTheWholeRecords) {
    std::string altered = vek;
    altered.replace(altered.find("1234"), 4, "9234");
    std::string wordy = oru;
    wordy.replace(wordy.find("250"), 3, "lot");
    std::string longcode = oru;
    longcode.insert(longcode.find("QW"), std::string(1 << 20, 'K'));
    const file_case cases[] = {
        {"empty", "", "", 0},
        {"three in the file's order", vek + oru + cal, "Vek 1234 0\nOru 250 2\nCal 7 1\n", 0},
        {"negative points encode as E", record("Neg", -5, 0), "Neg -5 0\n", 0},
        {"points changed, encoding kept", altered, "Vek 9234 0 altered\n", 0},
        {"an encoding of a megabyte is altered, not skipped", longcode, "Oru 250 2 altered\n", 0},
        {"cut inside the encoded line", vek + oru.substr(0, oru.find("QW") + 2), "Vek 1234 0\n", 4},
        {"one empty line at the end", vek + oru.substr(0, oru.size() - 1),
         "Vek 1234 0\nOru 250 2\n", 0},
        {"no empty lines at the end", vek + oru.substr(0, oru.size() - 2),
         "Vek 1234 0\nOru 250 2\n", 0},
        {"no empty lines between records", vek.substr(0, vek.size() - 2) + oru,
         "Vek 1234 0\nOru 250 2\n", 0},
        {"a garbled encoding is altered", "Oru\n        250\n          2\nABC\n\n\n" + cal,
         "Oru 250 2 altered\nCal 7 1\n", 0},
        {"a garbled encoding, then a record with no empty line between",
         "Oru\n        250\n          2\nABC\n" + cal, "Oru 250 2 altered\nCal 7 1\n", 0},
        {"an empty encoded line is altered", "Oru\n        250\n          2\n\n\n\n" + cal,
         "Oru 250 2 altered\nCal 7 1\n", 0},
        {"a letter outside the encoding is altered",
         "Oru\n        250\n          2\nQWZ\n\n\n" + cal, "Oru 250 2 altered\nCal 7 1\n", 0},
        {"a name that is not three bytes", "Oruk" + oru.substr(3) + cal, "Cal 7 1\n", 6},
        {"a word for the points", wordy + cal, "Cal 7 1\n", 6},
        {"points beyond 32 bits", "Oru\n 9999999999\n" + oru.substr(oru.find("          2")) + cal,
         "Cal 7 1\n", 6},
        {"binary bytes between records", oru + "\0\x01\xfe\xff\n\x1b[2J\n"s + cal,
         "Oru 250 2\nCal 7 1\n", 2},
        {"a control byte in a name", "O\x01u" + oru.substr(3), "O\x01u 250 2\n", 0},
        {"UTF-8 in a name", "\xc3\xb6r" + oru.substr(3), "\xc3\xb6r 250 2\n", 0},
        {"deaths that are not a number", "Oru\n        250\n          -\nE\n\n\n" + cal,
         "Cal 7 1\n", 6},
        {"a line of a megabyte", oru + std::string(1 << 20, 'x') + "\n" + cal,
         "Oru 250 2\nCal 7 1\n", 1},
        {"blank lines before a record", "\n\n" + cal, "Cal 7 1\n", 2},
    };
    for (const file_case &c : cases) {
        std::istringstream in(c.file);
        const score_listing listing = readscores(in);
        EXPECT_EQ(seen(listing), c.records) << c.what;
        EXPECT_EQ(listing.skipped, c.skipped) << c.what;
    }
}

// A record cut short before its encoded line costs only its own lines: the next record is
// found, and at the end of the file the lines are counted. One cut only in its empty lines is
// whole.
TEST(ReadScores, ARecordCutShortAtEachLine) {
    for (int kept = 1; kept <= 5; ++kept) {
        SCOPED_TRACE(kept);
        const bool whole = kept >= 4;
        const std::uint64_t skipped = whole ? 0 : static_cast<std::uint64_t>(kept);
        std::istringstream inside(vek + firstlines(oru, kept) + cal);
        score_listing listing = readscores(inside);
        EXPECT_EQ(seen(listing),
                  whole ? "Vek 1234 0\nOru 250 2\nCal 7 1\n" : "Vek 1234 0\nCal 7 1\n");
        EXPECT_EQ(listing.skipped, skipped);

        std::istringstream atend(vek + firstlines(oru, kept));
        listing = readscores(atend);
        EXPECT_EQ(seen(listing), whole ? "Vek 1234 0\nOru 250 2\n" : "Vek 1234 0\n");
        EXPECT_EQ(listing.skipped, skipped);
    }
}

TEST(PrintScores, BestFirstWithSharedRanksAndMarks) {
    std::istringstream in(record("abc", 0, 2) + record("Low", 7, 0) + vek + record("Tie", 7, 3));
    score_listing listing = readscores(in);
    listing.records.push_back({.name = {'\xc3', '\xb6', 'r'}, .points = 9234, .altered = true});
    listing.records.push_back({.name = {'O', '\x01', '\x7f'}, .points = -3});
    std::ostringstream out;
    printscores(listing.records, out);
    EXPECT_EQ(out.str(), "rank  name       points       deaths\n"
                         "   1  ??r          9234            0  altered\n"
                         "   2  Vek          1234            0\n"
                         "   3  Low             7            0\n"
                         "   3  Tie             7            3\n"
                         "   5  abc             0            2\n"
                         "   6  O??            -3            0\n");
}

TEST(ListScores, AFileThatCannotBeListed) {
    const std::string dir = testing::TempDir();
    const std::pair<std::string, std::string> cases[] = {
        {dir + "orbridden-no-such-file", dir + "orbridden-no-such-file"},
        {dir, dir},
        {dir + "no\x1b]0;x\x07\xff", dir + "no%1B]0;x%07%FF"}, // shown safely
    };
    for (const auto &[path, said] : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(listscores(path, out, err), exit_unreadable) << path;
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str().rfind("orbridden: " + said + ": ", 0), 0u) << err.str();
    }
}

// What listing `path` wrote (standard output, then standard error) and how it ended. The
// listing runs in a child that an alarm ends, so that a listing waiting on a pipe for a writer
// fails the test instead of holding it up for ever.
struct child_listing {
    std::string ended; // "exit N", or "signal N" (14, the alarm: the listing waited)
    std::string written;
};

child_listing listinchild(const std::string &path) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return {"no pipe", ""};
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        std::signal(SIGALRM, SIG_DFL);
        alarm(10);
        std::ostringstream out, err;
        const int status = listscores(path, out, err);
        const std::string written = out.str() + err.str();
        for (std::size_t done = 0; done < written.size();) {
            const ssize_t n = write(pipefd[1], written.data() + done, written.size() - done);
            if (n <= 0) _exit(99);
            done += static_cast<std::size_t>(n);
        }
        _exit(status);
    }
    close(pipefd[1]);
    child_listing seen;
    char chunk[4096];
    for (ssize_t n; (n = read(pipefd[0], chunk, sizeof chunk)) > 0;) seen.written.append(chunk, n);
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    seen.ended = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                                   : "signal " + std::to_string(WTERMSIG(status));
    return seen;
}

// The listing opens the file first and then looks at what it opened, so a pipe put in place of
// the file after the look is never what it reads, and a pipe found there is refused at once.
TEST(ListScores, ReadsWhatItChecked) {
    char name[] = "/tmp/orbridden-scores-XXXXXX";
    const std::string path = std::string(mkdtemp(name)) + "/score.txt";
    std::ofstream(path, std::ios::binary) << oru;
    regularfile_checked = [](const std::string &file) {
        unlink(file.c_str());
        mkfifo(file.c_str(), 0600);
    };
    child_listing seen = listinchild(path);
    regularfile_checked = nullptr;
    EXPECT_EQ(seen.ended, "exit 0");
    EXPECT_EQ(seen.written, "rank  name       points       deaths\n"
                            "   1  Oru           250            2\n");

    struct stat file {};
    ASSERT_EQ(stat(path.c_str(), &file), 0);
    ASSERT_TRUE(S_ISFIFO(file.st_mode));
    seen = listinchild(path);
    EXPECT_EQ(seen.ended, "exit 1");
    EXPECT_EQ(seen.written, "orbridden: " + path + ": is not a regular file\n");
    unlink(path.c_str());
    rmdir(name);
}

struct parse_case {
    std::vector<std::string> args;
    command what;
    std::string scorefile;
    bool plain;
    std::string problem;
    std::string recording = {}, cast = {}; // the files of the recordings' options
    std::uint64_t at = 0;
};

TEST(ParseOptions, WhatEachCommandLineAsksFor) {
    const parse_case cases[] = {
        {{}, command::play, "score.txt", false, ""},
        {{"--plain"}, command::play, "score.txt", true, ""},
        {{"--scores", "old.txt"}, command::scores, "old.txt", false, ""},
        {{"--scores=old.txt"}, command::scores, "old.txt", false, ""},
        {{"--sc=old.txt", "--plain"}, command::scores, "old.txt", true, ""},
        {{"--scores=-odd.txt"}, command::scores, "-odd.txt", false, ""},
        {{"old.txt", "--scores"}, command::scores, "old.txt", false, ""},
        {{"--scores", "--", "-odd.txt"}, command::scores, "-odd.txt", false, ""},
        {{"--sc"}, command::scores, "score.txt", false, ""}, // a long option may be abbreviated
        {{"-Vh"}, command::help, "score.txt", false, ""},
        {{"--scores", "a", "b"}, command::misuse, "score.txt", false, "unexpected argument 'b'"},
        {{"--scores=a", "b"}, command::misuse, "score.txt", false, "unexpected argument 'b'"},
        {{"--scores="}, command::misuse, "score.txt", false, "the score file's name is empty"},
        {{"--scores", ""}, command::misuse, "score.txt", false, "the score file's name is empty"},
        {{"--help", "x"}, command::misuse, "score.txt", false, "unexpected argument 'x'"},
        {{"--", "-h"}, command::misuse, "score.txt", false, "unexpected argument '-h'"},
        {{"-hx"}, command::misuse, "score.txt", false, "unknown option '-x'"},
        // What was typed is quoted safely: a byte could act on the terminal.
        {{"-h\x1b"}, command::misuse, "score.txt", false, "unknown option '-%1B'"},
        {{"--\x1b]0;x\x07"}, command::misuse, "score.txt", false, "unknown option '--%1B]0;x%07'"},
        {{"--scores", "a", "b\r\xc2\x9b"},
         command::misuse,
         "score.txt",
         false,
         "unexpected argument 'b%0D%C2%9B'"},
        {{"--plain", "--fly=high"},
         command::misuse,
         "score.txt",
         false,
         "unknown option '--fly=high'"},
        {{"--version=2"},
         command::misuse,
         "score.txt",
         false,
         "option '--version' takes no argument"},
        {{"--record", "a.rec"}, command::record, "score.txt", false, "", "a.rec"},
        {{"--plain", "--record=a.rec"}, command::record, "score.txt", true, "", "a.rec"},
        {{"--replay", "a.rec", "--cast", "a.cast"},
         command::replay,
         "score.txt",
         false,
         "",
         "a.rec",
         "a.cast"},
        {{"--verify", "a.rec"}, command::verify, "score.txt", false, "", "a.rec"},
        {{"--verify", "a.rec", "--progress"}, command::verify, "score.txt", false, "", "a.rec"},
        {{"--replay", "a.rec", "--progress"},
         command::misuse,
         "score.txt",
         false,
         "option '--progress' goes with '--verify'"},
        {{"--plain", "--continue", "a.rec"}, command::resume, "score.txt", true, "", "a.rec"},
        {{"--continue", "a.rec", "--new"},
         command::misuse,
         "score.txt",
         false,
         "options '--new' and '--continue' cannot be used together"},
        {{"--continue", "a.rec", "--record", "b.rec"},
         command::misuse,
         "score.txt",
         false,
         "options '--continue' and '--record' cannot be used together"},
        {{"--record"}, command::misuse, "score.txt", false, "option '--record' needs an argument"},
        {{"--verify", "a.rec", "b.rec"},
         command::misuse,
         "score.txt",
         false,
         "unexpected argument 'b.rec'"},
        {{"--replay", "a.rec", "--verify", "a.rec"},
         command::misuse,
         "score.txt",
         false,
         "options '--replay' and '--verify' cannot be used together"},
        {{"--scores", "--record", "a.rec"},
         command::misuse,
         "score.txt",
         false,
         "options '--scores' and '--record' cannot be used together"},
        {{"--record", "a.rec", "--cast", "a.cast"},
         command::misuse,
         "score.txt",
         false,
         "option '--cast' goes with '--replay'"},
        {{"--replay", "a.rec", "--plain", "--cast", "a.cast"},
         command::misuse,
         "score.txt",
         false,
         "options '--plain' and '--cast' cannot be used together"},
        {{"--record="}, command::misuse, "score.txt", false, "the recording's name is empty"},
        {{"--replay", "a.rec", "--cast="},
         command::misuse,
         "score.txt",
         false,
         "the cast's name is empty"},
        {{"--replay", "a.rec", "--at", "4925"},
         command::replay,
         "score.txt",
         false,
         "",
         "a.rec",
         "",
         4925},
        {{"--at=2", "--verify", "a.rec"},
         command::misuse,
         "score.txt",
         false,
         "option '--at' goes with '--replay'"},
        {{"--replay", "a.rec", "--plain", "--at", "2"},
         command::misuse,
         "score.txt",
         false,
         "options '--at' and '--plain' cannot be used together"},
        {{"--replay", "a.rec", "--at", "2", "--cast", "a.cast"},
         command::misuse,
         "score.txt",
         false,
         "options '--at' and '--cast' cannot be used together"},
        {{"--replay", "a.rec", "--at", "0"},
         command::misuse,
         "score.txt",
         false,
         "option '--at' needs a key's number, from 1, not '0'"},
        {{"--replay", "a.rec", "--at", "-3"},
         command::misuse,
         "score.txt",
         false,
         "option '--at' needs a key's number, from 1, not '-3'"},
        {{"--replay", "a.rec", "--at", "7x\x1b"},
         command::misuse,
         "score.txt",
         false,
         "option '--at' needs a key's number, from 1, not '7x%1B'"},
        {{"--replay", "a.rec", "--at", "99999999999999999999"},
         command::misuse,
         "score.txt",
         false,
         "option '--at' needs a key's number, from 1, not '99999999999999999999'"},
        {{"--scores", "--scores"}, command::scores, "score.txt", false, ""},
        {{"--verify", "a.rec", "--verify", "b.rec"},
         command::verify,
         "score.txt",
         false,
         "",
         "b.rec"},
    };
    for (const parse_case &c : cases) {
        std::vector<std::string> words{"orbridden"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::vector<char *> argv;
        for (std::string &w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        const options opts = parseoptions(static_cast<int>(words.size()), argv.data());
        const std::string line = testing::PrintToString(c.args);
        EXPECT_EQ(opts.what, c.what) << line;
        EXPECT_EQ(opts.scorefile, c.scorefile) << line;
        EXPECT_EQ(opts.plain, c.plain) << line;
        EXPECT_EQ(opts.problem, c.problem) << line;
        EXPECT_EQ(opts.recording, c.recording) << line;
        EXPECT_EQ(opts.cast, c.cast) << line;
        EXPECT_EQ(opts.at, c.at) << line;
    }
}

// The options block of --help is built from the table of options: names, arguments and lines
// in one aligned column.
TEST(RunCommand, HelpListsTheOptions) {
    options asked;
    asked.what = command::help;
    std::ostringstream out, err;
    EXPECT_EQ(runcommand(asked, out, err), exit_done);
    const std::string help = out.str();
    const std::size_t from = help.find("options:\n"), to = help.find("\nkeys:\n");
    ASSERT_LT(from, to) << help;
    EXPECT_EQ(help.substr(from, to - from),
              "options:\n"
              "  --plain          write the plain stream of lines (no in-place screen)\n"
              "  --new            start a new game, keeping an unfinished one in games/ unasked\n"
              "  --continue FILE  go on with the unfinished game recorded in FILE (a journal\n"
              "                   from another machine); the journal goes on from it\n"
              "  --scores [FILE]  list the scores in FILE (or score.txt here), best first\n"
              "  --record FILE    play and write a recording of the game to FILE (a new file)\n"
              "  --replay FILE    play a recording back at its pace: space pauses, + and -\n"
              "                   double and halve the speed, . steps a key while paused, q\n"
              "                   ends; while paused the left and right arrows step back and\n"
              "                   forward a key, Page Up and Page Down a hundred; with\n"
              "                   --plain, or not on a terminal, write the plain stream at once\n"
              "  --at N           with --replay: start paused at key N (from 1)\n"
              "  --cast OUT       with --replay: write the replay as an asciicast v2 file OUT\n"
              "  --verify FILE    replay FILE without a screen and print the score record it\n"
              "                   ends with; exit 0 when it equals the recorded one\n"
              "  --progress       with --verify: for a game not yet ended, print one line,\n"
              "                   progress KEYS RINGS NAME (the hall's live games)\n"
              "  -h, --help       print this help and exit\n"
              "  -V, --version    print the name and version and exit\n");
    EXPECT_EQ(err.str(), "");
}

} // namespace
