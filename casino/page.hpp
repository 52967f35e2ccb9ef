// What the casino's wager menus share.
#pragma once

// The bet that the wager menus' keys 1, 2 and 3 place; 0 for any other key.
inline int betfor(char key) {
    switch (key) {
        case '1':
            return 10;
        case '2':
            return 25;
        case '3':
            return 50;
        default:
            return 0;
    }
}
