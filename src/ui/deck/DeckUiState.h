#pragma once

#include <array>
#include <atomic>

// What the deck user interface remembers between events: the selected deck, the page on show,
// the volumes as the mix pad set them, the joystick's calibration and ring. Main thread, but for
// selectedDeck, which the display's refresh thread reads too.
struct DeckUiState {
    std::atomic<int> selectedDeck{0};
    int browserPage = 0;
    bool active = false;   // the window has the focus (full screen) or is on show
    int autoMixTimer = 0;  // the timer of a running mix, 0 when none runs
    std::array<int, 2> deckVolume{256, 256};  // 0..256
    int cueLevel = 256;
    bool textEntryActive = false;  // the search box has the keys
    bool joystickEnabled = false;
    std::array<int, 2> joystickMin{0, 0};
    std::array<int, 2> joystickRange{1, 1};
    std::array<int, 2> joystickVolume{128, 128};
};
