// Verifying a submitted recording: the checks that need no replay (a finished game of this
// version whose clock readings keep step with its keys), then the replay itself in a child
// process, `orbridden --verify`, under limits on CPU time, memory, output and wall time, in the
// sandbox of hall/sandbox.hpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A clock reading `c D` keeps step with its key when 0 <= D <= this: the game reads the clock
// while it answers a key, within milliseconds of it; a second leaves room for a slow machine
// or a busy browser, and is far shorter than the pace at which a steering tool would want to
// choose its readings freely.
inline constexpr std::int64_t clock_step_limit_ms = 1000;

// What the hall lists of a run, from its recording and the score record its replay ended with.
struct run_facts {
    std::string name; // three bytes, those that are not printable ASCII shown as '?'
    std::int64_t points = 0;
    std::int64_t deaths = 0;
    std::int64_t keys = 0;
    std::int64_t played_ms = 0; // the time of the last key
    std::string game;           // the game's version that made it
    bool witnessed = false;     // played live, at the pace its recording claims (hall/live.hpp)
    std::string witness_reason; // why not, for a game played live
    std::int64_t hall_ms = 0;   // played live: from its first line's arrival to its last's
};

// The niceness a replay runs at, below the hall that answers readers.
inline constexpr int verifier_nice = 10;

// What a replay may take, and how many bytes of output it may write.
struct verify_limits {
    int cpu_seconds = 5;
    int wall_seconds = 20; // the last resort, for a child that sleeps (or starves)
    long memory_mb = 512;  // its address space; 0: none (a sanitized game reserves terabytes)
    std::size_t output_bytes = 4096;
};

// The checks made before any replay. False with `reason` in a few words when the recording
// cannot be a real finished game of this version; `facts` gets its keys, time and version, and
// `game` the game it plays (gameplayed).
bool checkrecording(std::string_view text, run_facts &facts, std::string &reason,
                    std::string &game);

// The game a recording plays, by which the hall tells runs apart, as bytes: what decides it,
// that is the game's version, who edited typed lines, and in order each key's byte, each wait
// that found no key, the input's end and each clock reading as the clock read (the start, the
// time of the last key and its D added up). Two recordings that differ only in how they split
// that time between the start and the keys' delays, or in what the game wrote (the console's
// checks, the score record), play one game. Empty where `text` is no recording.
std::string gameplayed(std::string_view text);

enum class verdict {
    verified,   // the replay ended with the recorded score record
    refused,    // it parted from the recording, or ran past a limit
    unverified, // the hall could not run it
};

// Replays `text` with the game at `game` (`game --verify`): verified, with the name, points and
// deaths of the score record it ended with; else `reason` says where the replay parted from the
// recording, which limit it ran past, or what kept the hall from replaying it.
verdict replayrecording(const std::string &game, std::string_view text, const verify_limits &limits,
                        run_facts &facts, std::string &reason);

// How far a game still being played has come, as its replay found it.
struct live_progress {
    std::string hero; // three bytes, blanks before the hero has a name
    std::int64_t rings = -1, keys = 0;
};

// Replays the recording of a game still being played (`game --verify --progress`) under the
// same limits; true with its progress when it replays to its last line.
bool replayprogress(const std::string &game, std::string_view text, const verify_limits &limits,
                    live_progress &out);
