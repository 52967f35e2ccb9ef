// What the casino's wager menus share: the bets and their choices.
#pragma once

#include "core/console.hpp"
#include "core/definitions.hpp"

#include <array>
#include <string_view>

// The three bets of every wager menu, on keys 1, 2 and 3.
inline constexpr std::array<int32, 3> bets = {10, 25, 50};

// The bet that key `key` places; 0 for any other key.
inline int32 betfor(char key) {
    return key >= '1' && key <= '3' ? bets[static_cast<std::size_t>(key - '1')] : 0;
}

// The choices of a wager menu, indented by `indent` blanks: the three bets, one blank line
// and "0) EXIT", each line ended.
inline void putbets(int indent) {
    for (std::size_t i = 0; i < bets.size(); ++i) {
        blanks(indent);
        put(static_cast<char>('1' + i));
        put(") $");
        putnum(bets[i]);
        newlines(1);
    }
    newlines(1);
    blanks(indent);
    putline("0) EXIT");
}

// The foot of the twenty-one and hangman wager menus: `moneyline` and the money, 3 blank
// lines, the question, a blank line, the bets indented by `indent`, and `after` line ends.
inline void putwager(std::string_view moneyline, int32 money, std::string_view question, int indent,
                     int after) {
    put(moneyline);
    putnum(money);
    newlines(1 + 3); // the line's end, then 3 blank lines
    putline(question);
    newlines(1);
    putbets(indent);
    newlines(after);
}
