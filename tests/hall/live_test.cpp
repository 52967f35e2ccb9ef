// Live games against the real hall: a game played in batches with a spectator following it, cut
// and restored, carried over a killed hall; which runs are witnessed; and what a live game's
// player is refused.
#include "client.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

using json = nlohmann::json;

namespace {

// The lines of a recording, each with its line feed.
std::vector<std::string> linesof(const std::string &text) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at) + 1;
        out.push_back(text.substr(at, end - at));
        at = end;
    }
    return out;
}

std::string joined(const std::vector<std::string> &lines, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t n = from; n < to && n < lines.size(); ++n) out += lines[n];
    return out;
}

std::string batch(const std::vector<std::string> &lines, std::size_t from, std::size_t to) {
    return json{{"from", from}, {"lines", joined(lines, from, to)}}.dump();
}

json message(live_socket &socket) {
    return json::parse(socket.receive(), nullptr, false);
}

// The next message that is not a `have`, which the hall sends now and then.
json nexttold(live_socket &socket) {
    for (;;) {
        const json m = message(socket);
        if (!m.is_object() || !m.contains("have") || m.size() != 1) return m;
    }
}

// Messages until the hall says it holds `lines` lines; false if it never does.
bool hallhas(live_socket &socket, std::size_t lines) {
    for (json m; (m = message(socket)).is_object();)
        if (m.value("have", std::size_t(0)) >= lines) return true;
    return false;
}

// A live game begun: its player's connection, id and token.
struct live_player {
    live_socket socket;
    std::int64_t id = 0;
    std::string token;
    std::size_t have = 0; // what the hall said it holds, at the start
    live_player(unsigned short port, json hello = {{"game", nullptr}})
        : socket(port, "/api/live/play") {
        socket.send(hello.dump());
        const json m = message(socket);
        if (!m.contains("game")) throw std::runtime_error("refused: " + m.dump());
        id = m["game"].get<std::int64_t>();
        token = m["token"].get<std::string>();
        have = m["have"].get<std::size_t>();
    }
    // The same game again, on a new connection.
    live_player(unsigned short port, const live_player &before)
        : live_player(port, {{"game", before.id}, {"token", before.token}}) {}
};

// A spectator's text so far, taking its messages until it holds `lines` lines.
struct spectator {
    live_socket socket;
    std::string text;
    std::size_t lines = 0;
    spectator(unsigned short port, std::int64_t id, std::size_t from = 0)
        : socket(port, "/api/live/" + std::to_string(id) + "/watch"), lines(from) {
        socket.send(json{{"from", from}}.dump());
    }
    bool follow(std::size_t upto) {
        while (lines < upto) {
            // The lines come as they are, in order from those it has; no line starts with '{'
            // as the hall's own JSON messages do.
            const std::string got = socket.receive();
            if (got.empty() || got[0] == '{') return false;
            text += got;
            lines += linesof(got).size();
        }
        return true;
    }
};

json liveinfo(unsigned short port) {
    return json::parse(fetch(port, "GET", "/api/live").body, nullptr, false);
}

