#pragma once

#include "engine/mix/AutoMixLogic.h"

// The automatic mix on the window's timer 149 (every AutoMixLogic::kStepPeriod ms while a mix
// runs; the port starts and stops it): each tick is one step of the mix. Main thread.
class AutoMixer {
  public:
    AutoMixer(DeckCommands& commands, AutoMixLogic::Port& port) : logic_(commands, port) {}

    // The decks' messages: mix into this deck, its track ended, its file loaded or not.
    void startAutoMix(int deck) { logic_.mixInto(deck); }
    void trackEnded(int deck) { logic_.trackEnded(deck); }
    void trackLoaded(int deck) { logic_.trackLoaded(deck); }
    void loadFailed(int deck) { logic_.loadFailed(deck); }
    // Timer 149.
    void onTimer() { logic_.step(); }
    // The "Mix Now !" button.
    void mixNow() { logic_.mixNow(); }
    void stop() { logic_.stop(); }

    const AutoMixLogic& logic() const { return logic_; }

  private:
    AutoMixLogic logic_;
};
