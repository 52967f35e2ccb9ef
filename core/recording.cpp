// Recordings: the lines of the format, the recorder that writes them as the game plays and the
// player that hands them back to the game.
#include "core/recording.hpp"

#include "core/console.hpp"
#include "core/files.hpp"
#include "core/game.hpp"
#include "core/random.hpp"
#include "core/score.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <unistd.h>

// ---------------------------------------------------------------------------------------------
// [SECTION] Lines: the header, the items and how a byte is written in them
// ---------------------------------------------------------------------------------------------

namespace {

constexpr char hexdigits[] = "0123456789abcdef";

// Whether the format writes byte `b` as itself: from '!' to '~' (and a blank where `blank`
// allows it), except '%'. Any other byte is '%' and two hexadecimal digits.
bool asitself(unsigned char b, bool blank) {
    return (b > ' ' || (blank && b == ' ')) && b <= '~' && b != '%';
}

void escaped(unsigned char b, bool blank, std::string &out) {
    if (asitself(b, blank)) {
        out += static_cast<char>(b);
    } else {
        out += '%';
        out += hexdigits[b >> 4];
        out += hexdigits[b & 15];
    }
}

int hexvalue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Undoes `escaped` for a whole field; false when it is not written so (each byte has one way).
bool unescaped(std::string_view field, bool blank, std::string &out) {
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto b = static_cast<unsigned char>(field[i]);
        if (b != '%') {
            if (!asitself(b, blank)) return false;
            out += static_cast<char>(b);
            continue;
        }
        if (i + 2 >= field.size()) return false;
        const int hi = hexvalue(field[i + 1]), lo = hexvalue(field[i + 2]);
        const auto code = static_cast<unsigned char>(hi * 16 + lo);
        if (hi < 0 || lo < 0 || asitself(code, blank)) return false;
        out += static_cast<char>(code);
        i += 2;
    }
    return true;
}

// Exactly `digits` lower-case hexadecimal digits.
bool hexnumber(std::string_view field, std::size_t digits, std::uint32_t &out) {
    if (field.size() != digits) return false;
    out = 0;
    for (char c : field) {
        if (hexvalue(c) < 0) return false;
        out = out * 16 + static_cast<std::uint32_t>(hexvalue(c));
    }
    return true;
}

// `value`'s last `digits` hexadecimal digits.
void hexdigitsof(std::uint32_t value, int digits, std::string &out) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += hexdigits[(value >> shift) & 15];
}

// How a field was read: as the format writes it and within its bounds, not written so, a
// number written another way than the game writes it, or a number beyond its bounds.
enum class field_read { fits, malformed, respelt, beyond };

// A whole decimal number, signed where `sign` allows it, as the format writes it; within
// -`limit` to `limit`. A number has one spelling, the game's: no `+`, no leading zero, a `-`
// only before a negative one; so one game has one recording.
field_read number(std::string_view text, bool sign, std::int64_t limit, std::int64_t &out) {
    const bool minus = !text.empty() && text[0] == '-';
    const std::string_view digits = text.substr(minus ? 1 : 0);
    if (digits.empty() || digits[0] < '0' || digits[0] > '9')
        return text.empty() || text[0] != '+' ? field_read::malformed : field_read::respelt;
    if (minus && !sign) return field_read::malformed;
    if (digits[0] == '0' && (digits.size() > 1 || minus)) return field_read::respelt;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    if (ec == std::errc::result_out_of_range && end == text.data() + text.size())
        return field_read::beyond;
    if (ec != std::errc() || end != text.data() + text.size()) return field_read::malformed;
    return out >= -limit && out <= limit ? field_read::fits : field_read::beyond;
}

// The score record on its one line: every line end as %0a. Cut to fit the line limit, the same
// way wherever it is written or compared.
std::string scoretext(std::string_view record) {
    std::string out;
    for (char c : record) escaped(static_cast<unsigned char>(c), true, out);
    const std::size_t room = recording_line_limit - 3; // "r ", the line end
    if (out.size() > room) {
        out.resize(room);
        // Not inside a %XX.
        std::size_t pct = out.rfind('%');
        if (pct != std::string::npos && pct + 3 > out.size()) out.resize(pct);
    }
    return out;
}

// The header's lines after the first, each a word and its value.
constexpr std::string_view game_word = "game ", start_word = "start ", lines_word = "lines ";
constexpr std::string_view console_lines = "console", stream_lines = "stream";

