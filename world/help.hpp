// The page of keys that `?` shows on the map.
#pragma once

// Shows the page of keys and waits for any key. It prints nothing after, so that its caller
// draws the frame it came from again.
void showhelp();
