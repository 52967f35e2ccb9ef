// ORBRIDDEN: opens the terminal and plays one game.
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/terminal.hpp"

#include <exception>

int main() {
    terminal_session terminal;
    useterminal();
    try {
        playgame();
    } catch (const input_closed &) {
        return 0; // the player closed the input or hung up: end at once, no score record
    } catch (...) {
        terminal_restore(); // an escaping exception may end the program without unwinding
        throw;
    }
    flush();
    return 0;
}
