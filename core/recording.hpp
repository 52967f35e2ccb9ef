// Recordings: a game's keys, the clock readings its chance took and checksums of its console,
// written as lines of text while it plays (the recorder), read back (the reader) and handed to
// the game again in place of the keyboard and the clock (the player). The format is described
// in the README and the manual page.
#pragma once

#include "core/definitions.hpp"
#include "core/textconsole.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------------------------
// [SECTION] The format
// ---------------------------------------------------------------------------------------------

// The first line of every recording: the format's name and version.
inline constexpr std::string_view recording_format = "orbridden-recording";
inline constexpr int recording_version = 1;
// No line of a recording is longer, its line end included.
inline constexpr std::size_t recording_line_limit = 1024;
// What a recording may hold, in proportion to a real game: the whole quest takes about 5,000
// keys (a key and its clock readings about ten bytes, 47 KB in all), a player who wanders ten
// times as many; a recording may hold five times that. A larger one is refused before it is
// replayed, so that a file cannot cost the one who replays it more than such a game would.
inline constexpr std::size_t recording_size_limit = 4 << 20;    // bytes
inline constexpr std::size_t recording_items_limit = 1'000'000; // lines after the header
inline constexpr std::uint64_t recording_keys_limit = 250'000;  // keys
// The bounds of its numbers, far beyond any game's and far within what their sums can hold, in
// milliseconds: the start (up to the year 5138), the time between two keys (about three years,
// for a game left and continued long after) and a clock reading's distance from the last key
// (about 300 years either way, for a clock set right during the game).
inline constexpr std::int64_t recording_start_limit = 100'000'000'000'000;
inline constexpr std::int64_t recording_gap_limit = 100'000'000'000;
inline constexpr std::int64_t recording_offset_limit = 10'000'000'000'000;

struct recording_header {
    std::string game;         // the version of the game that made it
    std::int64_t start = 0;   // the clock's reading when it started, in milliseconds
    bool editedlines = false; // typed lines were edited by the console itself (`editslines`)
};

// The items of a recording, one a line, in the order the game met them.
enum class item_type : unsigned char {
    key,      // a byte of input the game took, with the console's check as it took it
    clock,    // a reading of the clock by the sources of chance
    checksum, // the console's checksum as the game ended
    nokey,    // a wait of a limited time that found no byte (after a lone ESC)
    closed,   // the input ended (closed, hung up)
    score,    // the score record the game ended with
};

struct recording_item {
    item_type kind{};
    unsigned char key = 0;   // key: the byte
    std::uint32_t check = 0; // key: the console's check; checksum: its checksum
    std::uint32_t line = 0;  // the line it stands on, counted from 1
    // key: milliseconds since the last key (the first: since the start); clock: milliseconds
    // past the start and the time of the last key.
    std::int64_t value = 0;
};

struct recording {
    recording_header header;
    std::vector<recording_item> items;
    std::string score;         // the score record, as scorerecord writes it, if it holds one
    std::uint32_t cutline = 0; // the line cut short at the end of the file (0: none)
};

// The console's checksum. A 64-bit value h starts at 14695981039346656037; each of the 250
// words of eight cells (the game's codes, row by row from the top and each row from the left,
// the first code the lowest byte) and then the cursor's row + 256 x its column is mixed in:
// h = (h xor word) x 1099511628211, then h = h xor (h >> 32), modulo 2^64. The checksum is h's
// lower 32 bits.
std::uint32_t consolechecksum(const text_console &con);
// The short check each key carries: the checksum's four bytes xor-ed into one.
std::uint32_t consolecheck(const text_console &con);

// Reads a recording. False, with `problem` saying what is wrong in a few words, when `text` is
// not one or holds more than the limits allow; a last line without its line end is left out
// and named in `cutline`.
bool readrecording(std::string_view text, recording &out, std::string &problem);
// Appends whole lines that follow those `rec` holds (a recording that grows while it is
// watched), as readrecording reads them: numbered on from its last line, within the limits
// counting all its items. False, with `problem`, where they are no recording's lines; `rec`
// then holds those before the first wrong one. The replay indexes the items, so that a
// recording being replayed may grow under it.
bool appendrecording(std::string_view lines, recording &rec, std::string &problem);
// What is wrong with a file larger than recording_size_limit, in a few words.
std::string toolarge();
// The number of keys `rec` holds.
std::uint64_t keycount(const recording &rec);

// ---------------------------------------------------------------------------------------------
// [SECTION] The recorder
// ---------------------------------------------------------------------------------------------

