#pragma once

#include <string>

// The sound hardware the settings choose: which cards, how the decks reach them.
struct SoundConfig {
    bool useDirectSound = true;  // buffer outputs at a device volume; else level outputs
    bool use3dCard = false;      // one four-speaker card
    bool useTwoCards = false;
    bool useMixTable = false;  // an external mixing table takes one output per deck
    bool swap3dOutput = false;
    std::string soundCard;  // playback device names; empty means the default device
    std::string soundCard1;
    std::string soundCard2;

    // Derived: two outputs without a mixing table, each deck on the first at its volume and on
    // the second at its cue level.
    bool splitCueOutput = false;
};
