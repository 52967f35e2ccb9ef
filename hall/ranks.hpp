// The runs' ranks kept in memory, so that no read counts rows: how many runs hold each score
// (points and deaths), the scores best first, and a Fenwick tree over those counts.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

// A score as runs are ranked by it: more points first, then fewer deaths.
struct score_key {
    std::int64_t points = 0;
    std::int64_t deaths = 0;
};

struct score_count {
    score_key score;
    std::int64_t runs = 0;
};

// A rank costs two binary descents over the distinct scores (D of them): at most 2 * log2(D)
// steps, whatever the number of runs. Points are below 2^31 and deaths below a recording's
// 250,000 keys, so D < 2^49 and a rank takes fewer than 100 steps; at most 34 at 100,000 runs.
struct run_ranks {
    mutable std::mutex guard;         // the storer adds runs while reads rank them
    std::vector<score_key> scores;    // distinct, best first
    std::vector<std::int64_t> counts; // the runs that hold each score
    std::vector<std::int64_t> tree;   // tree[i] sums counts[i - (i & -i)] up to counts[i - 1]
    std::int64_t total = 0;
};

// Replaces what `ranks` holds with the counts of a whole table: at the start, or after a
// removal.
void buildranks(run_ranks &ranks, const std::vector<score_count> &counts);
// Counts one more run of `score`.
void countrun(run_ranks &ranks, score_key score);
// The rank from 1 of a run of `score` with `tie` runs of the same score before it: 1 + the runs
// of a better score + its tie.
std::int64_t rankof(const run_ranks &ranks, score_key score, std::int64_t tie);
std::int64_t totalruns(const run_ranks &ranks);
