#pragma once

#include "engine/mix/AutoMixLogic.h"

// The automatic mix on the window's timer 149 (every AutoMixLogic::kStepPeriod ms while a mix
// runs; the port starts and stops it): each tick is one step of the mix. Main thread.
class AutoMixer {
  public:
    AutoMixer(DeckCommands& commands, AutoMixLogic::Port& port) : logic_(commands, port) {}

    // A mix into the deck (a deck's "mix into" message).
    void startAutoMix(int deck) { logic_.start(deck); }
    // Timer 149.
    void onTimer() { logic_.step(); }
    // The "Mix Now !" button.
    void mixNow() { logic_.mixNow(); }
    void stop() { logic_.stop(); }

    const AutoMixLogic& logic() const { return logic_; }

  private:
    AutoMixLogic logic_;
};
