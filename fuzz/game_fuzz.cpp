// A libFuzzer target that plays the game in-process through the scripted console. The first
// bytes of an input choose where the game starts and the clock's first reading, so that every
// input replays exactly; the rest are the keys. After each run the hero's counts must be sound
// and no printed line may be wider than the screen.
#include "casino/casino.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/gamemenu.hpp"
#include "core/random.hpp"
#include "core/score.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"
#include "town/gainer.hpp"
#include "town/hotel.hpp"
#include "town/market.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace {

std::int64_t clock_ms = 0;
std::int64_t steppingclock() {
    return clock_ms++;
}

// The places a run can start besides the opening and the screens: the town's doors, the
// ring-holders' and Mad Eyes' sequences, the boatman and the final battle with the score.
using place = void (*)(stats_rec &);
constexpr place places[] = {
    loadmarket,
    loadhotel,
    loadgainer,
    loadcasino,
    [](stats_rec &s) { showmenu(s); },
    [](stats_rec &s) { boatman(s); },
    [](stats_rec &s) { firstringholder(s); },
    [](stats_rec &s) { clownescapes(s); },
    [](stats_rec &s) { clownfalls(s); },
    [](stats_rec &s) { thirdringholder(s); },
    [](stats_rec &s) { fourthringholder(s); },
    [](stats_rec &s) { meetmadeyes(s); },
    [](stats_rec &s) {
        finalbattle(s);
        savescore(s);
    },
};
constexpr int screen_starts = screen_count;
constexpr int starts = 1 + screen_starts + static_cast<int>(std::size(places));

// A hero part way through the quest: a preset hero, the rings, the money and, for a veteran,
// a victory over every creature (which the gainer offers again).
stats_rec midquest(std::uint8_t quest, std::uint8_t money) {
    stats_rec stats;
    const bool second = quest / 5 % 2;
    setup({.power = second ? 25 : 40,
           .armor = second ? 45 : 35,
           .magic = second ? 30 : 25,
           .name = padded<3>(second ? "Vek" : "Oru")},
          stats);
    stats.num_of_rings = quest % 5;
    stats.money = money * 50;
    if (quest / 10 % 2)
        for (int32 &w : stats.wins) w = 1;
    return stats;
}

void check(bool sound, const char *what) {
    if (sound) return;
    std::fprintf(stderr, "unsound: %s\n", what);
    std::abort();
}

// Every printed line fits the 80-column screen; each glyph is one column, the bell none. The
// pages leave the cursor after a prompt that waits for the player, and some pages begin right
// there: after "PRESS ENTER" waiting for a line the echo of the player's Enter ends the line,
// and the game menu's "CHOICE  : " is followed at once by the screen it returns to. Both are
// the pages as the game lays them out, so a line is counted anew after each prompt.
constexpr std::string_view prompts[] = {"PRESS ENTER", "CHOICE  : "};
constexpr std::size_t screen_cols = 80;

std::size_t columns(std::string_view text) {
    std::size_t cols = 0;
    for (char c : text) cols += (c & 0xC0) != 0x80 && c != '\a';
    return cols;
}

// A line is counted anew after each prompt: each part, up to and with its prompt, must fit.
void checkline(std::string_view line) {
    if (columns(line) <= screen_cols) return;
    for (;;) {
        std::size_t cut = std::string_view::npos;
        for (std::string_view p : prompts)
            if (std::size_t at = line.find(p); at != std::string_view::npos)
                cut = std::min(cut, at + p.size());
        check(columns(line.substr(0, cut)) <= screen_cols, "a line wider than 80 columns");
        if (cut == std::string_view::npos) return;
        line.remove_prefix(cut);
    }
}

// The transcript of a long game is megabytes: a line of at most 80 bytes needs no counting,
// every column taking at least one byte.
void checkwidths(std::string_view shown) {
    while (!shown.empty()) {
        const std::size_t end = std::min(shown.find('\n'), shown.size());
        if (end > screen_cols) checkline(shown.substr(0, end));
        shown.remove_prefix(std::min(end + 1, shown.size()));
    }
}

void checkhero(const stats_rec &s) {
    check(s.health >= 0 && s.health <= maxhealth(s), "health out of range");
    check(s.magicdust >= 0 && s.magicdust <= maxmagic(s), "magic dust out of range");
    check(s.num_of_rings >= 0 && s.num_of_rings <= 4, "rings out of range");
    for (int32 n : s.items) check(n >= 0, "an item count below 0");
    for (int32 w : s.wins) check(w >= 0, "a victory count below 0");
    check(s.deaths >= 0 && s.num_fights >= 0, "a count below 0");
}

constexpr std::size_t header = 7; // start, quest, money, four bytes of the clock

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // Finished games write their score file: in a directory of their own (so the corpus and
    // artifact paths given to the fuzzer must be absolute), removed at the end.
    static char dir[] = "/tmp/orbridden-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
    std::atexit([] { rmdir(dir); });
    game_clock = steppingclock;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < header) return 0;
    const int start = data[0] % starts;
    clock_ms = data[3] | data[4] << 8 | data[5] << 16 | static_cast<std::int64_t>(data[6]) << 24;
    usescript({reinterpret_cast<const char *>(data + header), size - header});
    stats_rec stats = midquest(data[1], data[2]);
    try {
        if (start == 0) {
            const player_rec hero = intro();
            stats = stats_rec{};
            setup(hero, stats);
            runscreens(screens, stats);
        } else if (start <= screen_starts) {
            runscreens(screens, stats, {.where = start, .oldwhere = 0});
        } else {
            places[start - screen_starts - 1](stats);
        }
    } catch (const input_closed &) {
    }
    checkwidths(transcript());
    checkhero(stats);
    std::remove("score.txt"); // the records of finished games are not kept
    return 0;
}
