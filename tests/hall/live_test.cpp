// Live games against the real hall: a game played in batches with a spectator following it, cut
// and restored, carried over a killed hall and a full disk; which runs are witnessed; what a live
// game's player is refused; and what one address may hold of the hall's live games.
#include "client.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <set>
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
    live_player(unsigned short port, json hello = {{"game", nullptr}},
                const std::string &from = "127.0.0.1")
        : socket(port, "/api/live/play", from) {
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
    spectator(unsigned short port, std::int64_t id, std::size_t from = 0,
              const std::string &address = "127.0.0.1")
        : socket(port, "/api/live/" + std::to_string(id) + "/watch", address), lines(from) {
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
    // The games are loaded while the hall answers: a player coming back waits for them.
    live_player player(hall.port, {{"game", id}, {"token", token}});
    EXPECT_EQ(liveinfo(hall.port)["games"][0]["lines"], half);
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

// The recording's start, from its third line.
std::int64_t startof(const std::string &run) {
    return std::stoll(linesof(run).at(2).substr(6));
}

// A ✓ is for a game the hall saw played from its start, at the times it claims: each case in a
// hall whose clock reads, at its start, about the recording's start plus `late` ms.
TEST(Live, WitnessedOnlyWhenSeenPlayedFromItsStartAtTheTimesItClaims) {
    struct witness_case {
        const char *what;
        std::string run;
        std::int64_t late;
        bool paced;
        bool witnessed;
        const char *reason; // a part of it
    };
    const witness_case cases[] = {
        {"played now, at the pace it claims", playthroughrun(), 0, true, true, ""},
        // Its first key 5 s after its start, sent at once with the rest.
        {"played now, 7 s of it sent at once", startedearlier(playthroughrun(), 5000), 0, false,
         false, "s before the time the recording claims for it"},
        // A game played before, streamed at its pace: its start is not the hall's now.
        {"played a minute before, at its pace", playthroughrun(), 60'000, true, false,
         "s before its first line reached the hall"},
    };
    for (const witness_case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string &run = c.run;
        const scratch_dir data;
        // The hall's clock a moment behind, so that the time between its start and the first
        // line sent (however busy the machine) is not taken for lateness.
        hall_server hall(data.path,
                         testoptions({"--clock", std::to_string(std::max<std::int64_t>(
                                                     0, startof(run) + c.late - 1500))}));
        live_player player(hall.port);
        if (c.paced)
            sendpaced(player.socket, linesof(run));
        else
            player.socket.send(batch(linesof(run), 0, linesof(run).size()));
        const json end = nexttold(player.socket);
        ASSERT_TRUE(end["run"].is_number()) << end.dump();
        EXPECT_EQ(end["witnessed"], c.witnessed) << end.dump();
        EXPECT_NE(end["reason"].get<std::string>().find(c.reason), std::string::npos) << end.dump();
        const std::string id = std::to_string(end["run"].get<std::int64_t>());
        const json listed = json::parse(fetch(hall.port, "GET", "/api/runs/" + id).body);
        EXPECT_EQ(listed["witnessed"], c.witnessed);
        EXPECT_EQ(listed["witness_reason"], end["reason"]);
    }
}

// A game listed already is never listed again, witnessed or not: streamed at its pace from its
// start, an uploaded game's end says what the hall holds of it, the upload, not a ✓.
TEST(Live, AGameListedAlreadyStaysAsItWasListed) {
    const scratch_dir data;
    const std::string run = playthroughrun();
    std::int64_t uploaded = 0;
    {
        hall_server hall(data.path, testoptions());
        const reply r = submit(hall.port, run);
        ASSERT_EQ(r.status, 201) << r.body;
        EXPECT_EQ(json::parse(r.body)["witnessed"], false); // the hall did not see it played
        uploaded = json::parse(r.body)["id"].get<std::int64_t>();
    }
    hall_server hall(data.path, testoptions({"--clock", std::to_string(startof(run))}));
    live_player player(hall.port);
    spectator watching(hall.port, player.id);
    sendpaced(player.socket, linesof(run));
    const json end = nexttold(player.socket);
    EXPECT_EQ(end["run"], uploaded) << end.dump();
    EXPECT_EQ(end["witnessed"], false) << end.dump();
    EXPECT_NE(end["reason"].get<std::string>().find("listed already"), std::string::npos)
        << end.dump();
    ASSERT_TRUE(watching.follow(linesof(run).size()));
    EXPECT_EQ(message(watching.socket), end);
    const json runs = json::parse(fetch(hall.port, "GET", "/api/runs").body);
    EXPECT_EQ(runs["total"], 1);
    EXPECT_EQ(runs["runs"][0]["witnessed"], false);
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

// After a burst of messages the hall tells the player the last line it holds, once its messages
// have gone, not only some line before it.
TEST(Live, TheLastHaveComesAfterABurst) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    const std::vector<std::string> lines = linesof(playthroughrun());
    const std::size_t upto = lines.size() - 10; // not its end
    live_player player(hall.port);
    for (std::size_t n = 0; n < upto; n += 3)
        player.socket.send(batch(lines, n, std::min(n + 3, upto)));
    EXPECT_TRUE(hallhas(player.socket, upto));
}

// With its disk full partway through a game, the hall tells and keeps only the lines it stored:
// the player is let go (no error, so that it comes back), and the game goes on after a restart
// from the last line stored, with no gap, to the run the player played.
TEST(Live, LinesTheHallCouldNotStoreAreNeitherToldNorKept) {
    const scratch_dir data;
    const std::string run = playthroughrun();
    const std::vector<std::string> lines = linesof(run);
    std::int64_t id = 0;
    std::string token;
    std::size_t held = 0;
    {
        // Room for the database and part of its log: the lines fill it partway through.
        hall_server hall(data.path, testoptions(), 160 << 10);
        live_player player(hall.port);
        id = player.id, token = player.token;
        for (std::size_t n = 0; n < lines.size(); n += 50)
            player.socket.send(batch(lines, n, n + 50));
        std::size_t told = 0;
        for (json m; (m = message(player.socket)).is_object();) {
            ASSERT_TRUE(m.contains("have")) << m.dump(); // no error, no end
            told = m["have"].get<std::size_t>();
        }
        ASSERT_LT(told, lines.size()) << "the disk did not fill";
        live_player again(hall.port, player);
        held = again.have;
        EXPECT_GE(held, told);
        EXPECT_TRUE(
            fetch(hall.port, "GET", "/api/live/" + std::to_string(id) + "/recording").body ==
            joined(lines, 0, held));
    }
    hall_server hall(data.path, testoptions());
    live_player player(hall.port, {{"game", id}, {"token", token}});
    EXPECT_EQ(player.have, held);
    EXPECT_TRUE(fetch(hall.port, "GET", "/api/live/" + std::to_string(id) + "/recording").body ==
                joined(lines, 0, held));
    player.socket.send(batch(lines, player.have, lines.size()));
    const json end = nexttold(player.socket);
    ASSERT_TRUE(end["run"].is_number()) << end.dump();
    EXPECT_TRUE(fetch(hall.port, "GET",
                      "/api/runs/" + std::to_string(end["run"].get<std::int64_t>()) + "/recording")
                    .body == run);
}

// A game begun with one line, then left: it waits for its player. Its hello to go on with it.
json leftgame(unsigned short port, const std::vector<std::string> &lines,
              const std::string &from = "127.0.0.1") {
    live_player player(port, {{"game", nullptr}}, from);
    player.socket.send(batch(lines, 0, 1));
    EXPECT_TRUE(hallhas(player.socket, 1));
    return {{"game", player.id}, {"token", player.token}};
}

std::set<std::int64_t> liveids(unsigned short port) {
    std::set<std::int64_t> ids;
    const json info = liveinfo(port);
    for (const json &g : info["games"]) ids.insert(g["id"].get<std::int64_t>());
    return ids;
}

// What a new live game from `from` is refused with; empty when it is begun (and left).
std::string newgame(unsigned short port, const std::string &from = "127.0.0.1") {
    live_socket socket(port, "/api/live/play", from);
    socket.send(json{{"game", nullptr}}.dump());
    return message(socket).value("error", "");
}

// One address holds at most its live games, played or not: games begun and left with nothing in
// them, or refused, free their place at once; its own idle games go before it is refused, and,
// when the hall is full, anyone's idle game before a newcomer is refused.
TEST(Live, OneAddressHoldsAtMostItsGamesAndIdleOnesGoFirst) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--live-per-address", "3", "--live-games", "5"}));
    const std::vector<std::string> lines = linesof(playthroughrun());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(newgame(hall.port), "");
    for (int i = 0; i < 10; ++i) {
        live_player refused(hall.port);
        refused.socket.send("nonsense");
        EXPECT_NE(nexttold(refused.socket).value("error", ""), "");
    }
    EXPECT_TRUE(eventually([&] { return liveids(hall.port).empty(); }));

    std::vector<json> left;
    for (int i = 0; i < 3; ++i) left.push_back(leftgame(hall.port, lines));
    // A fourth game of the address takes the place of its oldest idle one...
    const live_player fourth(hall.port);
    const auto id = [](const json &hello) { return hello["game"].get<std::int64_t>(); };
    EXPECT_EQ(liveids(hall.port), (std::set<std::int64_t>{id(left[1]), id(left[2]), fourth.id}));
    // ...and with all three played, it gets no more.
    const live_player second(hall.port, left[1]), third(hall.port, left[2]);
    EXPECT_NE(newgame(hall.port).find("plays 3 live games already"), std::string::npos);

    // The hall full (five games): another address's idle game goes before a newcomer is refused.
    const json idle = leftgame(hall.port, lines, "127.0.0.2");
    const live_player other(hall.port, {{"game", nullptr}}, "127.0.0.2");
    EXPECT_EQ(liveids(hall.port).size(), 5u);
    const live_player newcomer(hall.port, {{"game", nullptr}}, "127.0.0.3");
    EXPECT_EQ(liveids(hall.port).count(id(idle)), 0u);
    EXPECT_NE(newgame(hall.port, "127.0.0.4").find("as many live games as it can take"),
              std::string::npos);
}

// Many new games at once never take more than the hall's bound.
TEST(Live, NewGamesAtOnceNeverPassTheHallsBound) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--live-games", "10"}));
    std::vector<std::unique_ptr<live_socket>> sockets;
    for (int i = 0; i < 24; ++i) {
        sockets.push_back(std::make_unique<live_socket>(hall.port, "/api/live/play",
                                                        "127.0.0." + std::to_string(10 + i / 3)));
        sockets.back()->send(json{{"game", nullptr}}.dump());
    }
    int begun = 0;
    for (auto &socket : sockets) begun += message(*socket).contains("token");
    EXPECT_EQ(begun, 10);
    EXPECT_EQ(liveids(hall.port).size(), 10u);
}