// Writes the header to `fd` and from then on every key the game takes (before the game answers
// it, with the console's check as the game took it), every wait of a limited time that found no
// byte, every clock reading, and at the end the console's checksum and the score record, each
// line in its own write, so that a game ended any way keeps all it did. Key times come from
// `elapsed`, milliseconds since the start. The console keeps its screen in memory. `also`, where
// given, gets every line too (the journal and --record's file).
void startrecording(int fd, const recording_header &header, std::int64_t (*elapsed)(),
                    int also = -1);
// The same for a recording whose lines so far are already in the files (a game continued):
// no header is written, and the next key's delay counts from `lastkey`, the time of the last.
void resumerecording(int fd, const recording_header &header, std::int64_t lastkey,
                     std::int64_t (*elapsed)(), int also = -1);
// Writes that the input ended.
void recordclosed();
// Takes the recorder's hooks away; returns the error of the first write that failed (0: none),
// to `fd`, and to `also` in `alsoerror` where given.
int stoprecording(int *alsoerror = nullptr);

// ---------------------------------------------------------------------------------------------
// [SECTION] The player
// ---------------------------------------------------------------------------------------------

// Why a replay stopped before the game's end, or after it.
enum class replay_stop {
    none,           // still going, or the game ended with the recorded score record
    quit,           // the watcher ended it
    recording_ends, // the recording ends before the game does
    input_closed,   // the recorded input ended there
    asks_key,       // the game asks for a key where the recording has something else
    reads_clock,    // the game reads the clock where the recording has something else
    game_ends,      // the game ends where the recording goes on
    screen_differs, // the console's check or checksum differs from the recorded one
    score_differs,  // the game ended with another score record
    output_full,    // what the replay wrote reached its limit
    seek,           // the watcher goes back to an earlier key: the replay starts again
};

// The most a replay writes as the plain stream or into a cast, in bytes: the whole quest's
// transcript is 11 MB, a wanderer's ten times that. Lowered by tests only.
inline std::uint64_t replay_output_limit = 256 << 20;

struct replay_state {
    replay_stop stop = replay_stop::none;
    std::uint64_t keys = 0; // the keys the game has taken
    std::int64_t now = 0;   // the recorded time of the last of them, in ms since the start
    const recording_item *at = nullptr; // the item where it stopped (null: the recording's end)
    std::uint32_t sum = 0;              // screen_differs: this game's check or checksum
    bool ended = false;                 // the game reached its end
    std::string score;                  // the score record it ended with
    std::uint64_t seekto = 0;           // seek: the key the watcher goes back to
    // The hero as the game had him where the replay stopped before the game's end (a blank
    // name before he has one).
    stats_rec stats{};
};

// Asked before each key is handed to the game, when the game waits for it: the key's number
// (from 1) and its recorded delay after the last. Anything but `none` ends the replay there,
// for that reason.
using replay_pacer = replay_stop (*)(std::uint64_t key, std::int64_t delay);

// Hands `rec` to the game from its start: its keys through the console's hooks, its clock readings
// through the clock, its score record to the end of the game (no score file is written), checking
// the console against each key's check and the last checksum on the way. Where the game and the
// recording part, the replay stops (the console's read throws input_closed) and `replaystate` says
// why. Seeking: the keys before key `at` are handed over at once, not paced, with the console
// not drawn (`holddrawing`); the console is drawn as it stands when the game waits for key
// `at`, which is paced (or at the game's end, where the recording has fewer keys). With
// `handover`, a replay that runs to the recording's end (or to its recorded end of input) does
// not stop where the game asks for more: it takes its hooks away, calls `handover` to put the
// live input and a recorder in place, and the game goes on. `rec` must outlive it.
void startreplay(const recording &rec, replay_pacer pace = nullptr, std::uint64_t at = 0,
                 void (*handover)() = nullptr);
const replay_state &replaystate();
// Watching a game as it is played: where the replay has run out of items, it asks this for
// more (appended to the recording being replayed with appendrecording), and goes on where it
// got some; null, or false: the recording ends there.
inline bool (*replay_more)() = nullptr;
// Takes the player's hooks away and puts the clock and the score file back.
void stopreplay();
// Where the replay of `rec` just made stopped and why, in a few words, or nothing when the
// game ended as recorded; `replaymessage` adds whether its last line is cut short.
std::string stopreason(const recording &rec);
std::string replaymessage(const recording &rec);
// For a pacer, asked for key `now`, that goes to key `to`: forward, the keys up to it are
// handed over unseen and `none` is returned (the pacer returns it); back, `seek` (the replay
// must start again: `playreplay` does it).
replay_stop seekreplay(std::uint64_t now, std::uint64_t to);
// Watching: replays `rec` from key `at` (as `startreplay`), the game played by `play`; where the
// watcher goes back, starts the game again on a fresh console up to the key sought. Returns when
// the game ends or the replay stops for another reason (`replaystate`).
void playreplay(const recording &rec, replay_pacer pace, std::uint64_t at, void (*play)());
