// The script, a device in every build for tests, --verify and the fuzz target: its input is
// a string in memory, whose end is the end of the input; its output is kept in memory.
#include "core/device.hpp"

#include <algorithm>
#include <cstring>

namespace {

struct script_state {
    std::string input;
    std::size_t at = 0;
    std::string output;
};

script_state &script() {
    static script_state s;
    return s;
}

std::size_t readscript(char *buf, std::size_t size, text_console *) {
    script_state &s = script();
    const std::size_t n = std::min(size, s.input.size() - s.at);
    std::memcpy(buf, s.input.data() + s.at, n);
    s.at += n;
    return n;
}

} // namespace

const console_device script_device = {
    .openscreen = [] { return true; }, // the console in memory is its screen
    .closescreen = [] {},
    .prepare = [](read_need) {}, // the input is what it is, however it is read
    .draw = [](text_console &, bool) {},
    .write =
        [](std::string_view bytes) {
            script().output += bytes;
            return 0; // no system call
        },
    .ready = [](int, text_console *) { return script().at < script().input.size(); },
    .read = readscript,
};

void script_start(std::string_view input) {
    script_state &s = script();
    s.input.assign(input);
    s.at = 0;
    s.output.clear();
}

std::string script_output() {
    std::string out;
    out.swap(script().output);
    return out;
}
