// ORBRIDDEN: opens the terminal and plays one game.
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/terminal.hpp"

#include <algorithm>
#include <exception>
#include <string_view>

namespace {

// The in-place console wherever the terminal allows it; the plain stream with --plain.
void openconsole(int argc, char **argv) {
    bool plain = std::find(argv + 1, argv + argc, std::string_view("--plain")) != argv + argc;
    if (plain || !usescreen()) useterminal();
}

} // namespace

int main(int argc, char **argv) {
    terminal_session terminal;
    openconsole(argc, argv);
    try {
        playgame();
    } catch (const input_closed &) {
        return 0; // the player closed the input or hung up: end at once, no score record
    } catch (...) {
        terminal_restore(); // an escaping exception may end the program without unwinding
        throw;
    }
    closeconsole();
    return 0;
}
