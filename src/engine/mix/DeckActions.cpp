#include "engine/mix/DeckActions.h"

#include <algorithm>
#include <cstdlib>

#include "core/SharedValue.h"
#include "engine/beat/BeatDetector.h"
#include "engine/beat/BeatPhase.h"
#include "engine/deck/Deck.h"

namespace {

constexpr int kFineLimit = 153;  // slots: a larger correction is not forced
// Beat slots (2.4 ms) a fine alignment lets pass: below it the measure is noise, and each move is
// heard as a short cross-fade.
constexpr int kFineDeadBand = 2;

// The pitch a deck plays at once its requests are taken up: a tempo match waits for the next
// service step, and a beat placed by the pitch before it would drift off at once.
int requestedPitch(const Deck& deck) {
    const int pending = deck.pendingPitch();
    return pending != 0 ? pending : deck.pitch();
}

}  // namespace

DeckActions::DeckActions(Host& host) : host_(host) {}

void DeckActions::setPitch(int index, int pitch) {
    Deck& deck = host_.deck(index);
    if (pitch == deck.pitch()) {
        return;
    }
    pitch = std::clamp(pitch, Deck::kMinPitch, Deck::kMaxPitch);
    deck.requestPitch(pitch);
    host_.pitchChanged(index, pitch);
}

bool DeckActions::syncTempo(int index) {
    Deck& deck = host_.deck(index);
    if (!deck.matchTempo(host_.deck(1 - index).effectiveBpm())) {
        return false;
    }
    deck.setPitchFromUser(false);
    host_.pitchChanged(index, requestedPitch(deck));
    return true;
}

void DeckActions::align(int index, bool fine) {
    Deck& deck = host_.deck(index);
    const Deck& other = host_.deck(1 - index);
    const BeatView lead = other.beatView();
    const BeatView follower = deck.beatView();
    const int leadPitch = requestedPitch(other);
    const int followerPitch = requestedPitch(deck);
    // A fine alignment starts from beats already together; a full one first finds the deck's beat
    // nearest the other's next.
    int move = 0;
    if (!fine) {
        move = findBeatNear(follower, nextBeatOffset(lead) * followerPitch / leadPitch);
    }
    move += beatLag(lead, follower, move, leadPitch, followerPitch);
    if (fine && (std::abs(move) < kFineDeadBand || std::abs(move) >= kFineLimit)) {
        return;
    }
    deck.requestMove(move * BeatDetector::kSlotFrames);
}

void DeckActions::alignBeat(int index) {
    align(index, false);
}

void DeckActions::alignBeatFine(int index) {
    align(index, true);
}

void DeckActions::skipBeat(int index) {
    Deck& deck = host_.deck(index);
    const Deck& other = host_.deck(1 - index);
    const int beat = beatLengthSlots(loadShared(deck.record().bpm));
    const int next = nextBeatOffset(other.beatView());
    const int target = beat + next * requestedPitch(deck) / requestedPitch(other);
    const int found = findBeatNear(deck.beatView(), target);
    deck.requestMove((beat + found) * BeatDetector::kSlotFrames);
}

void DeckActions::selectDeck(int index) {
    host_.deck(1 - index).setCueVolume(0);
    host_.deck(index).setCueVolume(host_.cueVolume());  // the cue output follows the selection
    host_.deckSelected(index);
}

void DeckActions::showBrowserPage(int page) {
    host_.pageChosen(page);
}

void DeckActions::stopAutoMix() {
    host_.stopMix();
}

void DeckActions::setVolumes(int deck0, int deck1) {
    host_.volumesChanged(deck0, deck1);
    host_.deck(0).setVolume(deck0);
    host_.deck(1).setVolume(deck1);
}
