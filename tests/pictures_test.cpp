// The creature pictures as the fight screen shows them: every row 45 cells, nothing blank,
// the small figures kept to the rows they belong on, and the words some pictures carry.
#include "combat/pictures.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

struct picture_case {
    std::string_view name;
    const creature_picture &art;
    int first_row = 1; // the rows (1 to 10) the drawing may use; the rest stay blank
    int last_row = 10;
    std::string_view words = {}; // words the picture must show on one row
};

const picture_case pictures[] = {
    {"fight_bats", fight_bats_picture},
    {"fight_fox", fight_fox_picture},
    {"fight_raccoon", fight_raccoon_picture},
    {"fight_ghost", fight_ghost_picture},
    {"fight_skeleton", fight_skeleton_picture},
    {"fight_knight", fight_knight_picture},
    {"fight_tobrillo", fight_tobrillo_picture, 5, 7},
    {"fight_tobrillo2", fight_tobrillo2_picture, 5, 7},
    {"fight_shark", fight_shark_picture},
    {"fight_octopus", fight_octopus_picture},
    {"fight_crab", fight_crab_picture},
    {"fight_jelly", fight_jelly_picture},
    {"fight_mime", fight_mime_picture},
    {"fight_mime (hurt)", fight_mime_picture2},
    {"fight_seal", fight_seal_picture},
    {"fight_monkey", fight_monkey_picture},
    {"fight_vex", fight_vex_picture, 5, 7},
    {"fight_vex_again", fight_vex_again_picture, 5, 7},
    {"fight_vex2", fight_vex2_picture, 5, 7},
    {"fight_madeyes", fight_madeyes_picture},
    {"mad_monkey", mad_monkey_picture},
    {"crazy_clown", crazy_clown_picture},
    {"dwarf_guy", dwarf_guy_picture},
    {"glob_of_goo", glob_of_goo_picture},
    {"rock", rock_picture},
    {"grumb", grumb_picture},
    {"grumb2", grumb2_picture},
    {"caveman", caveman_picture, 1, 10, "(giant club)"},
    {"zarkhul", zarkhul_picture, 1, 10, "(please don't hurt me)"},
    {"darkness", darkness_picture, 5, 5, "(*)      (*)"},
    {"stalagmite", stalagmite_picture},
    {"delvo", delvo_picture},
    {"delvo2", delvo2_picture},
    {"vaskar", vaskar_picture},
    {"vaskar2", vaskar2_picture},
};

TEST(Pictures, EveryPictureShowsAsTenRowsOf45CellsWithinItsRows) {
    for (const picture_case &p : pictures) {
        SCOPED_TRACE(std::string(p.name));
        usescript("");
        for (const auto &row : p.art) putline(rowcodes(row));
        const std::vector<std::string> rows = splitlines(transcript());
        ASSERT_EQ(rows.size(), 11u); // ten rows and the empty text after the last line end
        bool drawn = false;
        for (int r = 1; r <= 10; ++r) {
            const std::string &shown = rows[r - 1];
            EXPECT_EQ(columns(shown), 45u) << "row " << r << ": " << shown;
            EXPECT_EQ(shown.find('\a'), std::string::npos) << "row " << r << " rings the bell";
            const bool blank = shown.find_first_not_of(' ') == std::string::npos;
            if (r < p.first_row || r > p.last_row) {
                EXPECT_TRUE(blank) << "row " << r << " should be empty: " << shown;
            }
            drawn = drawn || !blank;
        }
        EXPECT_TRUE(drawn) << "the picture is blank";
        if (!p.words.empty()) {
            bool found = false;
            for (const std::string &shown : rows)
                found = found || shown.find(p.words) != shown.npos;
            EXPECT_TRUE(found) << "no row shows " << p.words;
        }
    }
    // The hurt mime must look different, or the change at 50 health shows nothing.
    EXPECT_NE(fight_mime_picture, fight_mime_picture2);
}

} // namespace
