// The loop every menu runs: draw, read a key, act on the keys that mean something, draw again.
#pragma once

#include "core/console.hpp"

#include <cstddef>
#include <functional>
#include <initializer_list>

// No key goes back: the menu leaves only when its action says so. (Keys compare as bytes 0 to
// 255, so no key equals it.)
inline constexpr int no_back = -1;

// Draws the menu and reads a key until the key `back` (0 unless the menu says otherwise) or an
// action that returns true leaves it. `act` carries out a key that means something; any other
// key only draws the menu again.
template <class Draw, class Act>
void menuloop(Draw &&draw, Act &&act, int back = '0') {
    for (;;) {
        draw();
        const char k = key();
        if (static_cast<unsigned char>(k) == back || act(k)) return;
    }
}

// A menu whose keys 1, 2, 3, ... each run one action and then draw the menu again; 0 goes back.
template <class Draw>
void menuchoices(Draw &&draw, std::initializer_list<std::function<void()>> actions) {
    menuloop(draw, [&](char k) {
        const auto choice = static_cast<std::size_t>(k - '1');
        if (k >= '1' && choice < actions.size()) actions.begin()[choice]();
        return false;
    });
}
