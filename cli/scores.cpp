// Reading score records one line at a time, checking each against its encoded points, and
// listing them best first.
#include "cli/scores.hpp"

#include "cli/options.hpp"
#include "core/files.hpp"
#include "core/score.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <iomanip>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

// Any name or number line the game writes is shorter than this.
constexpr std::size_t line_limit = 32;

struct scoreline {
    std::string text;   // the line's first bytes, as many as were kept
    bool ended = false; // closed by a line end, not by the end of the input
    bool fits = true;   // no longer than what was kept
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

// The file's lines, and those read ahead and given back to be read again.
struct scorelines {
    std::streambuf &in;
    std::vector<scoreline> given_back{}; // the last is the next to read

    // The next line, keeping at most `limit` bytes of a line read now; false at the end.
    bool next(std::size_t limit, scoreline &line) {
        if (given_back.empty()) return readline(in, limit, line);
        line = std::move(given_back.back());
        given_back.pop_back();
        return true;
    }
    void giveback(const scoreline &line) { given_back.push_back(line); }
};

// Takes line `index` of a record's first four into `entry`; false when the line cannot be it.
// Any three bytes make a name. The encoded line only checks the points: whatever it holds, the
// record stands, marked altered when it does not match.
bool takeline(int index, const scoreline &line, std::string_view encoding, score_entry &entry) {
    if (!line.ended) return false;
    switch (index) {
        case 0:
            if (line.text.size() != entry.name.size()) return false;
            std::copy(line.text.begin(), line.text.end(), entry.name.begin());
            return true;
        case 1:
            return line.fits && readnumber(line.text, entry.points);
        case 2:
            return line.fits && readnumber(line.text, entry.deaths);
        default:
            // A longer line than was kept cannot be the right encoding.
            entry.altered = !line.fits || line.text != encoding;
            return true;
    }
}

// Whether `line`, found where a record's encoded points should be and not matching them, is the
// next record's name instead: the record was cut after its deaths when the line could be a name
// and the one after it could be points. The line after is given back either way.
bool startsrecord(const scoreline &line, scorelines &lines) {
    score_entry next;
    scoreline after;
    if (!takeline(0, line, "", next) || !lines.next(line_limit, after)) return false;
    lines.giveback(after);
    return takeline(1, after, "", next);
}

// Reads an open file descriptor as a stream: the standard streams cannot take one already open.
class fdreader : public std::streambuf {
  public:
    explicit fdreader(int fd) : fd_(fd) {}

  protected:
    int_type underflow() override {
        ssize_t n;
        do n = ::read(fd_, chunk_.data(), chunk_.size());
        while (n < 0 && errno == EINTR);
        if (n <= 0) return traits_type::eof();
        setg(chunk_.data(), chunk_.data(), chunk_.data() + n);
        return traits_type::to_int_type(chunk_[0]);
    }

  private:
    int fd_;
    std::array<char, 1 << 16> chunk_;
};

} // namespace

score_listing readscores(std::istream &in) {
    scorelines lines{*in.rdbuf()};
    score_listing listing;
    scoreline line;
    std::string encoding;
    for (;;) {
        score_entry entry;
        int taken = 0; // lines of this record found right so far
        bool over = false;
        for (; taken < 4; ++taken) {
            if (taken == 3) {
                encoding.clear();
                encrypt(entry.points, encoding);
            }
            // The encoded line may be as long as the encoding of the points; a longer one is
            // read to its end without being kept.
            if (!lines.next(taken == 3 ? std::max(line_limit, encoding.size()) : line_limit,
                            line)) {
                over = true;
                break;
            }
            if (!takeline(taken, line, encoding, entry)) break;
            if (taken == 3 && entry.altered && startsrecord(line, lines)) break;
        }
        if (taken == 4) {
            listing.records.push_back(entry);
            // The two empty lines that close a record. A record missing one or both is still
            // whole: the line found in their place may be the next record's name.
            for (int blank = 0; blank < 2; ++blank) {
                if (!lines.next(line_limit, line)) return listing;
                if (!line.text.empty()) {
                    lines.giveback(line);
                    break;
                }
            }
            continue;
        }
        listing.skipped += static_cast<std::uint64_t>(taken);
        if (over) return listing;
        // A record cut short is often followed by a whole one: the line that broke it may be
        // the next record's name. A line that is not even a name is skipped on its own.
        if (taken > 0)
            lines.giveback(line);
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
        // A control byte or one beyond ASCII could act on the terminal; one column a byte.
        out << shown({r.name.data(), r.name.size()}, '?');
        out << "   " << std::setw(11) << r.points << "  " << std::setw(11) << r.deaths
            << (r.altered ? "  altered\n" : "\n");
    }
}

int listscores(const std::string &path, std::ostream &out, std::ostream &err) {
    auto trouble = [&](std::string_view what) -> std::ostream & {
        return err << "orbridden: " << shown(path) << ": " << what;
    };
    std::string problem;
    const int fd = openregular(path, O_RDONLY, problem);
    if (fd < 0) {
        trouble(problem) << '\n';
        return exit_unreadable;
    }
    fdreader reader(fd);
    std::istream in(&reader);
    score_listing listing = readscores(in);
    ::close(fd);
    if (listing.records.empty())
        out << "No scores in " << shown(path) << ".\n";
    else
        printscores(std::move(listing.records), out);
    if (listing.skipped == 0) return exit_done;
    trouble("skipped ") << listing.skipped << (listing.skipped == 1 ? " line" : " lines")
                        << ": not part of a whole record\n";
    return exit_skipped;
}
