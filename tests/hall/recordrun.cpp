// Writes the golden playthrough's recording as a player's game would be recorded: each key in
// the millisecond the game reads it, so that every clock reading keeps step with its key. The
// stepping clock is the golden session's, so the game and its score record are the golden ones.
// With NAME, the hero is one built with Oru's stats and that three-letter name: the name reads no
// clock and moves nothing in the game but the name puzzle's letters, which are pushed alike, so
// the game is the golden one under another name, a game of its own for the hall.
// usage: hall_recordrun OUT [NAME]
#include "cli/options.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "core/score.hpp"
#include "golden.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::int64_t start = session("playthrough").clock;
std::int64_t clock_ms = start;
std::int64_t steppingclock() {
    return clock_ms++;
}
std::int64_t keyatclock() {
    return clock_ms - start;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2 && (argc != 3 || std::string_view(argv[2]).size() != 3)) return 2;
    std::ifstream in(goldenfile(session("playthrough"), ".keys"), std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    std::string keys = read.str();
    const std::size_t choice = keys.find('1'); // Oru, after the introduction's pages
    if (choice == keys.npos) return 1;
    if (argc == 3) // a hero of 10/10/10 and 70 points more: power, down, armor, down, magic
        keys.replace(choice, 1,
                     "3\n" + std::string(argv[2]) + "\n" + std::string(30, '6') + '2' +
                         std::string(25, '6') + '2' + std::string(15, '6'));
    const int fd = ::open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 1;
    game_clock = steppingclock;
    keepscore = [](const stats_rec &) {}; // no score.txt
    usescript(keys);
    startrecording(fd, {.game = std::string(game_release), .start = start}, keyatclock);
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
    }
    return stoprecording() == 0 && ::close(fd) == 0 ? 0 : 1;
}
