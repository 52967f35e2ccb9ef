// Reading score records one line at a time, checking each against its encoded points, and
// listing them best first.
#include "cli/scores.hpp"

#include "cli/options.hpp"
#include "core/score.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <string_view>
#include <sys/stat.h>

namespace {

// Any name or number line the game writes is shorter than this.
constexpr std::size_t line_limit = 32;

bool namebyte(unsigned char b) {
    return b >= 32 && b != 127;
}
bool numberbyte(unsigned char b) {
    return b == ' ' || b == '-' || (b >= '0' && b <= '9');
}
bool encodingbyte(unsigned char b) {
    return std::string_view("KQJSUWGXE7").find(static_cast<char>(b)) != std::string_view::npos;
}

struct scoreline {
    std::string text;   // the line's first bytes, as many as were kept
    bool ended = false; // closed by a line end, not by the end of the input
    bool fits = true;   // no longer than what was kept

    bool holds(bool (*allowed)(unsigned char)) const {
        return std::all_of(text.begin(), text.end(),
                           [&](char c) { return allowed(static_cast<unsigned char>(c)); });
    }
};

// Reads one line, keeping at most `limit` bytes of it; false when the input has no byte left.
bool readline(std::streambuf &in, std::size_t limit, scoreline &line) {
    using traits = std::streambuf::traits_type;
    line.text.clear();
    line.ended = false;
    line.fits = true;
    auto c = in.sbumpc();
    if (traits::eq_int_type(c, traits::eof())) return false;
    for (; !traits::eq_int_type(c, traits::eof()); c = in.sbumpc()) {
        const char byte = traits::to_char_type(c);
        if (byte == '\n') {
            line.ended = true;
            break;
        }
        if (line.text.size() < limit)
            line.text += byte;
        else
            line.fits = false;
    }
    return true;
}

// A number as the game writes it: blanks, then an optional minus and digits.
bool readnumber(std::string_view text, int32 &value) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    const char *end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc{} && at == end;
}

// Takes line `index` of a record into `entry`; false when the line is not what it must be.
bool takeline(int index, const scoreline &line, const std::string &encoding, score_entry &entry) {
    if (!line.ended) return false;
    switch (index) {
        case 0:
            if (line.text.size() != entry.name.size() || !line.holds(namebyte)) return false;
            std::copy(line.text.begin(), line.text.end(), entry.name.begin());
            return true;
        case 1:
            return line.fits && line.holds(numberbyte) && readnumber(line.text, entry.points);
        case 2:
            return line.fits && line.holds(numberbyte) && readnumber(line.text, entry.deaths);
        case 3:
            // A longer line than was kept cannot be the right encoding.
            entry.altered = !line.fits || line.text != encoding;
            return !line.text.empty() && line.holds(encodingbyte);
        default:
            return line.text.empty() && line.fits;
    }
}

} // namespace

score_listing readscores(std::istream &in) {
    std::streambuf &buf = *in.rdbuf();
    score_listing listing;
    scoreline line;
    std::string encoding;
    bool carried = false; // `line` broke the record before and is tried as the next one's name
    for (;;) {
        score_entry entry;
        int taken = 0; // lines of this record found right so far
        bool over = false;
        for (; taken < 6; ++taken) {
            if (taken == 3) {
                encoding.clear();
                encrypt(entry.points, encoding);
            }
            // The encoded line may be as long as the encoding of the points; a longer one is
            // read to its end without being kept.
            const std::size_t limit =
                taken == 3 ? std::max(line_limit, encoding.size()) : line_limit;
            if (!carried && !readline(buf, limit, line)) {
                over = true;
                break;
            }
            carried = false;
            if (!takeline(taken, line, encoding, entry)) break;
        }
        if (taken == 6) {
            listing.records.push_back(entry);
            continue;
        }
        listing.skipped += static_cast<std::uint64_t>(taken);
        if (over) return listing;
        // A record cut short is often followed by a whole one: the line that broke it may be
        // the next record's name.
        if (taken > 0 && takeline(0, line, encoding, entry))
            carried = true;
        else
            ++listing.skipped;
    }
}

void printscores(std::vector<score_entry> records, std::ostream &out) {
    std::stable_sort(
        records.begin(), records.end(),
        [](const score_entry &a, const score_entry &b) { return a.points > b.points; });
    out << "rank  name  " << std::setw(11) << "points"
        << "  " << std::setw(11) << "deaths" << '\n';
    std::size_t rank = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const score_entry &r = records[i];
        if (i == 0 || r.points != records[i - 1].points) rank = i + 1; // equal points, equal rank
        out << std::setw(4) << rank << "  ";
        // A byte beyond ASCII could act on the terminal; the game never writes control bytes.
        for (char c : r.name) out << (static_cast<unsigned char>(c) < 127 ? c : '?');
        out << "   " << std::setw(11) << r.points << "  " << std::setw(11) << r.deaths
            << (r.altered ? "  altered\n" : "\n");
    }
}

int listscores(const std::string &path, std::ostream &out, std::ostream &err) {
    auto trouble = [&](std::string_view what) -> std::ostream & {
        return err << "orbridden: " << path << ": " << what;
    };
    // Only a regular file: a pipe or a device could keep the listing waiting for ever.
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0) {
        trouble(std::strerror(errno)) << '\n';
        return exit_unreadable;
    }
    if (!S_ISREG(file.st_mode)) {
        trouble("not a regular file") << '\n';
        return exit_unreadable;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        trouble(std::strerror(errno)) << '\n';
        return exit_unreadable;
    }
    score_listing listing = readscores(in);
    if (listing.records.empty())
        out << "No scores in " << path << ".\n";
    else
        printscores(std::move(listing.records), out);
    if (listing.skipped == 0) return exit_done;
    trouble("skipped ") << listing.skipped << (listing.skipped == 1 ? " line" : " lines")
                        << ": not part of a whole record\n";
    return exit_skipped;
}