TEST(Live, PlayedInBatchesFollowedByASpectatorThroughACutAndListed) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    const std::string run = playthroughrun();
    const std::vector<std::string> lines = linesof(run);
    const std::size_t step = 700, last = lines.size();

    auto player = std::make_unique<live_player>(hall.port);
    EXPECT_EQ(player->have, 0u);
    EXPECT_EQ(player->token.size(), 32u);
    player->socket.send(batch(lines, 0, step));
    player->socket.send(batch(lines, step, 2 * step));
    // A spectator joins midway, from the start; then follows each batch as it comes.
    spectator watching(hall.port, player->id);
    ASSERT_TRUE(watching.follow(2 * step));
    EXPECT_TRUE(watching.text == joined(lines, 0, 2 * step));
    std::size_t sent = 2 * step;
    for (; sent + step < last - 2; sent += step) {
        if (sent == 4 * step) {
            // The connection drops; the player comes back and sends again from what the hall
            // holds, overlapping it: the hall skips what it has.
            player->socket.cut();
            player = std::make_unique<live_player>(hall.port, *player);
            EXPECT_LE(player->have, sent);
            player->socket.send(batch(lines, player->have > 10 ? player->have - 10 : 0, sent));
        }
        player->socket.send(batch(lines, sent, sent + step));
        ASSERT_TRUE(watching.follow(sent + step)) << "after line " << sent;
        EXPECT_TRUE(watching.text == joined(lines, 0, sent + step)) << "after line " << sent;
    }
    // All but the end of the last fight, after the fourth ring.
    const std::size_t nearend = last - 50;
    player->socket.send(batch(lines, sent, nearend));
    ASSERT_TRUE(watching.follow(nearend));
    EXPECT_TRUE(watching.text == joined(lines, 0, nearend));

    // The list names the hero and his rings once a verifier has replayed the game so far.
    json game;
    EXPECT_TRUE(eventually([&] {
        game = liveinfo(hall.port)["games"][0];
        return game["hero"] == "Oru" && game["rings"] == 4;
    })) << game.dump();
    EXPECT_EQ(game["id"], player->id);
    const std::string sofar = joined(lines, 0, nearend);
    EXPECT_EQ(game["keys"],
              std::count_if(lines.begin(), lines.begin() + nearend,
                            [](const std::string &l) { return l[0] >= '0' && l[0] <= '9'; }));
    EXPECT_EQ(game["spectators"], 1);
    EXPECT_GE(game["last"].get<std::int64_t>(), game["since"].get<std::int64_t>());
    EXPECT_TRUE(
        fetch(hall.port, "GET", "/api/live/" + std::to_string(player->id) + "/recording").body ==
        sofar);

    player->socket.send(batch(lines, nearend, last));
    const json end = nexttold(player->socket);
    ASSERT_EQ(end.value("ended", false), true) << end.dump();
    ASSERT_TRUE(end["run"].is_number()) << end.dump();
    EXPECT_EQ(end["problem"], "");
    ASSERT_TRUE(watching.follow(last));
    EXPECT_TRUE(watching.text == run);
    EXPECT_EQ(message(watching.socket), end);

    const std::string id = std::to_string(end["run"].get<std::int64_t>());
    const json listed = json::parse(fetch(hall.port, "GET", "/api/runs/" + id).body);
    EXPECT_EQ(listed["points"], 6684);
    EXPECT_EQ(listed["witnessed"], end["witnessed"]);
    EXPECT_EQ(listed["witness_reason"], end["reason"]);
    EXPECT_TRUE(fetch(hall.port, "GET", "/api/runs/" + id + "/recording").body == run);
    EXPECT_EQ(liveinfo(hall.port)["games"].size(), 0u);
}

TEST(Live, AGameGoesOnAfterTheHallIsKilled) {
    const scratch_dir data;
    const std::vector<std::string> lines = linesof(playthroughrun());
    const std::size_t half = lines.size() / 2;
    std::int64_t id = 0;
    std::string token;
    {
        hall_server hall(data.path, testoptions());
        live_player player(hall.port);
        player.socket.send(batch(lines, 0, half));
        ASSERT_TRUE(hallhas(player.socket, half));
        id = player.id, token = player.token;
        hall.stop(SIGKILL);
    }
    hall_server hall(data.path, testoptions());
    EXPECT_EQ(liveinfo(hall.port)["games"][0]["lines"], half);
    live_player player(hall.port, {{"game", id}, {"token", token}});
    EXPECT_EQ(player.have, half);
    player.socket.send(batch(lines, player.have, lines.size()));
    const json end = nexttold(player.socket);
    ASSERT_TRUE(end["run"].is_number()) << end.dump();
    EXPECT_TRUE(end["witnessed"] == true || end["reason"] != "") << end.dump();
    const json runs = json::parse(fetch(hall.port, "GET", "/api/runs").body);
    EXPECT_EQ(runs["total"], 1);
    EXPECT_EQ(runs["runs"][0]["witnessed"], end["witnessed"]);
}

// Sends the recording's lines as its claimed times come, each when the time since the first
// line's sending has reached the time the recording claims for it.
void sendpaced(live_socket &socket, const std::vector<std::string> &lines) {
    const auto start = std::chrono::steady_clock::now();
    std::int64_t claimed = 0;
    std::size_t sent = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (lines[n][0] >= '0' && lines[n][0] <= '9') claimed += std::stoll(lines[n]);
        const auto due = start + std::chrono::milliseconds(claimed);
        if (std::chrono::steady_clock::now() < due) {
            if (n > sent) socket.send(batch(lines, sent, n));
            sent = n;
            std::this_thread::sleep_until(due);
        }
    }
    socket.send(batch(lines, sent, lines.size()));
}

