// The web build's main: the score file kept in the browser's storage, the test option of a
// stepping clock, one game in the page's in-place console, recorded so that the page can offer
// it to a hall of fame, and the score listing for the page.
#include "cli/options.hpp"
#include "cli/scores.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <emscripten.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

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

// The game's recording, in memory only, handed to the page when the game ends (web/hall.js
// offers it to the hall that serves the page).
constexpr const char *recording_path = "/tmp/game.rec";
std::int64_t recording_start = 0;
// A key's time: the clock's, so that each reading keeps step with its key (on the stepping
// clock, the key comes the moment the game reads it). The recorder puts its own clock in
// game_clock, so which one plays is decided before.
bool stepping = false;
std::int64_t sincestart() {
    return (stepping ? stepping_at : realclock()) - recording_start;
}

EM_JS(void, recorded, (const char *text), {
    document.dispatchEvent(new CustomEvent('orbridden-recorded', {detail : UTF8ToString(text)}));
});

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
    stepping = game_clock == steppingclock;
    recording_start = stepping ? stepping_at : realclock();
    const int fd = ::open(recording_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    startrecording(
        fd,
        {.game = std::string(game_release), .start = recording_start, .editedlines = editslines()},
        sincestart);
    playgame(intro, screens);
    flush();
    const bool whole = stoprecording() == 0;
    ::close(fd);
    syncscores(0);
    gameover();
    if (whole) {
        std::ifstream in(recording_path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        recorded(text.str().c_str());
    }
    return 0;
}
