// The web build's main: the score file kept in the browser's storage, the test option of a
// stepping clock, one game in the page's in-place console, and the score listing for the page.
#include "cli/options.hpp"
#include "cli/scores.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <emscripten.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// score.txt lives in /scores, a directory kept in the browser's IndexedDB...
EM_JS(void, mountscores, (), {
    FS.mkdir('/scores');
    FS.mount(IDBFS, {}, '/scores');
    FS.chdir('/scores');
});

// ...copied from it into memory before the game starts (`load`), and back once the game has
// appended its record. Storage the browser refuses leaves the scores in memory only.
EM_ASYNC_JS(void, syncscores, (int load), {
    const error = await new Promise(function(done) { FS.syncfs(load != 0, done); });
    if (error) console.warn('ORBRIDDEN: the browser keeps no scores here', error);
});

// The page shows that the game has ended (its last page stays).
EM_JS(void, gameover, (), { Module.page.over(); });

// The stepping clock of `--clock N`: N, N+1, ... at each reading, so that a session with the
// same keys plays the same game (the golden sessions' clock).
std::int64_t stepping_at = 0;
std::int64_t steppingclock() {
    return stepping_at++;
}

} // namespace

// The score file listed as `--scores` lists it; empty when there is none yet.
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
    mountscores();
    syncscores(1);
    usescreen();
    playgame(intro, screens);
    flush();
    syncscores(0);
    gameover();
    return 0;
}
