#pragma once

#include <string>

// The tip of the skin's control under a point of the window (screen coordinates): the deck
// buttons, the page tabs and the window buttons; empty where there is none. Thread: any.
std::string controlTipAt(int x, int y);
