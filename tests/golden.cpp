// Playing a golden session through the scripted console, shared by the golden tests of the
// terminal build and of the web build under Node.
#include "golden.hpp"

#include "cli/options.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/recording.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"
#include "support.hpp"

#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <unistd.h>
#include <vector>

fs::path goldenfile(const golden_case &c, const char *suffix) {
    fs::path p = fs::path(ORBRIDDEN_GOLDEN_DIR) / c.name;
    p += suffix;
    return p;
}

played play(const golden_case &c, std::string_view keys, kept_as kept) {
    const fs::path home = fs::current_path();
    char name[] = "/tmp/orbridden-golden-XXXXXX";
    const fs::path dir = mkdtemp(name);
    fs::current_path(dir);

    played out{};
    stepping_clock clock(c.clock);
    if (kept == kept_as::screen)
        usescriptscreen(keys);
    else
        usescript(keys, kept == kept_as::ascii ? glyphset::ascii : glyphset::utf8);
    try {
        if (c.screen == 0) {
            playgame(intro, screens);
        } else {
            stats_rec stats = newhero();
            stats.num_of_rings = c.rings;
            stats.money = c.money;
            runscreens(screens, stats, {.where = c.screen, .oldwhere = 0});
        }
        out.ended = true;
    } catch (const input_closed &) {
    }
    out.transcript = kept == kept_as::screen ? screenrows() : transcript();
    out.score = slurp(dir / "score.txt");
    fs::current_path(home);
    fs::remove_all(dir);
    return out;
}

std::string playthroughscreens() {
    const golden_case &c = session("playthrough");
    const std::string keys = slurp(goldenfile(c, ".keys"));
    std::string out;
    for (const screen_point &at : screen_points) {
        const played p = play(c, std::string_view(keys).substr(0, at.keys), kept_as::screen);
        const screen_cursor cursor = cursorat();
        out += "== " + std::to_string(at.keys) + " keys, cursor " + std::to_string(cursor.row) +
               " " + std::to_string(cursor.col) + ": " + at.what + "\n" + p.transcript;
    }
    return out;
}

namespace {

std::int64_t key_ms = 0;
std::int64_t keytimes() {
    return key_ms += 250;
}

// The seeks of seekscreens, in their order: each point's key (the one the game waits for after
// that many keys), and the rows found there.
std::vector<std::uint64_t> seek_order;
std::size_t seek_next = 0;
std::map<std::uint64_t, std::string> seek_rows;

void keepseekrows(std::uint64_t key) {
    const screen_cursor cursor = cursorat();
    seek_rows[key] =
        std::to_string(cursor.row) + " " + std::to_string(cursor.col) + "\n" + screenrows();
}

// At the key sought: its rows, then on to the next seek.
replay_stop seekpacer(std::uint64_t key, std::int64_t) {
    if (key != seek_order[seek_next]) std::abort(); // a key paced that was not sought
    keepseekrows(key);
    return ++seek_next < seek_order.size() ? seekreplay(key, seek_order[seek_next])
                                           : replay_stop::quit;
}

void playwhole() {
    playgame(intro, screens);
}

} // namespace

std::string playthroughrecording() {
    const golden_case &c = session("playthrough");
    const fs::path home = fs::current_path();
    char name[] = "/tmp/orbridden-seek-XXXXXX";
    const fs::path dir = mkdtemp(name);
    fs::current_path(dir);
    stepping_clock clock(c.clock);
    usescriptscreen(slurp(goldenfile(c, ".keys")));
    const int fd = open("game.rec", O_WRONLY | O_CREAT | O_EXCL, 0644);
    key_ms = 0;
    startrecording(
        fd, {.game = std::string(game_release), .start = c.clock, .editedlines = editslines()},
        keytimes);
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
    }
    stoprecording();
    close(fd);
    std::string text = slurp("game.rec");
    fs::current_path(home);
    fs::remove_all(dir);
    return text;
}

std::string seekscreens() {
    const std::string text = playthroughrecording();
    recording rec;
    std::string problem;
    readrecording(text, rec, problem);
    // The points' keys: the market, the fight, the home frame, the first page, then past the end.
    auto keyat = [](std::size_t point) { return screen_points[point].keys + 1; };
    seek_order = {keyat(3), keyat(2), keyat(1), keyat(0), keyat(4)};
    seek_next = 0;
    seek_rows.clear();
    usescriptscreen({});
    playreplay(rec, seekpacer, seek_order.front(), playwhole);
    if (replaystate().ended) keepseekrows(keyat(4));
    std::string out;
    for (const screen_point &at : screen_points) {
        const std::string &rows = seek_rows[at.keys + 1];
        const std::size_t cursor = rows.find('\n');
        out += "== " + std::to_string(at.keys) + " keys, cursor " + rows.substr(0, cursor) + ": " +
               at.what + "\n" + rows.substr(cursor + 1);
    }
    return out;
}
