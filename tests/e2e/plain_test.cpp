// The plain stream, asked for with --plain on a terminal or chosen for a pipe, writes exactly
// the bytes the scripted console shows for the same keys.
#include "pty.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::string_view notice = "PRESS ENTER";
constexpr std::string_view choice = "CHOICE  : ";

// The lines typed at the introduction's five pages, a wrong and a right choice of hero; the
// last ends at Vek's page. Each with the text that ends the page it brings.
struct typed {
    std::string line;
    std::string_view until;
};
const typed lines[] = {{"\n", notice}, {"\n", notice},  {"\n", notice}, {"\n", notice},
                       {"\n", choice}, {"9\n", choice}, {"2\n", notice}};

std::string allkeys() {
    std::string keys;
    for (const typed &t : lines) keys += t.line;
    return keys;
}

TEST(Plain, OnATerminalWithPlainTheBytesAreTheScriptedOnes) {
    // No line-end translation, so that the game's bytes arrive as written; the terminal's echo
    // of each typed line is taken out again.
    pty_game game(tempdir(), {.args = {"--plain"}, .translate = false});
    game.waitfor(notice);
    for (const typed &t : lines) {
        std::size_t at = game.seen.size(); // the page is all there: it ends with its prompt
        game.send(t.line);
        game.waitfor(t.line, at);
        ASSERT_EQ(game.seen.compare(at, t.line.size(), t.line), 0) << "the echo comes first";
        game.seen.erase(at, t.line.size());
        game.waitfor(t.until, at);
    }
    game.send("\x04"); // the input ends at Vek's page
    int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(game.seen, scriptedgame(allkeys()));
}

// Runs the game with `args` on pipes in the locale `locale`, the keys written at once; returns
// what it wrote.
std::string throughpipes(const std::vector<std::string> &args, const std::string &keys,
                         const char *locale = "C.UTF-8") {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return "no pipes";
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
        std::vector<char *> argv{const_cast<char *>(ORBRIDDEN_BINARY)};
        for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        if (chdir(tempdir().c_str()) != 0) _exit(126);
        setenv("LC_ALL", locale, 1);
        execv(ORBRIDDEN_BINARY, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (write(in[1], keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) return "";
    close(in[1]);
    std::string shown;
    char buf[4096];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;)
        shown.append(buf, static_cast<std::size_t>(n));
    close(out[0]);
    waitpid(pid, nullptr, 0);
    return shown;
}

TEST(Plain, OnPipesTheBytesAreTheScriptedOnes) {
    const std::string want = scriptedgame(allkeys());
    EXPECT_EQ(throughpipes({}, allkeys()), want);
    EXPECT_EQ(throughpipes({"--plain"}, allkeys()), want);
}

TEST(Plain, WithoutUtf8OnlyAsciiGoesOut) {
    // On to the town, the game menu and the world's map, whose forest is drawn in ♣.
    const std::string keys = allkeys() + "\n01";
    ASSERT_NE(scriptedgame(keys).find("\u2663"), std::string::npos);
    const std::string shown = throughpipes({}, keys, "C");
    EXPECT_TRUE(std::all_of(shown.begin(), shown.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    EXPECT_EQ(shown, scriptedgame(keys, glyphset::ascii)) << "each glyph as its look-alike";
}

} // namespace
