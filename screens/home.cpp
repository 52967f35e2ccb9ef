// The home town's doors and gates, and the pages of the ones that stay shut.
#include "screens/home.hpp"

namespace {

// The page of a way out that the hero's rings do not open yet.
void gappage(std::string_view ring) {
    newlines(12);
    put("                  This is the way to the ");
    put(ring);
    put(" ring!");
    newlines(2);
    put("               You should try for an easier ring first.");
    newlines(10);
    pressenterat(3, 0, waitfor::key);
}

} // namespace

void casinorefusal(stats_rec &stats, visit_rec &) {
    newlines(10);
    putline("                                 Sorry,");
    put("                     We don't let just anyone in here.");
    newlines(1);
    put("                     You still need $");
    putnum(casino_fee - stats.money);
    put(" to be welcome.");
    newlines(10);
    key();
}

void castlerefusal(stats_rec &, visit_rec &) {
    static constexpr std::string_view words[] = {
        "                           Don't waste time here!",
        "                     Come back when you have the rings."};
    showpage({.before = 12, .lines = words, .after = 8, .lead = 59, .end = 1});
}

void northgap(stats_rec &, visit_rec &) {
    gappage("Java");
}
void southgap(stats_rec &, visit_rec &) {
    gappage("C++");
}
void eastgap(stats_rec &, visit_rec &) {
    gappage("VB");
}
