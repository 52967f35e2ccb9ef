// The runs' ranks in memory: a Fenwick tree over the counts of the distinct scores, best first.
#include "hall/ranks.hpp"

#include <algorithm>

namespace {

bool better(const score_key &a, const score_key &b) {
    return a.points != b.points ? a.points > b.points : a.deaths < b.deaths;
}

// The place of `score` among the distinct scores: where it is, or where it would go.
std::size_t placeof(const run_ranks &ranks, score_key score) {
    return static_cast<std::size_t>(
        std::lower_bound(ranks.scores.begin(), ranks.scores.end(), score, better) -
        ranks.scores.begin());
}

// Builds the tree from the counts in one pass: each node hands its sum to its parent.
void buildtree(run_ranks &ranks) {
    const std::size_t n = ranks.counts.size();
    ranks.tree.assign(n + 1, 0);
    for (std::size_t i = 1; i <= n; ++i) {
        ranks.tree[i] += ranks.counts[i - 1];
        if (const std::size_t parent = i + (i & -i); parent <= n)
            ranks.tree[parent] += ranks.tree[i];
    }
}

// The runs whose score is among the first `place` scores.
std::int64_t runsbefore(const run_ranks &ranks, std::size_t place) {
    std::int64_t sum = 0;
    for (std::size_t i = place; i > 0; i -= i & -i) sum += ranks.tree[i];
    return sum;
}

} // namespace

void buildranks(run_ranks &ranks, const std::vector<score_count> &counts) {
    std::vector<score_count> sorted = counts;
    std::sort(sorted.begin(), sorted.end(),
              [](const score_count &a, const score_count &b) { return better(a.score, b.score); });
    std::lock_guard lock(ranks.guard);
    ranks.scores.clear();
    ranks.counts.clear();
    ranks.total = 0;
    for (const score_count &c : sorted) {
        ranks.scores.push_back(c.score);
        ranks.counts.push_back(c.runs);
        ranks.total += c.runs;
    }
    buildtree(ranks);
}

void countrun(run_ranks &ranks, score_key score) {
    std::lock_guard lock(ranks.guard);
    const std::size_t place = placeof(ranks, score);
    ++ranks.total;
    if (place < ranks.scores.size() && !better(score, ranks.scores[place])) {
        ++ranks.counts[place];
        for (std::size_t i = place + 1; i < ranks.tree.size(); i += i & -i) ++ranks.tree[i];
        return;
    }
    // A score no run had: the tree is built again over one more entry, which costs D steps
    // in the storer and never in a read.
    ranks.scores.insert(ranks.scores.begin() + static_cast<std::ptrdiff_t>(place), score);
    ranks.counts.insert(ranks.counts.begin() + static_cast<std::ptrdiff_t>(place), 1);
    buildtree(ranks);
}

std::int64_t rankof(const run_ranks &ranks, score_key score, std::int64_t tie) {
    std::lock_guard lock(ranks.guard);
    return 1 + runsbefore(ranks, placeof(ranks, score)) + tie;
}

std::int64_t totalruns(const run_ranks &ranks) {
    std::lock_guard lock(ranks.guard);
    return ranks.total;
}
