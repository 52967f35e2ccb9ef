// The console: glyphs, the three reads, escape sequences and the line limit.
#include "core/console.hpp"
#include "core/hero.hpp"
#include "core/menuloop.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <clocale>
#include <cwchar>
#include <cwctype>
#include <fcntl.h>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

TEST(Glyphs, EveryDrawableCodeIsOneColumnWide) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    for (int code = 0; code < 256; ++code) {
        if (code == 7 || code == 10) continue; // the bell and the line end are not drawn
        EXPECT_EQ(wcwidth(static_cast<wchar_t>(cp437[code])), 1) << "code " << code;
    }
}

TEST(Glyphs, CodesAreWrittenAsTheirGlyphs) {
    usescript("");
    put(std::string_view("\x00\x01\x05\x07\x0e\x9d\xb0\xba\xce\xcf\xd1\xf7~", 13));
    EXPECT_EQ(transcript(), " \u263A\u2663\a\u266B\u00A5\u2591\u2551\u256C\u2567\u2564\u2248~");
}

TEST(Glyphs, LookAlikesKeepEachFamilyOfGlyphs) {
    // (Each look-alike being one printable character is checked where the table is written.)
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const std::string_view shades_and_blocks = ":%#";
    for (int code = 0; code < 256; ++code) {
        const char32_t g = cp437[code];
        const char a = cp437_ascii[code];
        if (g >= U'\u2500' && g <= U'\u257F') { // box drawing: lines and their joints
            const char line = g == U'\u2500'                     ? '-'
                              : g == U'\u2550'                   ? '='
                              : g == U'\u2502' || g == U'\u2551' ? '|'
                                                                 : '+';
            EXPECT_EQ(a, line) << "code " << code;
        } else if (g >= U'\u2580' && g <= U'\u25A0') {
            EXPECT_NE(shades_and_blocks.find(a), std::string_view::npos) << "code " << code;
        } else if (iswalpha(static_cast<wint_t>(g))) {
            EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(a)))
                << "code " << code << " is a letter";
        }
    }
}

TEST(Glyphs, PicturesDecodeToCodes) {
    constexpr auto p = decode<2, 4>({"\u2663 \u00A4~", "\u2591\u2248\u00A5\u263A"});
    EXPECT_EQ(p[0], (std::array<unsigned char, 4>{5, 32, 0, '~'}));
    EXPECT_EQ(p[1], (std::array<unsigned char, 4>{176, 247, 157, 1}));
    static_assert(cellcount("\u2663\u2663x") == 3);
}

TEST(Output, NumbersAndLines) {
    usescript("");
    putnum(0, 11);
    putline();
    putnum(-250);
    put('|');
    putnum(123456, 3);
    newlines(2);
    blanks(3);
    putline("x");
    EXPECT_EQ(transcript(), "          0\n-250|123456\n\n   x\n");
}

struct keycase {
    const char *what;
    const char *typed;
    std::string keys; // what successive key reads return
};

class Keys : public ::testing::TestWithParam<keycase> {};

