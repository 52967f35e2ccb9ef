// Page writing shared by the story's files: the "PRESS ENTER" notice and the narrative page.
#pragma once

#include "core/console.hpp"

#include <span>
#include <string_view>

using textlines = std::span<const std::string_view>;

// Where the story's own notices stand: 65 blanks, then "PRESS ENTER".
inline constexpr int story_notice = 65;

// A narrative page: `before` empty lines, the text, `after` empty lines, the notice; then waits
// for Enter.
void scenepage(int before, textlines text, int after = 3);
