// The command line at a terminal: what each option prints on standard output and standard error,
// its exit status, and that none of them starts the game or changes the terminal's settings.
#include "pty.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sys/wait.h>

namespace {

using namespace std::string_literals;

const std::string usage = "usage: orbridden [--plain] [--new] [--record FILE]\n"
                          "       orbridden [--plain] --continue FILE\n"
                          "       orbridden --replay FILE [--plain | --cast OUT | --at N]\n"
                          "       orbridden --verify FILE\n"
                          "       orbridden --scores [FILE]\n"
                          "       orbridden --help | --version\n";

// Three records as the game writes them, the last two with worked encodings.
const std::string abc = "abc\n          0\n          2\nE\n\n\n";
const std::string oru = "Oru\n        250\n          2\nQWGX7WGX7WX7WEWE\n\n\n";
const std::string vek = "Vek\n       1234\n          0\nQJWGX7WGX7WEWE\n\n\n";

const std::string header = "rank  name       points       deaths\n";
const std::string vek_row = "   1  Vek          1234            0\n";
const std::string oru_row = "   2  Oru           250            2\n";

struct option_case {
    const char *what;
    std::vector<std::string> args;
    std::optional<std::string> scorefile; // written to `file` first, when given
    std::string out;                      // standard output (its beginning, with `more`)
    std::string err;                      // standard error
    int status;
    bool more = false;              // the output goes on after `out`
    std::string file = "score.txt"; // the name `scorefile` is written under
    friend void PrintTo(const option_case &c, std::ostream *os) { *os << c.what; }
};

// The terminal shows line ends as CR LF.
std::string lines_of(std::string screen) {
    for (std::size_t at; (at = screen.find("\r\n")) != std::string::npos;) screen.erase(at, 1);
    return screen;
}

class Options : public testing::TestWithParam<option_case> {};

TEST_P(Options, PrintExitAndLeaveTheTerminalAlone) {
    const option_case &c = GetParam();
    const std::string dir = tempdir();
    if (c.scorefile) std::ofstream(dir + "/" + c.file, std::ios::binary) << *c.scorefile;
    pty_game game(dir, c.args, true);
    game.send("\x04"); // a game started by mistake would end here, having shown its first page
    const int status = game.finish();

    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), c.status);
    const std::string out = lines_of(game.seen);
    if (c.more)
        EXPECT_EQ(out.substr(0, c.out.size()), c.out);
    else
        EXPECT_EQ(out, c.out);
    EXPECT_EQ(game.errors, c.err);
    EXPECT_TRUE(samesettings(game.initial, game.settings()));
}

const std::string help_start = "ORBRIDDEN, a role-playing adventure for an 80x25 text console";

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Options,
    testing::Values(
        option_case{"help", {"--help"}, {}, help_start, "", 0, true},
        option_case{"help_short", {"-h"}, {}, help_start, "", 0, true},
        option_case{"version", {"--version"}, {}, "orbridden 1.0\n", "", 0},
        option_case{"version_short", {"-V"}, {}, "orbridden 1.0\n", "", 0},
        option_case{
            "unknown_option", {"--fly"}, {}, "", "orbridden: unknown option '--fly'\n" + usage, 2},
        option_case{
            "unknown_letter", {"-x"}, {}, "", "orbridden: unknown option '-x'\n" + usage, 2},
        option_case{"stray_argument",
                    {"east"},
                    {},
                    "",
                    "orbridden: unexpected argument 'east'\n" + usage,
                    2},
        option_case{"scores_no_file",
                    {"--scores"},
                    {},
                    "",
                    "orbridden: score.txt: No such file or directory\n",
                    1},
        option_case{"record_needs_a_file",
                    {"--record"},
                    {},
                    "",
                    "orbridden: option '--record' needs an argument\n" + usage,
                    2},
        option_case{"verify_no_file",
                    {"--verify", "game.rec"},
                    {},
                    "",
                    "orbridden: game.rec: No such file or directory\n",
                    3},
        option_case{"scores_empty", {"--scores"}, "", "No scores in score.txt.\n", "", 0},
        option_case{"scores_equals_file",
                    {"--scores=old.txt"},
                    vek,
                    header + vek_row,
                    "",
                    0,
                    false,
                    "old.txt"},
        option_case{"scores_then_file",
                    {"--scores", "old.txt"},
                    vek,
                    header + vek_row,
                    "",
                    0,
                    false,
                    "old.txt"},
        option_case{"scores_equals_nothing",
                    {"--scores="},
                    abc,
                    "",
                    "orbridden: the score file's name is empty\n" + usage,
                    2},
        option_case{"scores_best_first",
                    {"--scores"},
                    abc + oru + vek,
                    header + vek_row + oru_row + "   3  abc             0            2\n",
                    "",
                    0},
        option_case{"scores_altered",
                    {"--scores"},
                    oru + "Zed\n       9234\n          1\nQJWGX7WGX7WEWE\n\n\n",
                    header + "   1  Zed          9234            1  altered\n" + oru_row,
                    "",
                    0},
        option_case{"scores_cut_short",
                    {"--scores"},
                    vek + oru.substr(0, oru.find("QW")),
                    header + vek_row,
                    "orbridden: score.txt: skipped 3 lines: not part of a whole record\n",
                    3},
        option_case{"scores_binary_bytes",
                    {"--scores"},
                    oru + "\0\x01\xfe\xff\n\x1b[2J\n"s + vek,
                    header + vek_row + oru_row,
                    "orbridden: score.txt: skipped 2 lines: not part of a whole record\n",
                    3},
        option_case{"scores_megabyte_line",
                    {"--scores"},
                    oru + std::string(1 << 20, 'x') + "\n" + vek,
                    header + vek_row + oru_row,
                    "orbridden: score.txt: skipped 1 line: not part of a whole record\n",
                    3}),
    [](const testing::TestParamInfo<option_case> &info) { return info.param.what; });

TEST(Options, HelpNamesTheOptionsKeysAndScoreFile) {
    pty_game game(tempdir(), {"-h"}, true);
    game.finish();
    const std::string help = lines_of(game.seen);
    for (const char *part :
         {"usage: orbridden [--plain]", "--scores [FILE]", "--version", "Ctrl-C", "score.txt",
          "--record FILE", "--replay FILE", "--verify FILE", "--cast OUT"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    pty_game longer(tempdir(), {"--help"}, true);
    longer.finish();
    EXPECT_EQ(lines_of(longer.seen), help);
}

} // namespace