// One address takes at most its share of the spectators' places.
TEST(Live, OneAddressWatchesAtMostItsShare) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--spectators-per-address", "2"}));
    const json game = leftgame(hall.port, linesof(playthroughrun()));
    const std::int64_t id = game["game"].get<std::int64_t>();
    spectator one(hall.port, id), two(hall.port, id);
    EXPECT_THROW(spectator(hall.port, id), std::exception);
    spectator elsewhere(hall.port, id, 0, "127.0.0.2");
    EXPECT_TRUE(elsewhere.follow(1));
}

// A live game's end is verified under its address's rate, like a submission: one address that
// ends game after game waits its turn, and another's submission is answered meanwhile.
TEST(Live, EndsWaitForTheirAddresssTurn) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--rate", "1"}));
    const std::vector<std::string> lines = linesof(playthroughrun());
    live_player first(hall.port), second(hall.port);
    first.socket.send(batch(lines, 0, lines.size()));
    EXPECT_TRUE(nexttold(first.socket)["run"].is_number());
    second.socket.send(batch(lines, 0, lines.size()));
    // The address's one submission a minute went to the first end: the second waits, and so
    // does the address's next submission...
    EXPECT_TRUE(eventually([&] { return hallhas(second.socket, lines.size()); }));
    EXPECT_EQ(submit(hall.port, playthroughrun()).status, 429);
    // ...not another address's.
    const reply other = submit(hall.port, playthroughrun(), "127.0.0.2");
    EXPECT_TRUE(other.status == 200 || other.status == 201) << other.status << " " << other.body;
    EXPECT_EQ(liveids(hall.port), std::set<std::int64_t>{second.id});
}

} // namespace
