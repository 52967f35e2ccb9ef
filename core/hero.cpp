// The choice screen and the custom hero's adjusting screen.
#include "core/hero.hpp"

#include "core/console.hpp"

#include <string>

namespace {

constexpr player_rec oru{.power = 40, .armor = 35, .magic = 25, .name = padded<3>("Oru")};
constexpr player_rec vek{.power = 25, .armor = 45, .magic = 30, .name = padded<3>("Vek")};

// The cursor rows of the adjusting screen, top to bottom.
enum stat_row { power_row, armor_row, magic_row };

// A name may hold any printable ASCII character; every other is kept as '?'. Control codes
// would act on the terminal of whoever reads the score file. (A letter beyond ASCII already
// reads as one '?': as a code from 128 up it would become a brick on the name puzzle, where 206
// is a fixed wall that no push moves.)
char namechar(char c) {
    auto u = static_cast<unsigned char>(c);
    return u < 32 || u > 126 ? '?' : c;
}

void statrow(std::string_view label, int32 value, bool selected) {
    put(selected ? "-> " : "   ");
    put(label);
    put(" = ");
    putnum(value, 2);
    put("  ");
    putline(std::string(static_cast<std::size_t>(std::max(value / 2, 0)), '|'));
}

} // namespace

player_rec findidentity() {
    newlines(9);
    put("                       CHOOSE YOUR CHARACTER\n\n\n");
    put("     1) Oru             2) Vek              3) Custom Character\n\n");
    putline("        power => 40        power => 25");
    putline("        armor => 35        armor => 45");
    putline("        magic => 25        magic => 30");
    newlines(6);
    for (;;) {
        put("     CHOICE  : ");
        switch (linechar()) {
            case '1':
                return oru;
            case '2':
                return vek;
            case '3':
                return findfields();
        }
        putline("INVALID CHOICE!!!");
    }
}

player_rec findfields() {
    player_rec hero;
    put("     Enter your three letter name  : ");
    for (char &c : hero.name) {
        char typed;
        do typed = linechar();
        while (typed == ' ');
        c = namechar(typed);
    }
    newlines(1);

    std::array<int32, 3> value = {10, 10, 10}; // power, armor, magic
    int32 pointsleft = 70;
    int placement = power_row;
    while (pointsleft != 0) {
        put("Now to adjust your stats ");
        put(view(hero.name));
        putline(".                      8");
        putline("Use your up and down arrow keys                    |");
        putline("to select which stat to adjust,                 4<--->6");
        putline("then use right and left to spend                   |");
        putline("points on the stat you wish to                     2");
        putline("increase or decrease.");
        put("Points Left  : ");
        putnum(pointsleft, 11);
        newlines(4);
        statrow("Power", value[power_row], placement == power_row);
        newlines(1);
        statrow("Armor", value[armor_row], placement == armor_row);
        newlines(1);
        statrow("Magic", value[magic_row], placement == magic_row);
        newlines(8);

        switch (key()) {
            case '8':
                placement = (placement + 2) % 3;
                break;
            case '2':
                placement = (placement + 1) % 3;
                break;
            case '4':
                if (value[placement] >= 2) --value[placement], ++pointsleft;
                break;
            case '6':
                ++value[placement], --pointsleft;
                break;
        }
    }
    hero.power = value[power_row];
    hero.armor = value[armor_row];
    hero.magic = value[magic_row];
    return hero;
}
