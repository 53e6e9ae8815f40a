#pragma once

#include "TestPlayback.h"
#include "engine/deck/SoundSystem.h"
#include "engine/deck/TrackInfoStore.h"
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

// A sound system on test cards whose decks the test serves itself: its audio thread is stopped
// once open.
struct TestSoundSystem {
    TestSoundSystem(const SoundConfig& settings, const Deck::DecoderFactory& makeDecoder)
        : sound(backend, engine, makeDecoder) {
        engine.store = &store;
        engine.useDirectSound = settings.useDirectSound;
        openError = sound.openSound(settings);
        if (openError == nullptr) {
            sound.audioThread()->stop();
        }
    }

    Deck& deck(int index) { return *sound.deck(index); }
    // Blocks of every card, with both decks served after each.
    void play(int blocks) { playBlocks(backend, deck(0), deck(1), blocks); }

    TrackInfoStore store{{}, 1, 0};
    EngineState engine;
    TestBackend backend;
    SoundSystem sound;
    const char* openError = nullptr;
};
