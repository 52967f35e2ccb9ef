// Golden transcripts: whole sessions played through the scripted console with a stepping clock
// and compared byte for byte with what is stored under tests/golden/. Any change to any page the
// sessions reach shows here. After an intended change, record them again (`make golden`) and
// say in the commit which page changed and why.
#include "golden.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Record instead of compare when ORBRIDDEN_RECORD is set (see `make golden`).
bool recording() {
    const char *v = std::getenv("ORBRIDDEN_RECORD");
    return v && *v && std::string_view(v) != "0";
}

class Golden : public ::testing::TestWithParam<golden_case> {};

TEST_P(Golden, SessionIsByteForByteAsRecorded) {
    const golden_case &c = GetParam();
    const fs::path keys = goldenfile(c, ".keys"), text = goldenfile(c, ".transcript"),
                   score = goldenfile(c, ".score");
    ASSERT_TRUE(fs::exists(keys)) << keys;

    const played p = play(c, slurp(keys));
    // The score record written out in the sessions table holds when recording too.
    auto checkrecord = [&] {
        if (!c.record) return;
        EXPECT_TRUE(p.ended) << c.name << " must play to the end of the game";
        EXPECT_EQ(splitlines(p.score), splitlines(c.record)) << c.name << ": the score record";
    };
    if (recording()) {
        checkrecord();
        store(text, p.transcript);
        if (p.ended)
            store(score, p.score);
        else
            fs::remove(score);
        GTEST_SKIP() << "recorded " << text;
    }
    ASSERT_TRUE(fs::exists(text)) << "no transcript yet: run `make golden`";
    const std::string expected = slurp(text);
    // Compare line by line first, so that a failure names the first line that differs.
    const lines want = splitlines(expected), got = splitlines(p.transcript);
    for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i)
        ASSERT_EQ(got[i], want[i]) << c.name << ".transcript, line " << i + 1;
    ASSERT_EQ(got.size(), want.size()) << c.name << ".transcript: line count";
    EXPECT_EQ(p.transcript, expected);
    EXPECT_EQ(p.ended, fs::exists(score)) << "whether the game reached its end";
    if (p.ended) {
        EXPECT_EQ(p.score, slurp(score)) << c.name << ".score";
    }
    checkrecord();
}

// The in-place console's rows at points of the playthrough: what the terminal draws and what
// the page must show for the same keys (the browser tests compare the page with this file).
TEST(GoldenScreens, PlaythroughRowsAreAsRecorded) {
    const fs::path file = goldenfile(session("playthrough"), ".screens");
    const std::string got = playthroughscreens();
    if (recording()) {
        store(file, got);
        GTEST_SKIP() << "recorded " << file;
    }
    const lines want = splitlines(slurp(file)), have = splitlines(got);
    for (std::size_t i = 0; i < std::min(want.size(), have.size()); ++i)
        ASSERT_EQ(have[i], want[i]) << "playthrough.screens, line " << i + 1;
    EXPECT_EQ(have.size(), want.size()) << "playthrough.screens: line count";
}

// Seeking a replay of the playthrough's recording, forward and back, draws the same rows.
TEST(GoldenScreens, SeekingAReplayReachesTheSameRows) {
    const lines want = splitlines(slurp(goldenfile(session("playthrough"), ".screens"))),
                have = splitlines(seekscreens());
    for (std::size_t i = 0; i < std::min(want.size(), have.size()); ++i)
        ASSERT_EQ(have[i], want[i]) << "playthrough.screens, line " << i + 1;
    EXPECT_EQ(have.size(), want.size()) << "playthrough.screens: line count";
}

TEST(GoldenAscii, EveryRowKeepsItsWidthInTheLookAlikes) {
    // The long walk: map frames of forest, sea and cave, fights and level-ups.
    const golden_case &c = session("wander");
    const played p = play(c, slurp(goldenfile(c, ".keys")), kept_as::ascii);
    const lines want = splitlines(slurp(goldenfile(c, ".transcript"))),
                got = splitlines(p.transcript);
    ASSERT_EQ(got.size(), want.size()) << "line count";
    for (std::size_t i = 0; i < got.size(); ++i) {
        // Each character of the UTF-8 line (its bytes but the continuing ones) is one byte here,
        // the same byte where it is ASCII.
        std::string ascii_of_want;
        for (std::size_t k = 0; k < want[i].size(); ++k) {
            const auto b = static_cast<unsigned char>(want[i][k]);
            if (b < 0x80)
                ascii_of_want += want[i][k];
            else if (b >= 0xC0)
                ascii_of_want += '\x80'; // where a look-alike goes
        }
        ASSERT_EQ(got[i].size(), ascii_of_want.size()) << "line " << i + 1 << ": " << got[i];
        for (std::size_t k = 0; k < got[i].size(); ++k) {
            const char g = got[i][k], w = ascii_of_want[k];
            ASSERT_TRUE(w == '\x80' ? g >= ' ' && g <= '~' : g == w)
                << "line " << i + 1 << ", column " << k + 1 << ": " << got[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sessions, Golden, ::testing::ValuesIn(sessions),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
