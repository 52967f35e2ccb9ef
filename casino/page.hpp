// What the casino's pages share: writing runs of text lines and decoded pictures.
#pragma once

#include "core/console.hpp"

#include <span>
#include <string_view>

// Writes each line of `rows` as it stands.
inline void putlines(std::span<const std::string_view> rows) {
    for (std::string_view row : rows) putline(row);
}

// Writes each row of a picture, without the blanks at its right end.
template <std::size_t Rows, std::size_t Cols>
void putpicture(const picture<Rows, Cols> &rows) {
    for (const auto &row : rows) {
        std::string_view codes(reinterpret_cast<const char *>(row.data()), Cols);
        putline(codes.substr(0, codes.find_last_not_of(' ') + 1));
    }
}

// The bet that the wager menus' keys 1, 2 and 3 place; 0 for any other key.
inline int betfor(char key) {
    switch (key) {
        case '1':
            return 10;
        case '2':
            return 25;
        case '3':
            return 50;
        default:
            return 0;
    }
}
