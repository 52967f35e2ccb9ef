// ORBRIDDEN: reads the command line, then plays one game, or plays a recording back.
#include "cli/options.hpp"
#include "cli/recordings.hpp"
#include "screens/screens.hpp"
#include "story/story.hpp"

#include <iostream>

int main(int argc, char *argv[]) {
    // Help, version, scores and mistakes are dealt with before the terminal is touched.
    const options opts = parseoptions(argc, argv);
    const game_parts game{intro, screens};
    switch (opts.what) {
        case command::play:
        case command::record:
        case command::resume:
            return playcommand(opts, game, std::cerr);
        case command::replay:
        case command::verify:
            return replaycommand(opts, game, std::cout, std::cerr);
        default:
            return runcommand(opts, std::cout, std::cerr);
    }
}