TEST(Live, WitnessedOnlyWhenItsLinesCameAtTheTimesTheyClaim) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    struct witness_case {
        const char *what;
        std::string run;
        bool paced;
        bool witnessed;
        const char *reason; // a part of it
    };
    const witness_case cases[] = {
        {"sent at the pace it claims", playthroughrun(), true, true, ""},
        // Another game, said to have begun 5 s earlier: its first key 5 s after its start, sent
        // in one go with the rest.
        {"7 s of play sent at once", startedearlier(playthroughrun(1), 5000), false, false,
         "s before the time the recording claims for it"},
    };
    for (const witness_case &c : cases) {
        SCOPED_TRACE(c.what);
        live_player player(hall.port);
        if (c.paced)
            sendpaced(player.socket, linesof(c.run));
        else
            player.socket.send(batch(linesof(c.run), 0, linesof(c.run).size()));
        const json end = nexttold(player.socket);
        ASSERT_TRUE(end["run"].is_number()) << end.dump();
        EXPECT_EQ(end["witnessed"], c.witnessed) << end.dump();
        EXPECT_NE(end["reason"].get<std::string>().find(c.reason), std::string::npos) << end.dump();
        const std::string id = std::to_string(end["run"].get<std::int64_t>());
        const json listed = json::parse(fetch(hall.port, "GET", "/api/runs/" + id).body);
        EXPECT_EQ(listed["witnessed"], c.witnessed);
        EXPECT_EQ(listed["witness_reason"], end["reason"]);
    }
    // An upload is never witnessed: the hall did not see it played.
    const reply uploaded = submit(hall.port, playthroughrun(2));
    ASSERT_EQ(uploaded.status, 201) << uploaded.body;
    EXPECT_EQ(json::parse(uploaded.body)["witnessed"], false);
}

// What the hall answers `sent` after the game has begun (or as the first message, for a null
// game), in a hall of its own.
TEST(Live, RefusesWhatIsNotALiveGamesLines) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--live-per-address", "2"}));
    const std::string header = "orbridden-recording 1\ngame 1.0\n";
    const std::string wide(1000, 'w');
    struct refused_case {
        const char *what;
        std::vector<std::string> sent; // after the game has begun
        const char *error;             // a part of it
    };
    std::vector<std::string> toolong = {batch({header}, 0, 1)};
    for (std::size_t n = 1; toolong.size() < 20;) {
        std::vector<std::string> many(n, "");
        for (int i = 0; i < 250; ++i) many.push_back(wide + '\n');
        toolong.push_back(batch(many, n, many.size()));
        n = many.size();
    }
    const refused_case cases[] = {
        {"a gap",
         {batch({header}, 0, 1), json{{"from", 5}, {"lines", "w\n"}}.dump()},
         "begin at line 5, but the hall has only 2"},
        {"no JSON", {"lines"}, "JSON object"},
        {"no from", {json{{"lines", header}}.dump()}, "{\"from\": N"},
        {"a line cut short", {json{{"from", 0}, {"lines", "orbridden"}}.dump()}, "whole"},
        {"another format", {json{{"from", 0}, {"lines", "hello\n"}}.dump()}, "starts with"},
        {"a line too long",
         {json{{"from", 0}, {"lines", header + wide + wide + "\n"}}.dump()},
         "at most 1024 bytes"},
        {"a binary byte", {json{{"from", 0}, {"lines", "\x01\n"}}.dump()}, "printable ASCII"},
        {"more than a recording holds", toolong, "passed what a recording may hold"},
    };
    for (const refused_case &c : cases) {
        SCOPED_TRACE(c.what);
        live_player player(hall.port);
        for (const std::string &m : c.sent) player.socket.send(m);
        const json said = nexttold(player.socket);
        EXPECT_NE(said.value("error", "").find(c.error), std::string::npos) << said.dump();
        EXPECT_EQ(player.socket.receive(), ""); // and closed
    }

    const auto refusal = [&](const json &hello) {
        live_socket socket(hall.port, "/api/live/play");
        socket.send(hello.dump());
        return message(socket).value("error", "");
    };
    live_player one(hall.port);
    EXPECT_NE(refusal({{"game", one.id}, {"token", std::string(32, '0')}}).find("no live game"),
              std::string::npos);
    EXPECT_NE(refusal({{"game", 99}, {"token", one.token}}).find("no live game"),
              std::string::npos);
    EXPECT_NE(refusal({{"hello", 1}}).find("the first message"), std::string::npos);
    // Two games at once from this address, and no third.
    auto two = std::make_unique<live_player>(hall.port);
    EXPECT_NE(refusal({{"game", nullptr}}).find("plays 2 live games already"), std::string::npos);
    two.reset();
    EXPECT_TRUE(eventually([&] {
        try {
            return live_player(hall.port).id > 0;
        } catch (const std::exception &) {
            return false;
        }
    }));
}

TEST(Live, AnIdleGameIsClosedAndGoesOnLater) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--live-idle", "1"}));
    const std::vector<std::string> lines = linesof(playthroughrun());
    std::unique_ptr<live_player> player = std::make_unique<live_player>(hall.port);
    player->socket.send(batch(lines, 0, 100));
    const json closed = nexttold(player->socket);
    EXPECT_NE(closed.value("error", "").find("no line came for 1 s"), std::string::npos)
        << closed.dump();
    EXPECT_EQ(player->socket.receive(), "");
    player = std::make_unique<live_player>(hall.port, *player);
    EXPECT_EQ(player->have, 100u);
    player->socket.send(batch(lines, 100, lines.size()));
    EXPECT_TRUE(nexttold(player->socket)["run"].is_number());
}

} // namespace
