#include "ui/AutoMixer.h"

#include "app/Application.h"
#include "app/Messages.h"
#include "browser/Browser.h"
#include "deck/Deck.h"
#include "ui/DeckArea.h"
#include "ui/DeckControls.h"

namespace {

constexpr int kFadeInEnd = 16;
constexpr int kFadeOutStart = 48;
constexpr int kMixEnd = 64;
constexpr int kVolumeStep = 16;
constexpr int kFull = 256;

}  // namespace

AutoMixer::AutoMixer(Application& app) : app_(app) {}

void AutoMixer::setVolume(int deck, int volume) {
    app_.deckVolume[deck] = volume;
    app_.deck(deck).setVolume(volume);
}

void AutoMixer::startAutoMix(int a) {
    const int b = 1 - a;
    Deck& incoming = app_.deck(a);
    if (!app_.deck(b).playing() || incoming.playing() || !incoming.isPlayable()) {
        return;
    }
    if (app_.autoMixTimer != 0) {
        app_.killTimer(timer::kAutoMix);
    }
    // A deck whose pitch already came from tempo matching keeps it.
    if (incoming.pitchFromUser() && app_.engine.autoBpmEnabled) {
        app_.controls().syncTempo(a);
    }
    setVolume(b, kFull);
    setVolume(a, 0);
    app_.mixPadDragging = false;
    app_.deckArea().drawMixPad();
    incoming.requestPlay();
    tick_ = 0;
    target_ = a;
    app_.browser().setMixNowPushed(true);
    app_.startTimer(timer::kAutoMix, kStepPeriod);
    app_.autoMixTimer = timer::kAutoMix;
}

void AutoMixer::autoMixStep() {
    if (app_.autoMixTimer == 0) {
        return;  // a step left over from a mix that was stopped
    }
    const int t = target_;
    ++tick_;
    if (tick_ > kFadeInEnd && tick_ < kFadeOutStart && app_.browser().shortMix()) {
        tick_ = kFadeOutStart;
    }
    if (tick_ == kFadeInEnd) {
        app_.controls().selectDeck(1 - t);
    }
    if (tick_ == 1) {
        app_.controls().alignBeat(t);
    } else {
        app_.controls().alignBeatFine(tick_ <= kFadeInEnd ? t : 1 - t);
    }
    if (tick_ <= kFadeInEnd || tick_ >= kFadeOutStart) {
        if (tick_ <= kFadeInEnd) {
            setVolume(t, tick_ * kVolumeStep);
        } else {
            setVolume(1 - t, (kMixEnd - tick_) * kVolumeStep);
        }
        app_.mixPadDragging = false;
        app_.deckArea().drawMixPad();
    }
    if (tick_ >= kMixEnd) {
        app_.autoMixTimer = 0;
        app_.killTimer(timer::kAutoMix);
        app_.browser().setMixNowPushed(false);
        if (app_.engine.autoMixEnabled && !app_.browser().loadNextFromPlaylist(1 - t)) {
            app_.deck(1 - t).requestStop();  // nothing left to play: no silent deck left running
        }
    }
}

void AutoMixer::mixNow() {
    if (app_.autoMixTimer != 0) {
        app_.controls().stopAutoMix();
        return;
    }
    const int s = app_.selectedDeck;
    const int o = 1 - s;
    Deck& selected = app_.deck(s);
    Deck& other = app_.deck(o);
    if (!selected.playing() && !other.playing()) {
        if (other.isPlayable()) {
            other.requestPlay();
        } else if (selected.isPlayable()) {
            selected.requestPlay();
        }
    } else if (other.playing() && !selected.playing()) {
        if (selected.isPlayable()) {
            startAutoMix(s);
        }
    } else if (selected.playing() && !other.playing()) {
        if (other.isPlayable()) {
            startAutoMix(o);
        }
    }
}
