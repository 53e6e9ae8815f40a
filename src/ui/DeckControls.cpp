#include "ui/DeckControls.h"

#include <algorithm>
#include <cstdlib>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/Messages.h"
#include "beat/BeatPhase.h"
#include "browser/Browser.h"
#include "deck/Deck.h"
#include "deck/SharedValue.h"
#include "display/Screen.h"
#include "ui/ControlGeometry.h"
#include "ui/DeckArea.h"
#include "ui/TrackLoader.h"

namespace {

constexpr int kSlotFrames = 36;  // samples of a beat slot
constexpr int kFineLimit = 153;  // slots: a larger correction is not forced
constexpr int kPitchPageStep = 102;
constexpr int kPitchStep = 8;
constexpr int kJoystickSync = 515;  // button 2 just pressed while buttons 1 and 2 are down
constexpr int kPressedSelect = 0;
constexpr int kPressedMinimise = 14;
constexpr int kPressedClose = 15;
constexpr int kPressedPitchReset = 16;
constexpr int kPressedPerDeck = 7;

// The pitch a deck plays at once its requests are taken up: a tempo match waits for the next
// service step, and a beat placed by the pitch before it would drift off at once.
int requestedPitch(const Deck& deck) {
    const int pending = deck.pendingPitch();
    return pending != 0 ? pending : deck.pitch();
}

}  // namespace

DeckControls::DeckControls(Application& app) : app_(app) {}

bool DeckControls::onKeyDown(int key) {
    if (app_.textEntryActive) {
        if (key == vk::kEscape) {
            app_.textEntryActive = false;
            return true;
        }
        if (key == vk::kReturn) {
            app_.browser().clickSearchButton();
            return true;
        }
        return false;
    }
    const int d = app_.selectedDeck;
    Deck& deck = app_.deck(d);
    const int pitch = deck.pitch();
    switch (key) {
        case vk::kTab:
            selectDeck(1 - d);
            return true;
        case vk::kEscape:
            deck.requestPlay();
            [[fallthrough]];
        case vk::kReturn:
            if (syncTempo(d)) {
                alignBeat(d);
            }
            return true;
        case vk::kSpace:
            deck.requestPlay();
            return true;
        case vk::kPageUp:
            setPitch(d, pitch - kPitchPageStep);
            return true;
        case vk::kPageDown:
            setPitch(d, pitch + kPitchPageStep);
            return true;
        case vk::kLeft:
            deck.requestMove((pitch * 256) / 4096);
            return true;
        case vk::kRight:
            deck.requestMove(-(pitch * 256) / 4096);
            return true;
        case vk::kUp:
            setPitch(d, pitch - kPitchStep);
            return true;
        case vk::kDown:
            setPitch(d, pitch + kPitchStep);
            return true;
        case vk::kDelete:
            app_.browser().deleteSelected();
            return true;
        case 'L':
            deck.requestPlayFromCue();
            return true;
        case 'M':
            deck.setCueHere();
            return true;
        case 'N':
            skipBeat(d);
            return true;
        case 'P':
            deck.requestPause();
            return true;
        case 'S':
            deck.pressCue();
            return true;
        default:
            break;
    }
    if (key >= vk::kF1 && key <= vk::kF6) {
        showBrowserPage(key - vk::kF1);
        return true;
    }
    return key >= vk::kA && key <= vk::kZ;  // letters never reach the browser's lists
}

void DeckControls::setPitch(int index, int pitch) {
    Deck& deck = app_.deck(index);
    if (pitch == deck.pitch()) {
        return;
    }
    pitch = std::clamp(pitch, Deck::kMinPitch, Deck::kMaxPitch);
    deck.requestPitch(pitch);
    app_.deckArea().drawPitch(index, pitch);
}

bool DeckControls::syncTempo(int index) {
    Deck& deck = app_.deck(index);
    if (!deck.matchTempo(app_.deck(1 - index).effectiveBpm())) {
        return false;
    }
    deck.setPitchFromUser(false);
    app_.deckArea().drawPitch(index, requestedPitch(deck));
    return true;
}

