// Live games' lines: taken whole, within a recording's limits, stamped with their arrival; and
// the witnessed check over those stamps.
#include "hall/live.hpp"

#include "core/recording.hpp"

#include <algorithm>

namespace {

bool iskey(std::string_view line) {
    return !line.empty() && line[0] >= '0' && line[0] <= '9';
}

} // namespace

std::int64_t claimedafter(std::int64_t last, std::string_view line) {
    if (!iskey(line)) return last;
    std::int64_t delay = 0;
    for (char c : line.substr(0, line.find(' '))) {
        if (c < '0' || c > '9' || delay > recording_gap_limit) return last;
        delay = delay * 10 + (c - '0');
    }
    return last + std::min(delay, recording_gap_limit);
}

bool splitlines(std::string_view text, std::vector<std::string_view> &out, std::string &problem) {
    out.clear();
    if (!text.empty() && text.back() != '\n') {
        problem = "lines are sent whole, each with its line feed";
        return false;
    }
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (line.size() + 1 > recording_line_limit ||
            !std::all_of(line.begin(), line.end(), [](char c) { return c >= ' ' && c <= '~'; })) {
            problem = "a recording's lines are printable ASCII, each at most " +
                      std::to_string(recording_line_limit) + " bytes";
            return false;
        }
        out.push_back(line);
        text.remove_prefix(end + 1);
    }
    return true;
}

bool addline(live_lines &game, std::string_view line, std::int64_t now, bool resent,
             std::string &problem) {
    const std::string first =
        std::string(recording_format) + " " + std::to_string(recording_version);
    if (game.ended) {
        problem = "the game has ended: nothing follows its score record";
    } else if (game.ends.empty() && line != first) {
        problem = "a recording starts with the line \"" + first + "\"";
    } else if (game.text.size() + line.size() + 1 > recording_size_limit ||
               game.ends.size() > recording_items_limit + 4 ||
               (iskey(line) && static_cast<std::uint64_t>(game.keys) >= recording_keys_limit)) {
        problem = "this game has passed what a recording may hold (" +
                  std::to_string(recording_size_limit >> 20) + " MiB, " +
                  std::to_string(recording_keys_limit) + " keys); the hall takes no more of it";
    } else if (livecost(game) + line.size() + 1 + live_line_cost > live_cost_limit) {
        problem = "this game has passed what the hall holds of a live game (" +
                  std::to_string(live_cost_limit >> 20) + " MiB, counting " +
                  std::to_string(live_line_cost) +
                  " bytes a line besides its text); the hall takes no more of it";
    } else {
        game.text.append(line).push_back('\n');
        game.ends.push_back(game.text.size());
        game.times.push_back(now);
        game.resent.push_back(resent);
        game.claimed = claimedafter(game.claimed, line);
        game.keys += iskey(line);
        game.ended = line.starts_with("r ");
        return true;
    }
    return false;
}

void droplines(live_lines &game, std::size_t keep) {
    if (keep >= game.ends.size()) return;
    game.text.resize(keep == 0 ? 0 : game.ends[keep - 1]);
    game.ends.resize(keep);
    game.times.resize(keep);
    game.resent.resize(keep);
    game.claimed = game.keys = 0;
    for (std::string_view text = game.text; !text.empty();) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(line.size() + 1);
        game.claimed = claimedafter(game.claimed, line);
        game.keys += iskey(line);
    }
    game.ended = false;
}

std::size_t livecost(const live_lines &game) {
    return game.text.size() + game.ends.size() * live_line_cost;
}

bool witnessed(const live_lines &game, std::string &reason) {
    // The recording's start, on its third line: the hall's clock must agree with it, so that a
    // game played long ago and streamed at its pace now is not taken for one played now.
    std::string_view text = game.text;
    std::int64_t start = -1;
    for (int n = 0; n < 3 && !text.empty(); ++n) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(line.size() + 1);
        const std::string_view digits = line.substr(std::min<std::size_t>(6, line.size()));
        if (n == 2 && line.starts_with("start ") && !digits.empty() && digits.size() <= 15 &&
            digits.find_first_not_of("0123456789") == digits.npos)
            start = std::stoll(std::string(digits));
    }
    if (start < 0) return reason = "the hall saw no start of it", false;
    if (const std::int64_t lag = game.times[0] - start;
        lag < -witness_early_ms || lag > witness_late_ms) {
        reason = "its recording says it began " + std::to_string((lag < 0 ? -lag : lag) / 1000) +
                 " s " + (lag < 0 ? "after" : "before") +
                 " its first line reached the hall: the hall saw it played only from its start";
        return false;
    }
    std::int64_t claimed = 0;
    std::size_t late = 0;
    text = game.text;
    for (std::size_t n = 0; n < game.times.size(); ++n) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(line.size() + 1);
        claimed = claimedafter(claimed, line);
        const std::int64_t lag = game.times[n] - (start + claimed);
        if (lag < -witness_early_ms) {
            reason = "line " + std::to_string(n + 1) + " reached the hall " +
                     std::to_string(-lag / 1000) + " s before the time the recording claims for it";
            return false;
        }
        if (lag <= witness_late_ms) continue;
        if (!game.resent[n]) {
            reason = "line " + std::to_string(n + 1) + " reached the hall " +
                     std::to_string(lag / 1000) + " s after the time the recording claims for it";
            return false;
        }
        ++late;
    }
    if (late * 100 > game.times.size() * witness_resent_percent) {
        reason = std::to_string(late) + " of its " + std::to_string(game.times.size()) +
                 " lines came late, sent again after a reconnection: more than " +
                 std::to_string(witness_resent_percent) +
                 "% of the game was out of the hall's sight";
        return false;
    }
    reason.clear();
    return true;
}
