#pragma once

#include <cstdint>
#include <vector>

#include "MixMeasures.h"
#include "Session.h"

// Playing a set through the automatic mix, to measure what the card played.

// On the auto-mix page, the playlist file of the music folder into the playlist and "Auto Mix"
// on: its first two entries go onto the decks, the rest into the playlist. False when the decks
// never showed their titles.
bool loadTheSet(Session& s);
// A set of over a minute, then two seconds of silence: everything stopped.
bool waitForTheEnd(Session& s);