void DeckControls::align(int index, bool fine) {
    Deck& deck = app_.deck(index);
    const Deck& other = app_.deck(1 - index);
    const int next = nextBeatOffset(other.beatView());
    const int target = next * requestedPitch(deck) / requestedPitch(other);
    const int r = findBeatNear(deck.beatView(), target);
    if (!fine || std::abs(r) < kFineLimit) {
        deck.requestMove(r * kSlotFrames);
    }
}

void DeckControls::alignBeat(int index) {
    align(index, false);
}

void DeckControls::alignBeatFine(int index) {
    align(index, true);
}

void DeckControls::skipBeat(int index) {
    Deck& deck = app_.deck(index);
    const Deck& other = app_.deck(1 - index);
    const int beat = beatLengthSlots(loadShared(deck.record().bpm));
    const int next = nextBeatOffset(other.beatView());
    const int target = beat + next * requestedPitch(deck) / requestedPitch(other);
    const int found = findBeatNear(deck.beatView(), target);
    deck.requestMove((beat + found) * kSlotFrames);
}

void DeckControls::selectDeck(int index) {
    app_.selectedDeck = index;
    app_.deck(1 - index).setCueVolume(0);
    app_.deck(index).setCueVolume(app_.cueLevel);  // the cue output follows the selection
    app_.deckArea().repaintAll();
}

void DeckControls::showBrowserPage(int page) {
    app_.browserPage = page;
    app_.browser().showPage(page);
    app_.invalidate(QRect(0, 0, 450, 50));
}

void DeckControls::stopAutoMix() {
    if (app_.autoMixTimer != 0) {
        app_.killTimer(timer::kAutoMix);
        app_.autoMixTimer = 0;
        app_.browser().setMixNowPushed(false);
    }
}

void DeckControls::setVolumes(int deck0, int deck1) {
    app_.deckVolume = {deck0, deck1};
    app_.deck(0).setVolume(deck0);
    app_.deck(1).setVolume(deck1);
}

bool DeckControls::deckButtonDown(int index, int x, int y) {
    const DeckControlMap& map = kDeckControls[index];
    Deck& deck = app_.deck(index);
    DeckArea& area = app_.deckArea();
    const int pressed = index * kPressedPerDeck;
    if (map.select.contains(x, y)) {
        selectDeck(index);
        area.flashButton(kPressedSelect + pressed);
    } else if (map.mem.contains(x, y)) {
        area.flashButton(1 + pressed);
        deck.setCueHere();
    } else if (map.stop.contains(x, y)) {
        area.flashButton(2 + pressed);
        deck.pressCue();
    } else if (map.pause.contains(x, y)) {
        area.flashButton(3 + pressed);
        deck.requestPause();
    } else if (map.play.contains(x, y)) {
        area.flashButton(4 + pressed);
        deck.requestPlay();
    } else if (map.skip.contains(x, y)) {
        area.flashButton(5 + pressed);
        skipBeat(index);
    } else if (map.sync.contains(x, y)) {
        if (syncTempo(index)) {
            area.flashButton(6 + pressed);
            alignBeat(index);
        }
    } else if (map.bpmAdopt.contains(x, y)) {
        adoptLocalBpm(deck.beatDetector());
    } else if (map.pitchReset.contains(x, y)) {
        area.flashButton(kPressedPitchReset + index);
        setPitch(index, Deck::kUnityPitch);
    } else {
        return false;
    }
    return true;
}

void DeckControls::onButtonDown(bool left, int x, int y) {
    if (y < 300) {
        upperButtonDown(left, x, y);
        return;
    }
    for (int index = 0; index < 2; ++index) {
        if (kDeckControls[index].disc.contains(x, y)) {
            if (const auto fraction = discSeekFraction(kDeckControls[index].disc, x, y)) {
                app_.deck(index).requestSeek(*fraction);
            }
            return;
        }
    }
    for (int index = 0; index < 2; ++index) {
        if (deckButtonDown(index, x, y)) {
            return;
        }
    }
    for (int index = 0; index < 2; ++index) {
        if (onPitchArc(index, x, y)) {
            if (const auto pitch = pitchFromArc(arcDx(index, x), arcDy(y))) {
                setPitch(index, *pitch);
                app_.pitchDragDeck = index;
            }
            return;
        }
    }
    if (onMixPad(x, y)) {
        app_.mixPadDragging = true;
        mixPadMove(x, y);
    }
}

