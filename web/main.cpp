// The web build's main: one game in the page's in-place console, recorded so that the page can
// offer it to a hall of fame, its score record handed to the page, which keeps score.txt in the
// browser's storage; or the replay of a recording the page watches; the score listing for the
// page; the test option of a stepping clock. What passes between this side and the page:
// web/INTERFACE.md.
#include "cli/options.hpp"
#include "cli/scores.hpp"
#include "core/console.hpp"
#include "core/files.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/recording.hpp"
#include "core/score.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <emscripten.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

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

// ---- watching a recording

// The page hears what it must say about the recording: a warning before the replay (`warn`),
// or why it was refused or where it stopped (`watched`, empty when the game ended as recorded).
EM_JS(void, page_watching, (double keys), { Module.page.watching(keys); });
EM_JS(void, page_warn, (const char *text), { Module.page.warn(UTF8ToString(text)); });
EM_JS(void, page_watched, (const char *text), { Module.page.watched(UTF8ToString(text)); });
// Before each key the replay paces: the page waits the key's delay as its controls say and
// answers 0 to hand it over, -1 to end the replay, or the number of the key to go to.
EM_ASYNC_JS(double, page_pace, (double key, double delay, double now),
            { return await Module.page.pace(key, delay, now); });

replay_stop pagepace(std::uint64_t key, std::int64_t delay) {
    const double answer = page_pace(static_cast<double>(key), static_cast<double>(delay),
                                    static_cast<double>(replaystate().now));
    if (answer < 0) return replay_stop::quit;
    if (answer == 0) return replay_stop::none;
    return seekreplay(key, static_cast<std::uint64_t>(answer));
}

void playwhole() {
    playgame(intro, screens);
}

// Replays the recording the page put at `path` from key `at`, as --replay does on a terminal.
void watch(const char *path, std::uint64_t at) {
    std::ifstream in(path, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {}), problem;
    recording rec;
    if (text.size() > recording_size_limit)
        problem = toolarge();
    else if (!readrecording(text, rec, problem) && problem.empty())
        problem = "not a recording";
    if (!problem.empty()) return page_watched(problem.c_str());
    if (rec.header.game != game_release)
        page_warn(("was recorded by version " + shown(rec.header.game) + "; this is version " +
                   std::string(game_release))
                      .c_str());
    page_watching(static_cast<double>(keycount(rec)));
    playreplay(rec, pagepace, at, playwhole);
    flush();
    page_watched(replaymessage(rec).c_str());
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
    const char *replayed = nullptr;
    std::uint64_t at = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--clock") {
            stepping_at = std::strtoll(argv[i + 1], nullptr, 10);
            game_clock = steppingclock;
        }
        if (option == "--replay") replayed = argv[i + 1];
        if (option == "--at") at = std::strtoull(argv[i + 1], nullptr, 10);
    }
    if (replayed) {
        usescreen();
        watch(replayed, at);
        return 0;
    }
    keepscore = [](const stats_rec &stats) { record = scorerecord(stats); };
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
    gameover(record.data(), static_cast<int>(record.size()));
    if (whole) {
        std::ifstream in(recording_path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        recorded(text.str().c_str());
    }
    return 0;
}
