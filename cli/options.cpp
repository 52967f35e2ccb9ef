// Reading the command line with getopt_long from one table of options, and the texts of --help
// and --version.
#include "cli/options.hpp"

#include "cli/scores.hpp"
#include "core/files.hpp"
#include "world/help.hpp"

#include <algorithm>
#include <charconv>
#include <getopt.h>
#include <iomanip>
#include <ostream>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view program = "orbridden";

constexpr std::string_view about =
    "ORBRIDDEN, a role-playing adventure for an 80x25 text console: walk 55 screens,\n"
    "fight, shop and gamble, win the four rings and defeat the sorceress.\n\n";

constexpr std::string_view usage =
    "usage: orbridden [--plain] [--new] [--record FILE]\n"
    "       orbridden [--plain] --continue FILE\n"
    "       orbridden --replay FILE [--plain | --cast OUT | --at N]\n"
    "       orbridden --verify FILE\n"
    "       orbridden --scores [FILE]\n"
    "       orbridden --help | --version\n";

constexpr std::string_view before_options =
    "\n"
    "With no options the game starts in this terminal. Every game is kept as it is\n"
    "played, key by key, in its journal; however it ends (a closed terminal, Ctrl-C,\n"
    "a crash), the next start offers to continue it. A game continued is replayed\n"
    "to its last key and goes on from the screen it was left at. With keys from a\n"
    "pipe or a file the game starts as its options say and leaves the journal as it\n"
    "is: a script is never asked to continue, nor is its game journaled (--record\n"
    "FILE keeps it).\n"
    "\n"
    "options:\n";

constexpr std::string_view before_keys = "\nkeys:\n"; // then the lines of the table of keys

constexpr std::string_view after_keys =
    "\n"
    "files:\n"
    "  score.txt  in the directory the game is started in; each finished game adds a\n"
    "             record to it\n"
    "  $XDG_STATE_HOME/orbridden/journal.rec  (~/.local/state/orbridden/ where\n"
    "             XDG_STATE_HOME is unset) the game being played, a recording\n"
    "  $XDG_STATE_HOME/orbridden/games/  the games played before, finished,\n"
    "             abandoned (a new game chosen instead) or unreplayable, as\n"
    "             recordings named by date, hero and points\n"
    "\n"
    "To take a game to another machine, copy its journal there and start it with\n"
    "--continue FILE.\n";

// What the options given so far ask for.
struct choices {
    bool help = false, version = false, scores = false, plain = false, newgame = false,
         progress = false;
    std::vector<std::string> files; // after "--scores=" and on their own, in their order
    // The commands that exclude one another, as they were named, each once.
    std::vector<std::string> commands;
    command what = command::play;
    // The files of --record, --replay or --verify and of --cast: null where not given, the last
    // one named where named twice.
    const char *recording = nullptr, *cast = nullptr;
    const char *at = nullptr; // --at's argument, as given

    void commanded(std::string_view name) {
        if (std::find(commands.begin(), commands.end(), name) == commands.end())
            commands.emplace_back(name);
    }
    void withfile(command asked, std::string_view name, const char *file) {
        commanded(name);
        what = asked;
        recording = file;
    }
};

// One option: its names, its argument, its line in --help and what giving it asks for.
struct option_row {
    const char *name;       // the long name, after "--"
    char letter = 0;        // the short name, after "-"; 0 for none
    int argument;           // no_argument, optional_argument or required_argument
    const char *value = ""; // what --help shows after the option: its argument or operand
    const char *help;       // its line in --help
    void (*take)(choices &, const char *argument); // the argument is null when none was given
};