TEST_P(Keys, EscapeSequencesReadAsOneKey) {
    usescript(GetParam().typed);
    std::string got;
    try {
        for (;;) got += key();
    } catch (const input_closed &) {
    }
    EXPECT_EQ(got, GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Console, Keys,
    ::testing::Values(keycase{"plain_keys", "6a0", "6a0"},
                      keycase{"arrows", "\x1b[A\x1b[B\x1b[C\x1b[D", "8264"},
                      keycase{"arrows_in_cursor_mode", "\x1bOA\x1bOD", "84"},
                      keycase{"keypad_digits", "\x1bOp\x1bOt\x1bOy", "049"},
                      keycase{"a_lone_escape", "\x1b", "\x1b"},
                      keycase{"an_arrow_with_a_modifier", "\x1b[1;5A6", "86"},
                      keycase{"a_function_key", "\x1b[15~6",
                              "\x1b"
                              "6"},
                      keycase{"escape_and_a_letter", "\x1bx6",
                              "\x1b"
                              "6"},
                      keycase{"an_unknown_cursor_mode_key", "\x1bOz6",
                              "\x1b"
                              "6"},
                      keycase{"a_letter_in_utf8", "\xc3\xb6\xe2\x95\xacx", "??x"},
                      keycase{"escape_and_a_line_end", "\x1b\n\x1b[\n", "\x1b\n\x1b\n"}),
    bywhat{});

TEST(Lines, ALongLineIsSeveralWaits) {
    std::string typed = std::string(100, 'a') + "\n" + std::string(150, 'b') + "\nz";
    usescript(typed);
    line(); // exactly 100 characters: one wait, its line end included
    line(); // the first 100 of 150
    line(); // the rest returns at once
    EXPECT_EQ(key(), 'z');
}

TEST(Lines, ALineOfAHundredEndsAtItsLineEndWhereverTheInputIsCutIntoReads) {
    // The real back end on a pipe: the hundredth character may be the last byte of one read and
    // the line end the first byte of the next.
    int saved = dup(STDIN_FILENO);
    ASSERT_GE(saved, 0);
    for (int before = 0; before <= 1100; ++before) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::string typed =
            std::string(static_cast<std::size_t>(before), '\n') + std::string(100, 'b') + "\nz";
        ASSERT_EQ(write(fds[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
        close(fds[1]);
        dup2(fds[0], STDIN_FILENO);
        close(fds[0]);
        useterminal();
        for (int i = 0; i <= before; ++i) line();
        char next = key();
        if (next != 'z') {
            ADD_FAILURE() << "after " << before << " empty lines the line end was left over";
            break;
        }
    }
    dup2(saved, STDIN_FILENO);
    close(saved);
    usescript("");
}

TEST(Lines, CharactersSkipLineEndsAndTheRestOfTheLineStaysForDiscarding) {
    usescript("\n\n 1xyz\n6\nnext\n");
    EXPECT_EQ(linechar(), ' ');
    EXPECT_EQ(linechar(), '1');
    // A key read does not see what is left of the line being taken apart.
    EXPECT_EQ(key(), '6');
    restofline(); // "xyz\n"
    EXPECT_EQ(key(), '\n');
    EXPECT_EQ(linechar(), 'n');
}

// The real back end reading a pipe another thread writes, its output going nowhere.
class PipedInput : public ::testing::Test {
  protected:
    int saved_in = -1, saved_out = -1;
    int writer_end = -1;
    std::thread writer;
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        saved_in = dup(STDIN_FILENO);
        saved_out = dup(STDOUT_FILENO);
        dup2(fds[0], STDIN_FILENO);
        close(fds[0]);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
        writer_end = fds[1];
        useterminal();
    }
    // Ends the writing and puts standard input and output back, before any check is reported.
    void restore() {
        if (writer.joinable()) writer.join();
        if (saved_in < 0) return;
        dup2(saved_in, STDIN_FILENO);
        dup2(saved_out, STDOUT_FILENO);
        close(saved_in);
        close(saved_out);
        saved_in = -1;
        usescript("");
    }
    void TearDown() override { restore(); }
};

// Whether thread `tid` of this process is asleep (waiting in a system call).
bool asleep(pid_t tid) {
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    std::size_t end = all.rfind(')'); // the state follows the name in brackets
    return end != std::string::npos && all.size() > end + 2 && all[end + 2] == 'S';
}

TEST_F(PipedInput, ANonBlockingInputIsWaitedOnNotTakenForItsEnd) {
    // Another program sharing the input left it non-blocking: the first read finds nothing yet.
    fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    const pid_t reader = gettid();
    std::atomic<bool> done = false;
    writer = std::thread([&] {
        // The key comes only once the reader waits for it, unless it has given up already.
        while (!done && !asleep(reader)) std::this_thread::yield();
        if (!done) (void)write(writer_end, "k", 1);
        close(writer_end);
    });
    char got = 0;
    try {
        got = key();
    } catch (const input_closed &) {
    }
    done = true;
    restore();
    EXPECT_EQ(got, 'k');
}

// The most memory this process has held at once since `resetpeak`, in kB.
long peakkb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
    return -1;
}
void resetpeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

TEST_F(PipedInput, ALineOfAnyLengthKeepsMemoryFlat) {
    // The hero's name on a line of 50 MB, then the keys of the adjusting screen.
    writer = std::thread([fd = writer_end] {
        auto send = [fd](std::string_view bytes) {
            for (ssize_t n; !bytes.empty(); bytes.remove_prefix(static_cast<std::size_t>(n)))
                if ((n = write(fd, bytes.data(), bytes.size())) <= 0) return;
        };
        send("3\nabc");
        const std::string megabyte(1 << 20, 'y');
        for (int i = 0; i < 50; ++i) send(megabyte);
        send("\n" + std::string(70, '6') + "z");
        close(fd);
    });
    resetpeak();
    const long before = peakkb();
    player_rec hero = findidentity();
    restofline();
    char next = key();
    const long growth = peakkb() - before;
    restore();
    EXPECT_EQ(view(hero.name), "abc");
    EXPECT_EQ(hero.power, 80);
    EXPECT_EQ(next, 'z');
    EXPECT_LT(growth, 8 * 1024) << "kB more than before reading the line";
}

TEST(Output, ANonBlockingOutputIsWaitedOnNotCutShort) {
    // Another program sharing the terminal left it non-blocking, and the screen is slow: a page
    // larger than what the output can hold at once must still arrive whole.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    fcntl(fds[1], F_SETPIPE_SZ, 4096);
    fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
    const int saved_out = dup(STDOUT_FILENO);
    dup2(fds[1], STDOUT_FILENO);
    close(fds[1]);
    useterminal();
    const pid_t game = gettid();
    std::atomic<bool> done = false;
    std::size_t arrived = 0;
    std::thread screen([&] {
        // The screen starts reading only once the game waits for it, unless it has given up.
        while (!done && !asleep(game)) std::this_thread::yield();
        char buf[4096];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
            arrived += static_cast<std::size_t>(n);
    });
    put(std::string(50'000, 'x'));
    flush();
    done = true;
    dup2(saved_out, STDOUT_FILENO); // the pipe's last writer goes: the screen reads its end
    close(saved_out);
    screen.join();
    close(fds[0]);
    usescript("");
    EXPECT_EQ(arrived, 50'000u);
}

TEST(Lines, EveryReadThrowsWhenTheInputEnds) {
    usescript("");
    EXPECT_THROW(key(), input_closed);
    EXPECT_THROW(line(), input_closed);
    EXPECT_THROW(linechar(), input_closed);
    usescript("abc");
    EXPECT_THROW(restofline(), input_closed);
}

// The in-place console takes its own keys whatever device it is on: the script's here as the
// terminal's (Ctrl-L draws the screen again and is no key for the game; Backspace edits a line).
TEST(Lines, TheInPlaceConsoleTakesItsOwnKeysOnTheScriptToo) {
    usescriptscreen("\x0c"
                    "ab\x7f"
                    "c\n\x0cz");
    EXPECT_EQ(linechar(), 'a');
    EXPECT_EQ(linechar(), 'c');
    EXPECT_EQ(key(), 'z');
    EXPECT_EQ(screenrows().substr(0, 3), "ac\n");
}

// The menu loop: every key but the way back goes to the action, and the menu is drawn before
// each read; a menu without a way back leaves only by its action, whatever byte comes.
TEST(MenuLoop, ZeroGoesBackAndEveryOtherKeyRedraws) {
    struct loopcase {
        const char *keys;
        int back;
        const char *acted;
        int draws;
    };
    const loopcase cases[] = {
        {"x1\xff"
         "0",
         '0', "x1?", 4},
        {"0\xff"
         "2",
         no_back, "0?2", 3},
    };
    for (const loopcase &c : cases) {
        usescript(c.keys);
        int draws = 0;
        std::string acted;
        menuloop([&] { ++draws; },
                 [&](char k) {
                     acted += k;
                     return k == '2';
                 },
                 c.back);
        EXPECT_EQ(acted, c.acted);
        EXPECT_EQ(draws, c.draws);
    }
}

} // namespace
