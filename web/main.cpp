// The web build's main: one game in the page's in-place console, recorded as it goes into the
// page's journal, and offered to be continued where the page hands in a game left unfinished
// (or the player's recording to continue); its score record handed to the page, which keeps
// score.txt in the browser's storage; or the replay of a recording the page watches, a game
// being played live among them; the score listing for the page; the test option of a stepping
// clock. What passes between this side and the page: web/INTERFACE.md.
#include "cli/continuing.hpp"
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
// the game adds to score.txt (none when it wrote no record), to the scores it keeps; the game's
// journal is kept among the games played as `name`.
EM_JS(void, gameover, (const char *record, int size, const char *name),
      { Module.page.over(HEAPU8.slice(record, record + size), UTF8ToString(name)); });

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

// ---- the journal: the game's recording, written line by line to the device the page makes
// for it, which hands each line to the page to keep in the browser's storage.
constexpr const char *journal_device = "/dev/journal";
std::int64_t recording_start = 0;
// A key's time: the clock's, so that each reading keeps step with its key (on the stepping
// clock, the key comes the moment the game reads it). The recorder puts its own clock in
// game_clock, so which one plays is decided before.
bool stepping = false;
std::int64_t sincestart() {
    return (stepping ? stepping_at : realclock()) - recording_start;
}

// The page hears what becomes of the journal it handed in, where it is not continued: kept
// among the games played as `name`, finished, abandoned or unreplayable (`what`), or dropped
// (both empty: no key was taken); where a game continued takes over, the first `keep` bytes of
// what it handed in are the journal from then on; and why the player's recording cannot be
// continued (`finished`: it holds a finished game).
EM_JS(void, page_setaside, (const char *what, const char *name),
      { Module.page.setaside(UTF8ToString(what), UTF8ToString(name)); });
EM_JS(void, page_resumed, (double keep), { Module.page.resumed(keep); });
EM_JS(void, page_refused, (const char *text, int finished),
      { Module.page.refused(UTF8ToString(text), Boolean(finished)); });