// In the order --help lists them.
constexpr option_row option_rows[] = {
    {.name = "plain",
     .argument = no_argument,
     .help = "write the plain stream of lines (no in-place screen)",
     .take = [](choices &c, const char *) { c.plain = true; }},
    {.name = "new",
     .argument = no_argument,
     .help = "start a new game, keeping an unfinished one in games/ unasked",
     .take = [](choices &c, const char *) { c.newgame = true; }},
    {.name = "continue",
     .argument = required_argument,
     .value = "FILE",
     .help = "go on with the unfinished game recorded in FILE (a journal\n"
             "from another machine); the journal goes on from it",
     .take = [](choices &c, const char *file) { c.withfile(command::resume, "--continue", file); }},
    {.name = "scores",
     .argument = optional_argument, // --scores=FILE; --scores FILE is its operand
     .value = "FILE",
     .help = "list the scores in FILE (or score.txt here), best first",
     .take =
         [](choices &c, const char *file) {
             c.scores = true;
             c.commanded("--scores");
             if (file != nullptr) c.files.emplace_back(file);
         }},
    {.name = "record",
     .argument = required_argument,
     .value = "FILE",
     .help = "play and write a recording of the game to FILE (a new file)",
     .take = [](choices &c, const char *file) { c.withfile(command::record, "--record", file); }},
    {.name = "replay",
     .argument = required_argument,
     .value = "FILE",
     .help = "play a recording back at its pace: space pauses, + and -\n"
             "double and halve the speed, . steps a key while paused, q\n"
             "ends; while paused the left and right arrows step back and\n"
             "forward a key, Page Up and Page Down a hundred; with\n"
             "--plain, or not on a terminal, write the plain stream at once",
     .take = [](choices &c, const char *file) { c.withfile(command::replay, "--replay", file); }},
    {.name = "at",
     .argument = required_argument,
     .value = "N",
     .help = "with --replay: start paused at key N (from 1)",
     .take = [](choices &c, const char *key) { c.at = key; }},
    {.name = "cast",
     .argument = required_argument,
     .value = "OUT",
     .help = "with --replay: write the replay as an asciicast v2 file OUT",
     .take = [](choices &c, const char *file) { c.cast = file; }},
    {.name = "verify",
     .argument = required_argument,
     .value = "FILE",
     .help = "replay FILE without a screen and print the score record it\n"
             "ends with; exit 0 when it equals the recorded one",
     .take = [](choices &c, const char *file) { c.withfile(command::verify, "--verify", file); }},
    {.name = "progress",
     .argument = no_argument,
     .help = "with --verify: for a game not yet ended, print one line,\n"
             "progress KEYS RINGS NAME (the hall's live games)",
     .take = [](choices &c, const char *) { c.progress = true; }},
    {.name = "help",
     .letter = 'h',
     .argument = no_argument,
     .help = "print this help and exit",
     .take = [](choices &c, const char *) { c.help = true; }},
    {.name = "version",
     .letter = 'V',
     .argument = no_argument,
     .help = "print the name and version and exit",
     .take = [](choices &c, const char *) { c.version = true; }},
};

// What getopt_long returns for a row: its letter, or a number past every character.
int code(const option_row &row) {
    return row.letter != 0 ? row.letter : 256 + static_cast<int>(&row - option_rows);
}

const option_row *rowof(int opt) {
    for (const option_row &row : option_rows)
        if (code(row) == opt) return &row;
    return nullptr;
}

// The option as --help names it: "-h, --help", "--record FILE", "--scores [FILE]".
std::string spelled(const option_row &row) {
    std::string text;
    if (row.letter != 0) text = std::string{'-', row.letter} + ", ";
    text += "--";
    text += row.name;
    if (*row.value == 0) return text;
    const bool optional = row.argument != required_argument;
    text += optional ? " [" : " ";
    text += row.value;
    if (optional) text += ']';
    return text;
}

// Each option and its help, the help's further lines under its first.
void printoptions(std::ostream &out) {
    std::size_t width = 0;
    for (const option_row &row : option_rows) width = std::max(width, spelled(row).size());
    const std::string indent(width + 4, ' ');
    for (const option_row &row : option_rows) {
        out << "  " << std::left << std::setw(static_cast<int>(width + 2)) << spelled(row);
        for (const char *c = row.help; *c != 0; ++c) out << *c << (*c == '\n' ? indent : "");
        out << '\n';
    }
}

// The message for the option getopt_long has just refused, naming it as it was typed (shown
// safely: it may hold any byte).
std::string refused(char *argv[]) {
    std::string named = shown(argv[optind - 1]);
    if (optopt == 0) return "unknown option '" + named + "'"; // a long option nobody knows
    const option_row *row = rowof(optopt);
    if (row == nullptr)
        return "unknown option '-" + shown(std::string(1, static_cast<char>(optopt))) + "'";
    named = named.substr(0, named.find('='));
    if (row->argument == no_argument) return "option '" + named + "' takes no argument";
    return "option '" + named + "' needs an argument";
}

} // namespace

