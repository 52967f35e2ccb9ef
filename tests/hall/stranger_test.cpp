// The hall against one stranger's connections: what one address may hold of them, the first
// message a WebSocket owes, and the answers to requests that are not what they should be.
#include "client.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <future>

#include <utility> // before Asio, whose awaitable.hpp needs std::exchange

#include <boost/asio.hpp>

using json = nlohmann::json;
namespace asio = boost::asio;

namespace {

// What the hall answers to `request` sent as it is on a connection of its own: the status line,
// or empty where it closed without a word.
std::string rawanswer(unsigned short port, const std::string &request) {
    asio::io_context io;
    asio::ip::tcp::socket socket(io);
    socket.connect({asio::ip::make_address("127.0.0.1"), port});
    const timeval bound{60, 0};
    ::setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
    asio::write(socket, asio::buffer(request));
    std::string got;
    boost::system::error_code ec;
    asio::read_until(socket, asio::dynamic_buffer(got), "\r\n", ec);
    return got.substr(0, got.find("\r\n"));
}

// One address's connections, held open as spectators, take no more than its share: the next one
// from it is closed at once, while another address is answered.
TEST(HallStranger, OneAddressCannotTakeEveryConnection) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions({"--connections-per-address", "20",
                                             "--spectators-per-address", "100"}));
    live_socket player(hall.port, "/api/live/play", "127.0.0.2");
    player.send(json{{"game", nullptr}}.dump());
    const std::string id = std::to_string(json::parse(player.receive())["game"].get<long>());
    std::vector<std::unique_ptr<live_socket>> held;
    for (int i = 0; i < 20; ++i) {
        held.push_back(std::make_unique<live_socket>(hall.port, "/api/live/" + id + "/watch"));
        held.back()->send(json{{"from", 0}}.dump());
    }
    EXPECT_EQ(fetch(hall.port, "GET", "/api/live").status, 0);
    EXPECT_THROW(live_socket(hall.port, "/api/live/" + id + "/watch"), std::exception);
    EXPECT_EQ(fetch(hall.port, "GET", "/api/live", "", {}, "127.0.0.3").status, 200);
    held.clear();
    EXPECT_TRUE(eventually([&] { return fetch(hall.port, "GET", "/api/live").status == 200; }));
}

// A WebSocket that never says its first message is closed, pings answered or not.
TEST(HallStranger, AWebSocketOwesItsFirstMessage) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    live_socket player(hall.port, "/api/live/play", "127.0.0.2");
    player.send(json{{"game", nullptr}}.dump());
    const std::string id = std::to_string(json::parse(player.receive())["game"].get<long>());
    live_socket silent(hall.port, "/api/live/play");
    live_socket spectator(hall.port, "/api/live/" + id + "/watch");
    EXPECT_EQ(silent.receive(), "");
    EXPECT_EQ(spectator.receive(), "");
}

// HEAD is answered wherever GET is, with the head alone; a request the hall cannot read gets a
// 400 before the connection closes.
TEST(HallStranger, EveryRequestIsAnswered) {
    const scratch_dir data;
    hall_server hall(data.path, testoptions());
    for (const char *path : {"/api/runs", "/api/live", "/api/runs?sort=recent"}) {
        SCOPED_TRACE(path);
        const reply get = fetch(hall.port, "GET", path);
        const reply head = fetch(hall.port, "HEAD", path);
        EXPECT_EQ(head.status, 200);
        EXPECT_EQ(head.header("content-length"), std::to_string(get.body.size()));
        EXPECT_EQ(head.body, "");
    }
    EXPECT_EQ(fetch(hall.port, "HEAD", "/api/runs/99").status, 404);
    for (const char *request : {
             "GARBAGE\r\n\r\n",
             "GET /api/runs HTTP/x.y\r\nHost: h\r\n\r\n",
             "GET /api/runs HTTP/1.1\r\nHost h\r\n\r\n",
             "POST /api/runs HTTP/1.1\r\nHost: h\r\nContent-Length: x\r\n\r\n",
         }) {
        SCOPED_TRACE(request);
        EXPECT_EQ(rawanswer(hall.port, request), "HTTP/1.1 400 Bad Request");
    }
}

// One address waits in at most its share of the verifiers' queue (a quarter of it): its next
// submission is turned away while another address's still finds room.
TEST(HallStranger, OneAddressWaitsInAtMostItsShareOfTheQueue) {
    const scratch_dir dir;
    const held_verifier held(dir.path);
    hall_server hall(dir.path / "data",
                     testoptions({"--verifiers", "1", "--queue", "4", "--game", held.game}));
    const std::string run = playthroughrun();
    std::vector<std::future<reply>> mine;
    mine.push_back(std::async(std::launch::async, [&] { return submit(hall.port, run); }));
    ASSERT_TRUE(eventually([&] { return held.started(); }));
    // Of two more from the address, one waits in its place and one is turned away.
    for (int i = 0; i < 2; ++i)
        mine.push_back(std::async(std::launch::async, [&] { return submit(hall.port, run); }));
    const auto answered = [](std::future<reply> &f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    ASSERT_TRUE(eventually([&] { return answered(mine[1]) || answered(mine[2]); }));
    const reply turned = answered(mine[1]) ? mine[1].get() : mine[2].get();
    EXPECT_EQ(turned.status, 503) << turned.body;
    EXPECT_NE(turned.body.find("this address has 1 submissions waiting"), std::string::npos);
    auto other =
        std::async(std::launch::async, [&] { return submit(hall.port, run, "127.0.0.2"); });
    ASSERT_TRUE(eventually([&] {
        held.release();
        return answered(other);
    }));
    EXPECT_EQ(other.get().status, 422); // held, then refused: it was verified in its turn
}

} // namespace
