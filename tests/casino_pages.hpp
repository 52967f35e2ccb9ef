// Helpers for the casino's page tests: writing the expected lines of a page.
#pragma once

#include "core/console.hpp"
#include "support.hpp"

#include <initializer_list>
#include <string>
#include <vector>

// n empty lines.
inline lines empty(int n) {
    return lines(static_cast<std::size_t>(n), "");
}

// The pieces of a page, one after another.
inline lines cat(std::initializer_list<lines> pieces) {
    lines out;
    for (const lines &piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
    return out;
}