options parseoptions(int argc, char *argv[]) {
    std::vector<option> longopts;
    // The leading '-' hands over the operands in order, where they stand.
    std::string letters = "-";
    for (const option_row &row : option_rows) {
        longopts.push_back({row.name, row.argument, nullptr, code(row)});
        if (row.letter == 0) continue;
        letters += row.letter;
        if (row.argument == required_argument) letters += ":";
        if (row.argument == optional_argument) letters += "::";
    }
    longopts.push_back({nullptr, 0, nullptr, 0});

    auto misuse = [](std::string problem) {
        return options{.what = command::misuse, .problem = std::move(problem)};
    };
    choices given;
    optind = 0; // start afresh (glibc), so that the parser can run more than once
    opterr = 0; // the messages are ours
    for (int opt;
         (opt = getopt_long(argc, argv, letters.c_str(), longopts.data(), nullptr)) != -1;) {
        const option_row *row = rowof(opt);
        if (opt == 1)
            given.files.emplace_back(optarg);
        else if (opt != '?' && row != nullptr)
            row->take(given, optarg);
        else
            return misuse(refused(argv));
    }
    for (int i = optind; i < argc; ++i) given.files.emplace_back(argv[i]); // after "--"
    // The one file there may be is the score file of --scores.
    const std::vector<std::string> &files = given.files;
    const std::size_t wanted = given.scores ? 1 : 0;
    if (files.size() > wanted) return misuse("unexpected argument '" + shown(files[wanted]) + "'");
    // An empty name (a script's unset variable, a bare "--scores=") names no file, and must
    // not quietly list score.txt in its place, nor a replay go to the screen for want of a cast.
    if (!files.empty() && files.front().empty()) return misuse("the score file's name is empty");
    if (given.recording != nullptr && *given.recording == 0)
        return misuse("the recording's name is empty");
    if (given.cast != nullptr && *given.cast == 0) return misuse("the cast's name is empty");
    options opts;
    opts.plain = given.plain;
    opts.newgame = given.newgame;
    opts.progress = given.progress;
    if (!files.empty()) opts.scorefile = files.front();
    if (given.help || given.version) {
        opts.what = given.help ? command::help : command::version;
        return opts;
    }
    const std::vector<std::string> &commands = given.commands;
    if (commands.size() > 1)
        return misuse("options '" + commands[0] + "' and '" + commands[1] +
                      "' cannot be used together");
    if (given.cast != nullptr && given.what != command::replay)
        return misuse("option '--cast' goes with '--replay'");
    if (given.cast != nullptr && given.plain)
        return misuse("options '--plain' and '--cast' cannot be used together");
    if (given.progress && given.what != command::verify)
        return misuse("option '--progress' goes with '--verify'");
    if (given.newgame && given.what == command::resume)
        return misuse("options '--new' and '--continue' cannot be used together");
    if (given.at != nullptr) {
        if (given.what != command::replay) return misuse("option '--at' goes with '--replay'");
        if (given.cast != nullptr || given.plain)
            return misuse(std::string("options '--at' and '") +
                          (given.plain ? "--plain" : "--cast") + "' cannot be used together");
        const std::string_view n = given.at;
        auto [end, error] = std::from_chars(n.data(), n.data() + n.size(), opts.at);
        if (error != std::errc() || end != n.data() + n.size() || opts.at == 0)
            return misuse("option '--at' needs a key's number, from 1, not '" + shown(given.at) +
                          "'");
    }
    opts.what = given.scores ? command::scores : given.what;
    if (given.recording != nullptr) opts.recording = given.recording;
    if (given.cast != nullptr) opts.cast = given.cast;
    return opts;
}

int runcommand(const options &opts, std::ostream &out, std::ostream &err) {
    switch (opts.what) {
        case command::help:
            out << about << usage << before_options;
            printoptions(out);
            out << before_keys;
            for (std::string_view line : keylines()) out << line << '\n';
            out << after_keys;
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
        case command::resume:
        case command::replay:
        case command::verify:
            break; // main plays them
    }
    return exit_done;
}
