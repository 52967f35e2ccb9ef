// Runs the real game binary in a pseudo-terminal, as a player at a terminal would.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <termios.h>
#include <vector>

struct pty_game {
    pid_t pid = -1;
    int master = -1;    // what the player types goes in here and the screen comes out
    int slave = -1;     // kept open so the terminal's settings can be read at any time
    int errpipe = -1;   // standard error, when it is kept apart from the screen
    std::string seen;   // everything the game has shown so far
    std::string errors; // what it wrote to a standard error kept apart, once it has ended
    termios initial{};  // the terminal's settings before the game started

    // Starts the game in `dir` (its score file goes there) with `args` after the program's name.
    // With `errors_apart`, standard error goes into `errors` instead of onto the screen.
    explicit pty_game(const std::string &dir, const std::vector<std::string> &args = {},
                      bool errors_apart = false);
    ~pty_game();

    void send(std::string_view keys);
    // Reads the screen until `text` has appeared after position `from` of `seen`; returns its
    // position, or fails the test after `timeout_ms` without it.
    std::size_t waitfor(std::string_view text, std::size_t from = 0, int timeout_ms = 10000);
    termios settings() const;
    // Waits for the game to end and returns its wait status.
    int finish();
};

// A fresh empty directory for one test.
std::string tempdir();
// Whether two terminal settings agree in every flag and control character.
bool samesettings(const termios &a, const termios &b);
