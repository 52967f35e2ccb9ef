// Character creation: the choice screen, the name and the adjusting screen, line for line.
#include "core/hero.hpp"

#include "core/console.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

namespace {

// Runs `findidentity` on `typed`; the transcript goes to `shown`.
player_rec choose(std::string_view typed, std::string *shown = nullptr) {
    usescript(typed);
    player_rec p = findidentity();
    if (shown) *shown = transcript();
    return p;
}

TEST(Choice, TheScreenLineForLine) {
    std::string shown;
    choose("1\n", &shown);
    EXPECT_EQ(shown, std::string(9, '\n') +
                         "                       CHOOSE YOUR CHARACTER\n\n\n"
                         "     1) Oru             2) Vek              3) Custom Character\n\n"
                         "        power => 40        power => 25\n"
                         "        armor => 35        armor => 45\n"
                         "        magic => 25        magic => 30\n" +
                         std::string(6, '\n') + "     CHOICE  : ");
}

TEST(Choice, WrongKeysAreRefusedOneByOne) {
    std::string shown;
    player_rec p = choose("9\n2\n", &shown);
    EXPECT_EQ(view(p.name), "Vek");
    EXPECT_EQ(p.power, 25);
    EXPECT_EQ(p.armor, 45);
    EXPECT_EQ(p.magic, 30);
    EXPECT_TRUE(shown.ends_with("     CHOICE  : INVALID CHOICE!!!\n     CHOICE  : "));

    p = choose(" 1\n", &shown); // the blank is a wrong key too
    EXPECT_EQ(view(p.name), "Oru");
    EXPECT_EQ(p.power, 40);
    EXPECT_EQ(p.armor, 35);
    EXPECT_EQ(p.magic, 25);
    std::size_t refusals = 0;
    for (std::size_t at = 0; (at = shown.find("INVALID CHOICE!!!", at)) != std::string::npos; ++at)
        ++refusals;
    EXPECT_EQ(refusals, 1u);

    EXPECT_THROW(choose("xy3\n"), input_closed); // runs out in the name
    shown = transcript();
    EXPECT_NE(shown.find("INVALID CHOICE!!!\n     CHOICE  : INVALID CHOICE!!!\n"),
              std::string::npos);
}

// The custom hero's keys after the choice and the name.
player_rec custom(std::string_view name_and_keys, std::vector<std::string> *lines = nullptr) {
    std::string shown;
    player_rec p = choose(std::string("3\n").append(name_and_keys), &shown);
    if (lines) *lines = splitlines(shown.substr(shown.find("     Enter your")));
    return p;
}

TEST(Custom, TheNameIsTheFirstThreeNonBlanks) {
    player_rec p = custom("  a b\nc\n" + std::string(70, '6'));
    EXPECT_EQ(view(p.name), "abc");
    p = custom("1.\x07\n" + std::string(70, '6'));
    EXPECT_EQ(view(p.name), "1.?") << "a control character is kept as '?'";
}

TEST(Custom, AKeyThatSendsSeveralBytesCountsOnce) {
    struct namecase {
        const char *what;
        std::string typed; // the name's line or lines, the last line end included
        const char *name;
    };
    const namecase cases[] = {
        {"a letter in UTF-8 is one '?'", "Z\xc3\xb6k\n", "Z?k"},
        {"the line carries on after it", "Z\xc3\xb6\nk\n", "Z?k"},
        {"an arrow is no character", "a\x1b[Db\x1bOAc\n", "abc"},
        {"nor a function key or the keypad", "\x1b[15~a\x1bOpbc\n", "abc"},
        {"a character of four bytes", "\xf0\x9f\x90\x89xy\n", "?xy"},
        {"a lone continuation byte", "k\x80z\n", "k?z"},
        {"bytes that start nothing", "\xc0\xff\xf5\n", "???"},
        {"an overlong form is one per byte", "\xe0\x80k\n", "??k"},
        {"a run cut short keeps the letter after it", "\xe2\x95xy\n", "?xy"},
        {"a run cut short by a new one",
         "\xe2\xc3\xb6"
         "a\n",
         "??a"},
        {"a run cut by the line end", "ab\xe2\x95\n", "ab?"},
        {"an escape sequence cut by the line end", "ab\x1b[\nc\n", "abc"},
    };
    for (const namecase &c : cases) {
        // The adjusting keys on a line of their own: a line end taken into a character would
        // leave them behind as the rest of the name's line.
        player_rec p{};
        EXPECT_NO_THROW(p = custom(c.typed + std::string(70, '6'))) << c.what;
        EXPECT_EQ(view(p.name), c.name) << c.what;
        EXPECT_EQ(p.power, 80) << c.what;
    }
}

TEST(Choice, AKeyThatSendsSeveralBytesIsOneChoice) {
    std::string shown;
    EXPECT_EQ(view(choose("\xc3\xb6\n2\n", &shown).name), "Vek");
    EXPECT_TRUE(shown.ends_with("     CHOICE  : INVALID CHOICE!!!\n     CHOICE  : "))
        << "one refusal for one letter";
    EXPECT_EQ(view(choose("\x1b[B1\n", &shown).name), "Oru") << "an arrow is no choice";
    EXPECT_EQ(shown.find("INVALID"), std::string::npos);
}

// The adjusting screen as last drawn after `keys`, which do not finish it.
std::vector<std::string> lastframe(std::string_view keys) {
    usescript(std::string("3\nabc\n").append(keys));
    EXPECT_THROW(findidentity(), input_closed);
    std::vector<std::string> lines = splitlines(transcript());
    return {lines.end() - 24, lines.end()};
}

TEST(Custom, TheAdjustingScreenLineForLine) {
    usescript("3\nabc\n");
    EXPECT_THROW(findidentity(), input_closed);
    std::string shown = transcript();
    const std::vector<std::string> expected = {
        "     Enter your three letter name  : ",
        "Now to adjust your stats abc.                      8",
        "Use your up and down arrow keys                    |",
        "to select which stat to adjust,                 4<--->6",
        "then use right and left to spend                   |",
        "points on the stat you wish to                     2",
        "increase or decrease.",
        "Points Left  :          70",
        "",
        "",
        "",
        "-> Power = 10  |||||",
        "",
        "   Armor = 10  |||||",
        "",
        "   Magic = 10  |||||",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
    };
    EXPECT_EQ(splitlines(shown.substr(shown.find("     Enter your"))), expected);
}

struct adjust_case {
    const char *keys;
    const char *points_left, *power, *armor, *magic;
};

TEST(Custom, KeysMoveTheCursorAndShiftPoints) {
    const adjust_case cases[] = {
        {"8", "70", "   Power = 10", "   Armor = 10", "-> Magic = 10"}, // up wraps to the bottom
        {"2", "70", "   Power = 10", "-> Armor = 10", "   Magic = 10"},
        {"22", "70", "   Power = 10", "   Armor = 10", "-> Magic = 10"},
        {"222", "70", "-> Power = 10", "   Armor = 10", "   Magic = 10"}, // down wraps to the top
        {"88", "70", "   Power = 10", "-> Armor = 10", "   Magic = 10"},
        {"4", "71", "-> Power =  9", "   Armor = 10", "   Magic = 10"},
        {"26", "69", "   Power = 10", "-> Armor = 11", "   Magic = 10"},
        {"x\x1b\n5", "70", "-> Power = 10", "   Armor = 10", "   Magic = 10"},   // no meaning
        {"4444444444", "79", "-> Power =  1", "   Armor = 10", "   Magic = 10"}, // never below 1
    };
    for (const adjust_case &c : cases) {
        std::vector<std::string> f = lastframe(c.keys);
        EXPECT_EQ(f[6], std::string("Points Left  :          ").append(c.points_left)) << c.keys;
        EXPECT_TRUE(f[10].starts_with(c.power)) << c.keys << ": " << f[10];
        EXPECT_TRUE(f[12].starts_with(c.armor)) << c.keys << ": " << f[12];
        EXPECT_TRUE(f[14].starts_with(c.magic)) << c.keys << ": " << f[14];
    }
}

TEST(Custom, BarsAreHalfTheValue) {
    std::vector<std::string> f = lastframe(std::string(9, '4') + "2" + "6");
    EXPECT_EQ(f[10], "   Power =  1  ") << "1 shows no bar";
    EXPECT_EQ(f[12], "-> Armor = 11  |||||") << "11 shows five";
}

TEST(Custom, SeventyPressesOfSixEndTheScreen) {
    std::vector<std::string> lines;
    player_rec p = custom("abc\n" + std::string(70, '6'), &lines);
    EXPECT_EQ(p.power, 80);
    EXPECT_EQ(p.armor, 10);
    EXPECT_EQ(p.magic, 10);
    // The last frame drawn is the one before the seventieth press.
    auto last = std::find(lines.rbegin(), lines.rend(), "Points Left  :           1");
    ASSERT_NE(last, lines.rend());
    EXPECT_EQ(*(last - 4), "-> Power = 79  " + std::string(39, '|'));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](auto &l) { return l.starts_with("Points Left"); }),
              70);
}

} // namespace
