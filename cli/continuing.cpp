// The journal's game found by a replay without a screen, the continue page and the notice page,
// and the names of the games kept: the same for the terminal (cli/journal.cpp) and the page
// (web/main.cpp).
#include "cli/continuing.hpp"

#include "core/console.hpp"

#include <algorithm>
#include <climits>
#include <ctime>

namespace {

// The local date and time of `ms` since the epoch, as `format` writes it.
std::string localtimeof(std::int64_t ms, const char *format) {
    const std::time_t t = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    char text[32] = "";
    if (localtime_r(&t, &tm)) std::strftime(text, sizeof text, format, &tm);
    return text;
}

// A part of a file's name: ASCII letters and digits as they are, any other byte as '_'.
std::string namepart(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool plain =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        out += plain ? c : '_';
    }
    return out;
}

// Line `field` of a score record (0: the name, 1: the points), its leading blanks taken off.
std::string scorefield(std::string_view record, int field) {
    for (; field > 0 && record.find('\n') != std::string_view::npos; --field)
        record.remove_prefix(record.find('\n') + 1);
    if (field > 0) return "";
    std::string line(record.substr(0, record.find('\n')));
    line.erase(0, line.find_first_not_of(' '));
    return line;
}

// Writes `text` as lines of at most `width` columns, each after `lead` blanks.
void putwrapped(std::string_view text, int lead, std::size_t width) {
    while (!text.empty()) {
        std::size_t cut = text.size();
        if (cut > width) {
            cut = text.rfind(' ', width);
            if (cut == std::string_view::npos || cut == 0) cut = width;
        }
        blanks(lead);
        putline(text.substr(0, cut));
        text.remove_prefix(cut);
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    }
}

// The game the journal's replay plays.
game_parts replayed;
void playreplayed() {
    playgame(replayed.opening, replayed.screens);
}

} // namespace

std::string heroname(const stats_rec &stats) {
    std::string name(stats.name.begin(), stats.name.end());
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

std::string notcontinued(std::string_view why, std::string_view kept) {
    std::string text = "The game in the journal cannot be continued: " + std::string(why) + ".";
    if (!kept.empty()) text += " It is kept as " + std::string(kept) + ".";
    return text;
}

std::string replayjournal(game_parts game, journal_rec &j) {
    usescriptscreen({}); // no screen: the console in memory only
    replayed = game;
    playreplay(j.rec, nullptr, 0, playreplayed);
    j.found = replaystate();
    const bool ranout =
        j.found.stop == replay_stop::recording_ends || j.found.stop == replay_stop::input_closed;
    if ((j.found.ended && j.found.stop == replay_stop::none) || ranout) {
        j.unfinished = !j.found.ended;
        // Continued, its recorded end of input (the only item left) and a cut last line go.
        std::uint32_t upto = j.found.at ? j.found.at->line : j.rec.cutline;
        j.keep = j.text.size();
        if (upto > 0) {
            std::size_t at = 0;
            for (std::uint32_t line = 1; line < upto; ++line) at = j.text.find('\n', at) + 1;
            j.keep = at;
        }
        return "";
    }
    return stopreason(j.rec);
}

void noticepage(std::string_view text) {
    newlines(9);
    putwrapped(text, 5, 70);
    newlines(3);
    pressenterat(30, 0, waitfor::key);
}

bool continuepage(const journal_rec &j) {
    const std::string hero = heroname(j.found.stats);
    const std::string last = localtimeof(j.rec.header.start + j.found.now, "%Y-%m-%d %H:%M");
    newlines(9);
    putline("                       A GAME TO CONTINUE");
    newlines(2);
    putline("     HERO        : " + (hero.empty() ? std::string("NOT CHOSEN YET") : hero));
    put("     KEYS PLAYED : ");
    putnum(static_cast<std::int32_t>(std::min<std::uint64_t>(j.found.keys, INT32_MAX)));
    putline();
    putline("     LAST PLAYED : " + last);
    put("     RINGS WON   : ");
    putnum(j.found.stats.num_of_rings);
    putline();
    newlines(1);
    putline("     1) Continue             2) New game");
    newlines(5);
    put("     CHOICE  : ");
    for (;;) {
        const char choice = key();
        if (choice == '1' || choice == '2') return choice == '1';
    }
}

std::string keptname(std::int64_t start, const std::string &hero, const std::string &what) {
    std::string name = localtimeof(start, "%Y-%m-%d-%H%M");
    if (!hero.empty()) name += '-' + namepart(hero);
    return name + '-' + namepart(what);
}

std::string finishedname(std::int64_t start, std::string_view score) {
    // Its points, or where its score record was cut off, only that it was finished.
    const std::string points = scorefield(score, 1);
    return keptname(start, scorefield(score, 0), points.empty() ? "finished" : points);
}