std::string headertext(const recording_header &h) {
    std::string out(recording_format);
    out += ' ' + std::to_string(recording_version) + '\n';
    out += std::string(game_word) + h.game + '\n';
    out += std::string(start_word) + std::to_string(h.start) + '\n';
    out += std::string(lines_word) + std::string(h.editedlines ? console_lines : stream_lines);
    out += '\n';
    return out;
}

// A header line "WORD VALUE": the value, or false.
bool headerline(std::string_view line, std::string_view word, std::string_view &value) {
    if (line.substr(0, word.size()) != word) return false;
    value = line.substr(word.size());
    return !value.empty();
}

bool printable(std::string_view s) {
    for (char c : s)
        if (c < '!' || c > '~') return false;
    return true;
}

// One item's line.
field_read itemline(std::string_view line, recording_item &item, std::string &score) {
    const std::size_t space = line.find(' ');
    const std::string_view head = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? "" : line.substr(space + 1);
    const bool alone = space == std::string_view::npos;
    auto fits = [](bool ok) { return ok ? field_read::fits : field_read::malformed; };
    if (head == "w" || head == "x") {
        item.kind = head == "w" ? item_type::nokey : item_type::closed;
        return fits(alone);
    }
    if (head == "c") {
        item.kind = item_type::clock;
        return alone ? field_read::malformed
                     : number(rest, true, recording_offset_limit, item.value);
    }
    if (head == "s") {
        item.kind = item_type::checksum;
        return fits(!alone && hexnumber(rest, 8, item.check));
    }
    if (head == "r") {
        item.kind = item_type::score;
        return fits(!alone && unescaped(rest, true, score));
    }
    item.kind = item_type::key;
    const std::size_t second = rest.find(' ');
    std::string key;
    if (alone || second == std::string_view::npos ||
        !unescaped(rest.substr(0, second), false, key) || key.size() != 1 ||
        !hexnumber(rest.substr(second + 1), 2, item.check))
        return field_read::malformed;
    item.key = static_cast<unsigned char>(key[0]);
    return number(head, false, recording_gap_limit, item.value);
}

constexpr std::uint32_t header_lines = 4;

// The next line of `text`, taken off it; `whole` says whether its line end was there.
std::string_view takeline(std::string_view &text, bool &whole) {
    const std::size_t end = text.find('\n');
    whole = end != std::string_view::npos;
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(whole ? end + 1 : text.size());
    return line;
}

std::string lineword(std::uint32_t at) {
    return "line " + std::to_string(at);
}

// Whether line `at` fits the line limit; `problem` says so where it does not.
bool withinlimit(std::string_view line, std::uint32_t at, std::string &problem) {
    if (line.size() + 1 <= recording_line_limit) return true;
    problem = lineword(at) + " is longer than " + std::to_string(recording_line_limit) + " bytes";
    return false;
}

// Whether whole line `at` ends in a line feed alone, as the game ends every line; `problem` says
// so where it does not.
bool bareend(std::string_view line, std::uint32_t at, std::string &problem) {
    if (!line.ends_with('\r')) return true;
    problem = lineword(at) + " ends in a carriage return";
    return false;
}

// What is wrong with line `at`, read as `got`; `otherwise` where it is no such line at all.
std::string fieldproblem(std::uint32_t at, field_read got, const char *otherwise) {
    return lineword(at) + (got == field_read::beyond ? " holds a number beyond the format's bounds"
                           : got == field_read::respelt ? " writes a number otherwise than the game"
                                                          " does (a leading zero, a sign)"
                                                        : otherwise);
}

