// Writes the golden playthrough's recording as a player's game would be recorded: each key in
// the millisecond the game reads it, so that every clock reading keeps step with its key. The
// stepping clock is the golden session's, so the game and its score record are the golden ones.
// usage: hall_recordrun OUT
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
    if (argc != 2) return 2;
    std::ifstream in(goldenfile(session("playthrough"), ".keys"), std::ios::binary);
    std::stringstream keys;
    keys << in.rdbuf();
    const int fd = ::open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || keys.str().empty()) return 1;
    game_clock = steppingclock;
    keepscore = [](const stats_rec &) {}; // no score.txt
    usescript(keys.str());
    startrecording(fd, {.game = std::string(game_release), .start = start}, keyatclock);
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
    }
    return stoprecording() == 0 && ::close(fd) == 0 ? 0 : 1;
}