// Reads the recording the page put at `path`: why it is none, or nothing.
std::string readpagefile(const char *path, std::string &text, recording &rec) {
    std::ifstream in(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
    std::string problem;
    if (text.size() > recording_size_limit)
        problem = toolarge();
    else if (!readrecording(text, rec, problem) && problem.empty())
        problem = "not a recording";
    return problem;
}

// The recording at `path` replayed without a screen to where it runs out: why it cannot be
// continued or kept as finished, or nothing.
std::string lookat(const char *path, journal_rec &j) {
    const std::string problem = readpagefile(path, j.text, j.rec);
    return problem.empty() ? replayjournal({intro, screens}, j) : problem;
}

// The journal handed in, where it is not continued: the page keeps it among the games played,
// finished, abandoned or unreplayable (a notice says why), or drops it where no key was taken.
void putaside(journal_rec &j, const std::string &why) {
    const std::int64_t start = j.rec.header.start;
    std::string what, name;
    if (!why.empty()) {
        what = "unreplayable";
        name = keptname(start > 0 ? start : realclock(), "", what) + ".rec";
        j.notice = notcontinued(why, name + " among the games in Scores");
    } else if (j.found.ended) {
        what = "finished";
        name = finishedname(start, j.rec.score) + ".rec";
    } else if (j.found.keys > 0) {
        what = "abandoned";
        name = keptname(start, heroname(j.found.stats), what) + ".rec";
    }
    page_setaside(what.c_str(), name.c_str());
    j.unfinished = false;
}

// The game continued and the journal's device, for the moment its replay hands over.
const journal_rec *continued = nullptr;
int journal_fd = -1;

// Where the replay has run out: the player takes over, the recorder goes on appending to the
// journal on the same time base (the stepping clock from the readings replayed), and the screen
// shows as the game left it.
void takeover() {
    const recording &rec = continued->rec;
    page_resumed(static_cast<double>(continued->keep));
    recording_start = rec.header.start;
    if (stepping) {
        stepping_at = rec.header.start;
        for (const recording_item &i : rec.items) stepping_at += i.kind == item_type::clock;
    }
    if (journal_fd >= 0) resumerecording(journal_fd, rec.header, replaystate().now, sincestart);
    showconsole();
}

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

// ---- watching a game as it is played: where the replay runs out, the page hands over the
// lines that came since (whole lines), or says that no more will come (the game has ended).
// Its answer is put in a file, where the game reads it.
constexpr const char *more_file = "more.rec";
EM_ASYNC_JS(int, page_more, (const char *path), {
    const lines = await Module.page.more();
    if (lines == null) return 0;
    FS.writeFile(UTF8ToString(path), lines);
    return 1;
});

// The recording being watched live, and its size so far, held to the limits of a file's.
recording *live = nullptr;
std::size_t livesize = 0;

// The lines that came since, appended to the recording; false where no more will come or they
// are no recording's, which the replay then takes as its end.
bool livemore() {
    flush(); // the screen as the game left it, while the page waits for the player's next key
    if (!page_more(more_file)) return false;
    std::ifstream in(more_file, std::ios::binary);
    const std::string lines(std::istreambuf_iterator<char>(in), {});
    std::string problem;
    livesize += lines.size();
    if (livesize > recording_size_limit) problem = toolarge();
    if (problem.empty() && appendrecording(lines, *live, problem)) return true;
    page_warn(("then sent what is no recording: " + problem).c_str());
    return false;
}

void playwhole() {
    playgame(intro, screens);
}

// Replays the recording the page put at `path` from key `at`, as --replay does on a terminal;
// `growing`: one being played, which the page hands more lines of as they come.
void watch(const char *path, std::uint64_t at, bool growing) {
    std::string text;
    recording rec;
    const std::string problem = readpagefile(path, text, rec);
    if (!problem.empty()) return page_watched(problem.c_str());
    if (growing) {
        live = &rec;
        livesize = text.size();
        replay_more = livemore;
    }
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
    const char *replayed = nullptr, *journal = nullptr, *resumed = nullptr;
    std::uint64_t at = 0;
    bool growing = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--live") growing = true;
        if (i + 1 == argc) break;
        if (option == "--clock") {
            stepping_at = std::strtoll(argv[i + 1], nullptr, 10);
            game_clock = steppingclock;
        }
        if (option == "--replay") replayed = argv[i + 1];
        if (option == "--at") at = std::strtoull(argv[i + 1], nullptr, 10);
        if (option == "--journal") journal = argv[i + 1];
        if (option == "--continue") resumed = argv[i + 1];
    }
    if (replayed) {
        usescreen();
        watch(replayed, at, growing);
        return 0;
    }
    // The player's recording is looked at before the journal is touched: one that cannot be
    // continued leaves it as it was.
    journal_rec j, other;
    if (resumed) {
        other.elsewhere = true;
        std::string why = lookat(resumed, other);
        const bool finished = why.empty() && !other.unfinished;
        if (finished) why = nothing_to_continue;
        if (!why.empty()) {
            page_refused(why.c_str(), finished);
            return 0;
        }
    }
    if (journal) {
        const std::string why = lookat(journal, j);
        if (!why.empty() || !j.unfinished || j.found.keys == 0 || resumed) putaside(j, why);
    }
    if (resumed) {
        other.notice = j.notice;
        j = std::move(other);
    }
    keepscore = [](const stats_rec &stats) { record = scorerecord(stats); };
    usescreen();
    if (!j.notice.empty()) noticepage(j.notice);
    const bool continuing = j.unfinished && (j.elsewhere || continuepage(j));
    if (j.unfinished && !continuing) putaside(j, "");
    stepping = game_clock == steppingclock;
    journal_fd = ::open(journal_device, O_WRONLY);
    if (continuing) {
        continued = &j;
        quietconsole();
        startreplay(j.rec, nullptr, 0, takeover);
    } else {
        recording_start = stepping ? stepping_at : realclock();
        if (journal_fd >= 0)
            startrecording(journal_fd,
                           {.game = std::string(game_release),
                            .start = recording_start,
                            .editedlines = editslines()},
                           sincestart);
    }
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
        // The replay parted from the journal it was handed before it ran out.
        stopreplay();
        page_refused(stopreason(j.rec).c_str(), false);
        return 0;
    }
    flush();
    stoprecording();
    if (journal_fd >= 0) ::close(journal_fd);
    const std::string name = finishedname(recording_start, record) + ".rec";
    gameover(record.data(), static_cast<int>(record.size()), name.c_str());
    return 0;
}
