// The golden sessions in the web build, run under Node: the same sources compiled by emscripten
// must print every transcript, score record and console screen byte for byte as recorded.
// `golden_node NAME` plays one session (or "screens", the playthrough's console rows, or "seeks",
// the same rows reached by seeking a replay of its recording) and says where it first differs;
// `golden_node recording` prints the playthrough's recording, for the browser tests; the exit
// status is 0 when all is as recorded. `golden_node firstpage` prints the game's first page as
// the console draws it (its cursor, then its 25 rows), which the build writes into the page to
// show while the WebAssembly compiles.
#include "golden.hpp"
#include "support.hpp"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Reports the first line where `got` differs from `want`; true when they are equal.
bool same(std::string_view what, const std::string &got, const std::string &want) {
    if (got == want) return true;
    const lines g = splitlines(got), w = splitlines(want);
    std::size_t i = 0;
    while (i < g.size() && i < w.size() && g[i] == w[i]) ++i;
    std::printf("%.*s differs at line %zu:\n  got:  %s\n  want: %s\n",
                static_cast<int>(what.size()), what.data(), i + 1,
                i < g.size() ? g[i].c_str() : "(end)", i < w.size() ? w[i].c_str() : "(end)");
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: golden_node SESSION|screens|seeks|recording|firstpage\n");
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "recording") {
        std::fputs(playthroughrecording().c_str(), stdout);
        return 0;
    }
    if (name == "firstpage") {
        const played p = play(session("playthrough"), "", kept_as::screen);
        const screen_cursor cursor = cursorat();
        std::printf("%d %d\n%s", cursor.row, cursor.col, p.transcript.c_str());
        return 0;
    }
    if (name == "screens" || name == "seeks") {
        const golden_case &c = session("playthrough");
        const std::string got = name == "screens" ? playthroughscreens() : seekscreens();
        return same("playthrough.screens", got, slurp(goldenfile(c, ".screens"))) ? 0 : 1;
    }
    for (const golden_case &c : sessions) {
        if (name != c.name) continue;
        const played p = play(c, slurp(goldenfile(c, ".keys")));
        bool ok = same(std::string(c.name) + ".transcript", p.transcript,
                       slurp(goldenfile(c, ".transcript")));
        ok = same(std::string(c.name) + ".score", p.score, slurp(goldenfile(c, ".score"))) && ok;
        return ok ? 0 : 1;
    }
    std::fprintf(stderr, "golden_node: no session %s\n", argv[1]);
    return 2;
}
