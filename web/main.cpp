// The web build's main: one game in the page's in-place console, its score record handed to the
// page, which keeps score.txt in the browser's storage; the score listing for the page; the test
// option of a stepping clock. What passes between this side and the page: web/INTERFACE.md.
#include "cli/options.hpp"
#include "cli/scores.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/score.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <emscripten.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// The page shows that the game has ended (its last page stays) and appends `record`, the bytes
// the game adds to score.txt (none when it wrote no record), to the scores it keeps.
EM_JS(void, gameover, (const char *record, int size),
      { Module.page.over(HEAPU8.slice(record, record + size)); });

// The record of the game that has just ended, kept for the page rather than written to a file:
// the page appends it to what the browser's storage holds at that moment, which another tab may
// have changed since this game started.
std::string record;

// The stepping clock of `--clock N`: N, N+1, ... at each reading, so that a session with the
// same keys plays the same game (the golden sessions' clock).
std::int64_t stepping_at = 0;
std::int64_t steppingclock() {
    return stepping_at++;
}

} // namespace

// score.txt of the working directory, where the page puts the scores it keeps, listed as
// `--scores` lists it; empty when there is none. The game itself writes no file.
extern "C" EMSCRIPTEN_KEEPALIVE const char *scorelisting() {
    static std::string text;
    std::ostringstream out, err;
    text = listscores("score.txt", out, err) == exit_unreadable ? "" : out.str() + err.str();
    return text.c_str();
}

int main(int argc, char *argv[]) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string_view(argv[i]) == "--clock") {
            stepping_at = std::strtoll(argv[i + 1], nullptr, 10);
            game_clock = steppingclock;
        }
    keepscore = [](const stats_rec &stats) { record = scorerecord(stats); };
    usescreen();
    playgame(intro, screens);
    flush();
    gameover(record.data(), static_cast<int>(record.size()));
    return 0;
}
