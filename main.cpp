// ORBRIDDEN: reads the command line, then opens the terminal and plays one game.
#include "cli/options.hpp"
#include "core/console.hpp"
#include "core/game.hpp"
#include "core/terminal.hpp"
#include "story/story.hpp"
#include "screens/screens.hpp"

#include <exception>
#include <iostream>

int main(int argc, char *argv[]) {
    // Help, version, scores and mistakes are dealt with before the terminal is touched.
    const options opts = parseoptions(argc, argv);
    if (opts.what != command::play) return runcommand(opts, std::cout, std::cerr);
    terminal_session terminal;
    // The in-place console wherever the terminal allows it; the plain stream with --plain.
    if (opts.plain || !usescreen()) useterminal();
    try {
        playgame(intro, screens);
    } catch (const input_closed &) {
        return 0; // the player closed the input or hung up: end at once, no score record
    } catch (...) {
        terminal_restore(); // an escaping exception may end the program without unwinding
        throw;
    }
    closeconsole();
    return 0;
}
