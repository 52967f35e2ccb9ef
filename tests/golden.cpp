// Playing a golden session through the scripted console, shared by the golden tests of the
// terminal build and of the web build under Node.
#include "golden.hpp"

#include "core/console.hpp"
#include "core/game.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"
#include "support.hpp"

#include <cstdlib>

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