void DeckControls::upperButtonDown(bool left, int x, int y) {
    if (app_.browserPage == Application::kMixingPage && onNudgeStrip(x, y)) {
        app_.nudgeDragDeck = left ? app_.selectedDeck.load() : 1 - app_.selectedDeck;
        app_.nudgeLastX = x;
        return;
    }
    if (const int tab = pageTabAt(x, y); tab >= 0) {
        showBrowserPage(tab);
        return;
    }
    if (y >= 5 && y < 20) {
        MainWindow* window = app_.window();
        if (x >= 752 && x <= 768) {
            app_.deckArea().flashButton(kPressedMinimise);
            window->window()->showMinimized();
            app_.deckArea().releaseButton();
        } else if (x >= 774 && x <= 790) {
            app_.deckArea().flashButton(kPressedClose);
            app_.deckArea().releaseButton();
            window->close();
        }
    }
}

void DeckControls::mixPadMove(int x, int y) {
    stopAutoMix();  // a manual move takes over from the automatic mix
    const VolumePair volumes = mixPadVolumes(x, y);
    if (volumes.deck0 == app_.deckVolume[0] && volumes.deck1 == app_.deckVolume[1]) {
        return;
    }
    setVolumes(volumes.deck0, volumes.deck1);
    app_.deckArea().drawMixPad();
}

void DeckControls::onPointerMove(int x, int y) {
    if (app_.nudgeDragDeck != -1) {
        Deck& deck = app_.deck(app_.nudgeDragDeck);
        deck.requestMove(nudgeSamples(app_.nudgeLastX, x, deck.pitch()));
        app_.nudgeLastX = x;
    } else if (app_.mixPadDragging) {
        mixPadMove(x, y);
    } else if (app_.pitchDragDeck >= 0) {
        const int index = app_.pitchDragDeck;
        if (const auto pitch = pitchFromArc(arcDx(index, x), arcDy(y))) {
            setPitch(index, *pitch);
        }
    } else if (app_.browser().dragCount() > 0) {
        app_.loader().showDragCursor(x, y);
    } else if (app_.browserPage == Application::kMixingPage && onNudgeStrip(x, y)) {
        app_.showCursor(app_.skin.nudge);
    } else {
        app_.showCursor(Qt::ArrowCursor);  // the window's own cursor everywhere else
    }
}

void DeckControls::onButtonUp(int x, int y) {
    app_.mixPadDragging = false;
    app_.pitchDragDeck = -1;
    app_.nudgeDragDeck = -1;
    if (app_.flashedButton != -1) {
        app_.deckArea().releaseButton();
    }
    if (app_.browser().dragCount() > 0) {
        app_.loader().dropBrowserItems(x, y);
    }
}

void DeckControls::onJoystickMove(int buttons, int x, int y) {
    if (!app_.joystickEnabled) {
        return;
    }
    const VolumePair volumes = joystickVolumes(x, y, app_.joystickMin[0], app_.joystickMin[1],
                                               app_.joystickRange[0], app_.joystickRange[1]);
    if (volumes.deck0 == app_.joystickVolume[0] && volumes.deck1 == app_.joystickVolume[1]) {
        return;
    }
    app_.joystickVolume = {volumes.deck0, volumes.deck1};
    if (buttons == 1) {
        stopAutoMix();
        if (volumes.deck0 != app_.deckVolume[0] || volumes.deck1 != app_.deckVolume[1]) {
            setVolumes(volumes.deck0, volumes.deck1);
        }
    }
    app_.deckArea().drawMixPad();
}

void DeckControls::onJoystickButton(int flags) {
    const int d = app_.selectedDeck;
    if (flags == kJoystickSync && syncTempo(d)) {
        alignBeat(d);
    }
}
