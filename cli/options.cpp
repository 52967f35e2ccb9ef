// Reading the command line with getopt_long, and the texts of --help and --version.
#include "cli/options.hpp"

#include "cli/scores.hpp"

#include <getopt.h>
#include <ostream>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view program = "orbridden";

constexpr std::string_view about =
    "ORBRIDDEN, a role-playing adventure for an 80x25 text console: walk 55 screens,\n"
    "fight, shop and gamble, win the four rings and defeat the sorceress.\n\n";

constexpr std::string_view usage = "usage: orbridden [--plain] [--record FILE]\n"
                                   "       orbridden --replay FILE [--plain | --cast OUT]\n"
                                   "       orbridden --verify FILE\n"
                                   "       orbridden --scores [FILE]\n"
                                   "       orbridden --help | --version\n";

constexpr std::string_view details =
    "\n"
    "With no options the game starts in this terminal. It is played in one sitting:\n"
    "nothing is saved.\n"
    "\n"
    "options:\n"
    "  --plain          write the plain stream of lines (no in-place screen)\n"
    "  --scores [FILE]  list the scores in FILE (or score.txt here), best first\n"
    "  --record FILE    play and write a recording of the game to FILE (a new file)\n"
    "  --replay FILE    play a recording back at its pace: space pauses, + and -\n"
    "                   double and halve the speed, . steps a key while paused, q\n"
    "                   ends; with --plain, or not on a terminal, write the plain\n"
    "                   stream at once\n"
    "  --cast OUT       with --replay: write the replay as an asciicast v2 file OUT\n"
    "  --verify FILE    replay FILE without a screen and print the score record it\n"
    "                   ends with; exit 0 when it equals the recorded one\n"
    "  -h, --help       print this help and exit\n"
    "  -V, --version    print the name and version and exit\n"
    "\n"
    "keys:\n"
    "  8 2 4 6 or the arrows  walk; 0 opens the game menu\n"
    "  the digits shown       choose in menus, shops and fights; 0 goes back\n"
    "  Enter                  go on at a PRESS ENTER notice\n"
    "  Ctrl-Z, then fg        pause the game and go on\n"
    "  Ctrl-C                 end the game at once (no score is written)\n"
    "\n"
    "files:\n"
    "  score.txt  in the directory the game is started in; each finished game adds a\n"
    "             record to it\n";

// Long options without a letter of their own.
enum : int { opt_scores = 256, opt_plain, opt_record, opt_replay, opt_verify, opt_cast };

// The message for the option getopt_long has just refused.
std::string refused(char *argv[]) {
    std::string named(argv[optind - 1]);
    switch (optopt) {
        case 0: // a long option nobody knows
            return "unknown option '" + named + "'";
        case opt_record:
        case opt_replay:
        case opt_verify:
        case opt_cast: // an option that takes a file, without it
            return "option '" + named + "' needs a file";
        case 'h':
        case 'V':
        case opt_scores:
        case opt_plain: // a known long option given an argument with '='
            return "option '" + named.substr(0, named.find('=')) + "' takes no argument";
        default:
            return std::string("unknown option '-") + static_cast<char>(optopt) + "'";
    }
}

} // namespace

options parseoptions(int argc, char *argv[]) {
    static constexpr option longopts[] = {
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {"scores", no_argument, nullptr, opt_scores},
        {"plain", no_argument, nullptr, opt_plain},
        {"record", required_argument, nullptr, opt_record},
        {"replay", required_argument, nullptr, opt_replay},
        {"verify", required_argument, nullptr, opt_verify},
        {"cast", required_argument, nullptr, opt_cast},
        {nullptr, 0, nullptr, 0},
    };
    auto misuse = [](std::string problem) {
        return options{.what = command::misuse, .problem = std::move(problem)};
    };
    options opts;
    bool help = false, version = false, scores = false;
    // The commands that exclude one another, as they were named.
    std::vector<std::string> commands;
    auto command_with_file = [&](command what, const char *name) {
        commands.emplace_back(name);
        opts.what = what;
        opts.recording = optarg;
    };
    std::vector<std::string> operands;
    optind = 0; // start afresh (glibc), so that the parser can run more than once
    opterr = 0; // the messages are ours
    // The leading '-' hands over the operands in order, where they stand; the ':' after it
    // tells a missing file from an unknown option.
    for (int opt; (opt = getopt_long(argc, argv, "-:hV", longopts, nullptr)) != -1;) {
        switch (opt) {
            case 'h':
                help = true;
                break;
            case 'V':
                version = true;
                break;
            case opt_scores:
                scores = true;
                commands.emplace_back("--scores");
                break;
            case opt_record:
                command_with_file(command::record, "--record");
                break;
            case opt_replay:
                command_with_file(command::replay, "--replay");
                break;
            case opt_verify:
                command_with_file(command::verify, "--verify");
                break;
            case opt_cast:
                opts.cast = optarg;
                break;
            case opt_plain:
                opts.plain = true;
                break;
            case 1:
                operands.emplace_back(optarg);
                break;
            default:
                return misuse(refused(argv));
        }
    }
    for (int i = optind; i < argc; ++i) operands.emplace_back(argv[i]); // after "--"
    // The one operand there may be is the score file of --scores.
    const std::size_t wanted = scores ? 1 : 0;
    if (operands.size() > wanted) return misuse("unexpected argument '" + operands[wanted] + "'");
    if (!operands.empty()) opts.scorefile = operands.front();
    if (help || version) {
        opts.what = help ? command::help : command::version;
        return opts;
    }
    if (commands.size() > 1)
        return misuse("options '" + commands[0] + "' and '" + commands[1] +
                      "' cannot be used together");
    if (!opts.cast.empty() && opts.what != command::replay)
        return misuse("option '--cast' goes with '--replay'");
    if (!opts.cast.empty() && opts.plain)
        return misuse("options '--plain' and '--cast' cannot be used together");
    if (scores) opts.what = command::scores;
    return opts;
}

int runcommand(const options &opts, std::ostream &out, std::ostream &err) {
    switch (opts.what) {
        case command::help:
            out << about << usage << details;
            return exit_done;
        case command::version:
            out << program << ' ' << game_release << '\n';
            return exit_done;
        case command::scores:
            return listscores(opts.scorefile, out, err);
        case command::misuse:
            err << program << ": " << opts.problem << '\n' << usage;
            return exit_misuse;
        case command::play:
        case command::record:
        case command::replay:
        case command::verify:
            break; // main plays them
    }
    return exit_done;
}