// The header's four lines, taken off `text`.
bool readheader(std::string_view &text, recording_header &h, std::string &problem) {
    const std::string first = std::string(recording_format) + ' ';
    for (std::uint32_t at = 1; at <= header_lines; ++at) {
        // Cut in its first line, it cannot even be told for a recording.
        const std::string cut = at > 1 ? "cut short in its header" : "not a recording";
        if (text.empty()) {
            problem = at > 1 ? cut : "empty: not a recording";
            return false;
        }
        bool whole;
        const std::string_view line = takeline(text, whole);
        if (!withinlimit(line, at, problem)) return false;
        if (!whole) {
            problem = cut;
            return false;
        }
        if (at == 1 && !line.starts_with(first)) {
            problem = "not a recording";
            return false;
        }
        if (!bareend(line, at, problem)) return false;
        std::string_view value;
        field_read got = field_read::malformed;
        switch (at) {
            case 1:
                if (line.substr(first.size()) != std::to_string(recording_version)) {
                    problem = "a recording of format version " + shown(line.substr(first.size())) +
                              "; this game reads version " + std::to_string(recording_version);
                    return false;
                }
                got = field_read::fits;
                break;
            case 2:
                if (!headerline(line, game_word, value) || !printable(value)) break;
                h.game = value;
                got = field_read::fits;
                break;
            case 3:
                if (headerline(line, start_word, value))
                    got = number(value, false, recording_start_limit, h.start);
                break;
            default:
                if (!headerline(line, lines_word, value) ||
                    (value != console_lines && value != stream_lines))
                    break;
                h.editedlines = value == console_lines;
                got = field_read::fits;
                break;
        }
        if (got == field_read::fits) continue;
        problem = fieldproblem(at, got, " is not a recording's header");
        return false;
    }
    return true;
}

// The items after the header, up to the score record or the end of the input, appended to
// those `out` holds (none, or the lines read before), the limits counting them all.
bool readitems(std::string_view text, recording &out, std::string &problem) {
    const std::string more = ", more than a recording of any game";
    // Counted before any is kept: a file of many short lines is refused before they take memory.
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (out.items.size() + lines > recording_items_limit) {
        problem = "holds more than " + std::to_string(recording_items_limit) + " items" + more;
        return false;
    }
    out.items.reserve(out.items.size() + lines);
    // The keys so far, counted only where the items could hold more than the limit allows: a
    // recording that grows a line at a time is not counted again at each.
    std::uint64_t keys = out.items.size() + lines > recording_keys_limit ? keycount(out) : 0;
    // The score record or the end of the input has been read.
    bool done = !out.items.empty() && (out.items.back().kind == item_type::score ||
                                       out.items.back().kind == item_type::closed);
    const std::uint32_t first = header_lines + 1 + static_cast<std::uint32_t>(out.items.size());
    for (std::uint32_t at = first; !text.empty(); ++at) {
        bool whole;
        const std::string_view line = takeline(text, whole);
        if (!withinlimit(line, at, problem)) return false;
        if (!whole) {
            out.cutline = at;
            return true;
        }
        if (done) {
            problem = lineword(at) + " comes after the end of the recording";
            return false;
        }
        if (!bareend(line, at, problem)) return false;
        recording_item item{.line = at};
        const field_read got = itemline(line, item, out.score);
        if (got != field_read::fits) {
            problem = fieldproblem(at, got, " is not an item");
            return false;
        }
        if (item.kind == item_type::key && ++keys > recording_keys_limit) {
            problem = "holds more than " + std::to_string(recording_keys_limit) + " keys" + more;
            return false;
        }
        done = item.kind == item_type::score || item.kind == item_type::closed;
        out.items.push_back(item);
    }
    return true;
}

} // namespace

std::uint32_t consolechecksum(const text_console &con) {
    // Eight cells at a time: a key's check must cost next to nothing beside the key's answer.
    std::uint64_t h = 14695981039346656037u;
    auto mix = [&h](std::uint64_t word) {
        h = (h ^ word) * 1099511628211u;
        h ^= h >> 32;
    };
    static_assert(console_cols % 8 == 0, "a row is whole words");
    for (int r = 0; r < console_rows; ++r) {
        const console_row &row = con.line(r);
        for (std::size_t c = 0; c < console_cols; c += 8) {
            std::uint64_t word;
            std::memcpy(&word, row.data() + c, sizeof word);
            if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
            mix(word);
        }
    }
    mix(static_cast<std::uint64_t>(con.row) | static_cast<std::uint64_t>(con.col) << 8);
    return static_cast<std::uint32_t>(h);
}

std::uint32_t consolecheck(const text_console &con) {
    const std::uint32_t h = consolechecksum(con);
    return (h ^ (h >> 8) ^ (h >> 16) ^ (h >> 24)) & 0xff;
}

bool readrecording(std::string_view text, recording &out, std::string &problem) {
    out = {};
    return readheader(text, out.header, problem) && readitems(text, out, problem);
}

bool appendrecording(std::string_view lines, recording &rec, std::string &problem) {
    if (rec.cutline) {
        problem = lineword(rec.cutline) + " is cut short";
        return false;
    }
    return readitems(lines, rec, problem);
}

