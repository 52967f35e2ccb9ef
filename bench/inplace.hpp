// The in-place console on a pseudo-terminal for the benchmarks: standard output goes to the
// terminal while a thread reads what reaches its screen and counts the bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

struct inplace_terminal {
    int master = -1, slave = -1;
    int saved_in = -1, saved_out = -1;
    std::atomic<std::uint64_t> received{0}; // bytes that reached the screen
    std::atomic<std::uint64_t> marks{0};    // marks seen (see `sync`)
    std::atomic<bool> stop{false};
    std::thread reader;

    // An 80x24 terminal on standard input and output, drawn by the in-place console.
    inplace_terminal();
    ~inplace_terminal();
    inplace_terminal(const inplace_terminal &) = delete;
    inplace_terminal &operator=(const inplace_terminal &) = delete;

    // Waits until everything written so far has reached the screen; returns the bytes so far.
    std::uint64_t sync();
};
