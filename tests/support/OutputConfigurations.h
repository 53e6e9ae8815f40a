#pragma once

#include "engine/sound/SoundConfig.h"

// Every kind of output: one card, two cards (with and without a mixing table), the four-speaker
// card (pairs and cue), and the level outputs on one card (mixed) and on two.
struct OutputConfiguration {
    const char* name;
    bool useDirectSound, useTwoCards, use3dCard, useMixTable;

    SoundConfig settings() const {
        SoundConfig settings;
        settings.useDirectSound = useDirectSound;
        settings.useTwoCards = useTwoCards;
        settings.use3dCard = use3dCard;
        settings.useMixTable = useMixTable;
        settings.splitCueOutput = !useMixTable && (use3dCard || useTwoCards);
        return settings;
    }
};

inline constexpr OutputConfiguration kOutputConfigurations[] = {
    {"one card", true, false, false, false},
    {"two cards, mixing table", true, true, false, true},
    {"two cards, cue", true, true, false, false},
    {"four speakers, pairs", true, false, true, true},
    {"four speakers, cue", true, false, true, false},
    {"level outputs, one card", false, false, false, false},
    {"level outputs, two cards", false, true, false, false},
};
