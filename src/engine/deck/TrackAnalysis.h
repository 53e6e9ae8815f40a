#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "core/TrackInfoRecord.h"
#include "engine/deck/Deck.h"
#include "engine/deck/Decoder.h"

// What a deck learns about a track by playing it from its start at normal pitch without seeks.
struct TrackAnalysis {
    int status = 0;  // the deck status the load and decoding left: 0, 153 or 156
    TrackInfoRecord record{};
    int durationSeconds = -1;
    bool stopped = false;  // given up on the stop signal: the rest is meaningless
};

// Plays the file through a deck of its own, as fast as the machine allows: the same decoder, ring,
// frame table and beat detector as a deck on the turntable, starting from a fresh record. Thread:
// any but the audio thread; it blocks on the file until the track is played through, or until
// `stop` (when given) is raised, which it looks at after every MP3 frame and while the file opens.
TrackAnalysis analyseTrack(const std::string& path, int32_t optimizedDetection,
                           const Deck::DecoderFactory& makeDecoder,
                           const std::atomic<bool>* stop = nullptr);