std::uint64_t keycount(const recording &rec) {
    return static_cast<std::uint64_t>(
        std::count_if(rec.items.begin(), rec.items.end(),
                      [](const recording_item &i) { return i.kind == item_type::key; }));
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The recorder
// ---------------------------------------------------------------------------------------------

namespace {

struct recorder_state {
    int fd = -1, also = -1;
    int error = 0, alsoerror = 0; // of the first write that failed; nothing is written after it
    std::int64_t start = 0;
    std::int64_t (*elapsed)() = nullptr;
    clock_source clock = nullptr; // the clock the game read before
    score_keeper keeper = nullptr;
    std::int64_t lastkey = 0; // the time of the last key
    std::string line;         // the line (or lines) being written
};

recorder_state &rec() {
    static recorder_state r;
    return r;
}

// Writes out `line`, all of it.
void writeline() {
    recorder_state &r = rec();
    writewhole(r.fd, r.line, r.error);
    if (r.also >= 0) writewhole(r.also, r.line, r.alsoerror);
    r.line.clear();
}

void recordtaken(unsigned char b) {
    recorder_state &r = rec();
    // A key taken long after the last (a game continued years later) waits no longer than the
    // format allows.
    const std::int64_t now = std::clamp(r.elapsed(), r.lastkey, r.lastkey + recording_gap_limit);
    r.line += std::to_string(now - r.lastkey);
    r.lastkey = now;
    r.line += ' ';
    escaped(b, false, r.line);
    r.line += ' ';
    hexdigitsof(consolecheck(consolescreen()), 2, r.line);
    r.line += '\n';
    writeline();
}

void recordnone() {
    rec().line += "w\n";
    writeline();
}

std::int64_t recordclock() {
    recorder_state &r = rec();
    const std::int64_t reading = r.clock();
    r.line += "c " + std::to_string(reading - r.start - r.lastkey) + '\n';
    writeline();
    return reading;
}

void recordscore(const stats_rec &stats) {
    recorder_state &r = rec();
    r.keeper(stats);
    r.line += "s ";
    hexdigitsof(consolechecksum(consolescreen()), 8, r.line);
    r.line += "\nr " + scoretext(scorerecord(stats)) + '\n';
    writeline();
}

} // namespace

void resumerecording(int fd, const recording_header &header, std::int64_t lastkey,
                     std::int64_t (*elapsed)(), int also) {
    recorder_state &r = rec();
    r = {.fd = fd,
         .also = also,
         .start = header.start,
         .elapsed = elapsed,
         .clock = game_clock,
         .keeper = keepscore,
         .lastkey = lastkey,
         .line = {}};
    keepscreen();
    hookinput({.taken = recordtaken, .none = recordnone});
    game_clock = recordclock;
    keepscore = recordscore;
}

void startrecording(int fd, const recording_header &header, std::int64_t (*elapsed)(), int also) {
    resumerecording(fd, header, 0, elapsed, also);
    rec().line = headertext(header);
    writeline();
}

void recordclosed() {
    rec().line += "x\n";
    writeline();
}

int stoprecording(int *alsoerror) {
    recorder_state &r = rec();
    if (alsoerror) *alsoerror = r.alsoerror;
    if (r.fd < 0) return 0;
    hookinput({});
    game_clock = r.clock;
    keepscore = r.keeper;
    const int error = r.error;
    r = {};
    return error;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] The player
// ---------------------------------------------------------------------------------------------

namespace {

struct player_state {
    const recording *rec = nullptr;
    std::size_t next = 0; // the item the game meets next
    replay_pacer pace = nullptr;
    void (*handover)() = nullptr;
    bool paced = false;       // the next key has been looked at and paced
    std::uint64_t skipto = 0; // the keys before this one are handed over unseen
    clock_source clock = nullptr;
    score_keeper keeper = nullptr;
    replay_state state{};
};

player_state &player() {
    static player_state p;
    return p;
}

const recording_item *nextitem() {
    player_state &p = player();
    // A replay that has stopped waits for nothing: where it stopped (state.at) stays put.
    while (p.next >= p.rec->items.size() && p.state.stop == replay_stop::none && replay_more &&
           replay_more()) {
    }
    return p.next < p.rec->items.size() ? &p.rec->items[p.next] : nullptr;
}

// Stops the replay at the next item; a read or a clock reading then ends the game.
void stopat(replay_stop why) {
    player_state &p = player();
    p.state.stop = why;
    p.state.at = nextitem();
}
[[noreturn]] void stopgame(replay_stop why) {
    stopat(why);
    if (const stats_rec *stats = playingstats()) player().state.stats = *stats;
    throw input_closed();
}

// Where a replay that hands over has run out of recorded input: true once it has handed over.
bool handedover(const recording_item *i) {
    player_state &p = player();
    if (!p.handover || (i && i->kind != item_type::closed)) return false;
    void (*handover)() = p.handover;
    stopreplay();
    handover();
    return true;
}

// Whether the console agrees with the check or checksum `recorded`.
bool sameconsole(std::uint32_t recorded, bool checksum) {
    const text_console &con = consolescreen();
    player().state.sum = checksum ? consolechecksum(con) : consolecheck(con);
    return player().state.sum == recorded;
}

// The next byte as the game met it while recording. A wait of a limited time (for the rest of a
// key's bytes, for a line end) found no byte where the recording says so; otherwise it found
// the key the recording takes next. A byte that was there but that the game left for a later
// read stands later in the recording, behind the clock readings before that read: the wait
// reads none, which every such wait takes as it takes a byte it leaves (a follower that does
// not fit, a character that is not a line end). A wait for as long as it takes is always
// followed by the byte's taking: the console is checked and the key paced there.
int replaypeek(int ms) {
    player_state &p = player();
    if (p.state.stop != replay_stop::none) throw input_closed();
    const recording_item *i = nextitem();
    if (handedover(i)) return input_handed_over;
    if (ms >= 0) {
        if (!i || i->kind != item_type::key) {
            if (i && i->kind == item_type::nokey) ++p.next;
            return -1;
        }
        return i->key;
    }
    if (!p.paced) {
        if (!i) stopgame(replay_stop::recording_ends);
        if (i->kind == item_type::closed) stopgame(replay_stop::input_closed);
        if (i->kind != item_type::key) stopgame(replay_stop::asks_key);
        if (!sameconsole(i->check, false)) stopgame(replay_stop::screen_differs);
        const std::uint64_t key = p.state.keys + 1;
        if (key == p.skipto) holddrawing(false);
        if (p.pace && key >= p.skipto) {
            const replay_stop why = p.pace(key, i->value);
            if (why != replay_stop::none) stopgame(why);
        }
        p.paced = true;
    }
    return i->key;
}

void replaytaken(unsigned char) {
    player_state &p = player();
    p.state.now += nextitem()->value;
    ++p.state.keys;
    ++p.next;
    p.paced = false;
}

std::int64_t replayclock() {
    player_state &p = player();
    const recording_item *i = nextitem();
    if (p.state.stop == replay_stop::none && handedover(i)) return game_clock();
    if (p.state.stop != replay_stop::none || !i || i->kind != item_type::clock)
        stopgame(i ? replay_stop::reads_clock : replay_stop::recording_ends);
    ++p.next;
    return p.rec->header.start + p.state.now + i->value;
}

void replayscore(const stats_rec &stats) {
    player_state &p = player();
    p.state.ended = true;
    p.state.score = scorerecord(stats);
    const recording_item *i = nextitem();
    if (i && i->kind == item_type::checksum) {
        if (!sameconsole(i->check, true)) return stopat(replay_stop::screen_differs);
        i = (++p.next, nextitem());
    }
    if (!i) return stopat(replay_stop::recording_ends);
    if (i->kind != item_type::score) return stopat(replay_stop::game_ends);
    if (scoretext(p.state.score) != scoretext(p.rec->score)) stopat(replay_stop::score_differs);
}

} // namespace

void startreplay(const recording &r, replay_pacer pace, std::uint64_t at, void (*handover)()) {
    player_state &p = player();
    p = {.rec = &r,
         .pace = pace,
         .handover = handover,
         .skipto = at,
         .clock = game_clock,
         .keeper = keepscore};
    holddrawing(at > 1);
    editlines(r.header.editedlines);
    keepscreen();
    hookinput({.peek = replaypeek, .taken = replaytaken});
    game_clock = replayclock;
    keepscore = replayscore;
}

const replay_state &replaystate() {
    return player().state;
}

void stopreplay() {
    player_state &p = player();
    if (!p.rec) return;
    hookinput({});
    game_clock = p.clock;
    keepscore = p.keeper;
    p.rec = nullptr;
    holddrawing(false); // the game ended before the key sought: its last page
}

namespace {

// What stands at the item where the replay stopped.
std::string itemname(const recording_item *at, std::uint64_t keys) {
    if (!at) return "its end";
    switch (at->kind) {
        case item_type::key:
            return "key " + std::to_string(keys + 1);
        case item_type::clock:
            return "a clock reading";
        case item_type::checksum:
            return "a checksum of the screen";
        case item_type::nokey:
            return "no key waiting";
        case item_type::closed:
            return "the end of its input";
        case item_type::score:
            return "the end of the game";
    }
    return "";
}

// The score record's first three lines (name, points, deaths) on one line.
std::string scoreline(const std::string &record) {
    std::string out;
    std::size_t at = 0;
    for (int field = 0; field < 3 && at < record.size(); ++field) {
        std::size_t end = std::min(record.find('\n', at), record.size());
        std::string_view part(record.data() + at, end - at);
        part.remove_prefix(std::min(part.find_first_not_of(' '), part.size()));
        if (field) out += ' ';
        out += part;
        at = end + 1;
    }
    return "\"" + shown(out) + "\"";
}

// A check (two hexadecimal digits) or a checksum (eight), as the recording writes them.
std::string hex(std::uint32_t v, bool checksum) {
    char s[9];
    std::snprintf(s, sizeof s, "%0*x", checksum ? 8 : 2, v);
    return s;
}

} // namespace

std::string stopreason(const recording &rec) {
    const replay_state &s = replaystate();
    const std::string keys = std::to_string(s.keys);
    const std::string after = s.keys == 0 ? "at its start" : "after key " + keys;
    const std::string line = s.at ? " (line " + std::to_string(s.at->line) + ")" : "";
    const std::string has = " where the recording has " + itemname(s.at, s.keys) + line;
    switch (s.stop) {
        case replay_stop::none:
            return s.ended ? "" : "the recorded input ends " + after + ", before the game does";
        case replay_stop::quit:
        case replay_stop::seek: // playreplay starts again: never the end
            return "replay ended " + after;
        case replay_stop::recording_ends:
            return s.ended ? "the game ends " + after + ", but the recording holds no score record"
                           : "the recording ends " + after + ", before the game does";
        case replay_stop::input_closed:
            return "the recorded input ends " + after + ", before the game does";
        case replay_stop::asks_key:
            return after + " the game asks for a key" + has;
        case replay_stop::reads_clock:
            return after + " the game reads the clock" + has;
        case replay_stop::game_ends:
            return "the game ends " + after + has;
        case replay_stop::screen_differs: {
            const bool checksum = s.at->kind == item_type::checksum;
            return (s.ended       ? "the last screen"
                    : s.keys == 0 ? "the first screen"
                                  : "the screen after key " + keys) +
                   " differs from the recorded one" + line + ": " +
                   (checksum ? "checksum " : "check ") + hex(s.at->check, checksum) +
                   " recorded, " + hex(s.sum, checksum) + " now";
        }
        case replay_stop::score_differs:
            return "the score differs: the recording holds " + scoreline(rec.score) +
                   ", this game ends with " + scoreline(s.score);
        case replay_stop::output_full: {
            const std::uint64_t most = replay_output_limit;
            return "the replay stops " + after + ": it has written " +
                   (most % (1 << 20) ? std::to_string(most) + " bytes"
                                     : std::to_string(most >> 20) + " MiB") +
                   ", the most a replay writes";
        }
    }
    return "";
}

std::string replaymessage(const recording &rec) {
    std::string message = stopreason(rec);
    if (rec.cutline)
        message += (message.empty() ? "" : "; ") + std::string("its last line, line ") +
                   std::to_string(rec.cutline) + ", is cut short";
    return message;
}

std::string toolarge() {
    return "is larger than " + std::to_string(recording_size_limit >> 20) +
           " MiB, more than a recording of any game";
}

replay_stop seekreplay(std::uint64_t now, std::uint64_t to) {
    player_state &p = player();
    if (to < now) {
        p.state.seekto = to;
        return replay_stop::seek;
    }
    p.skipto = to;
    holddrawing(to > now + 1);
    return replay_stop::none;
}

void playreplay(const recording &rec, replay_pacer pace, std::uint64_t at, void (*play)()) {
    for (;;) {
        startreplay(rec, pace, at);
        try {
            play();
        } catch (const input_closed &) {
            // the replay stopped, or the recorded input ended: replaystate says which
        } catch (...) {
            stopreplay();
            throw;
        }
        stopreplay();
        if (replaystate().stop != replay_stop::seek) return;
        at = replaystate().seekto;
        restartconsole();
    }
}
