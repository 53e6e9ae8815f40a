#include "ui/deck/DeckControls.h"

#include "core/Messages.h"
#include "engine/beat/BeatPhase.h"
#include "engine/deck/Deck.h"
#include "engine/mix/DeckCommands.h"

namespace {

constexpr int kPitchPageStep = 102;
constexpr int kPitchStep = 8;
constexpr int kJoystickSync = 515;  // button 2 just pressed while buttons 1 and 2 are down
constexpr int kPressedSelect = 0;
constexpr int kPressedMinimise = 14;
constexpr int kPressedClose = 15;
constexpr int kPressedPitchReset = 16;
constexpr int kPressedPerDeck = 7;

}  // namespace

DeckControls::DeckControls(Host& host, DeckCommands& commands) : host_(host), commands_(commands) {}

bool DeckControls::onKeyDown(int key) {
    if (host_.typing()) {
        if (key == vk::kEscape) {
            host_.stopTyping();
            return true;
        }
        if (key == vk::kReturn) {
            host_.search();
            return true;
        }
        return false;
    }
    const int d = host_.currentDeck();
    Deck& deck = host_.deck(d);
    const int pitch = deck.pitch();
    switch (key) {
        case vk::kTab:
            commands_.selectDeck(1 - d);
            return true;
        case vk::kEscape:
            deck.requestPlay();
            [[fallthrough]];
        case vk::kReturn:
            if (commands_.syncTempo(d)) {
                commands_.alignBeat(d);
            }
            return true;
        case vk::kSpace:
            deck.requestPlay();
            return true;
        case vk::kPageUp:
            commands_.setPitch(d, pitch - kPitchPageStep);
            return true;
        case vk::kPageDown:
            commands_.setPitch(d, pitch + kPitchPageStep);
            return true;
        case vk::kLeft:
            deck.requestMove((pitch * 256) / 4096);
            return true;
        case vk::kRight:
            deck.requestMove(-(pitch * 256) / 4096);
            return true;
        case vk::kUp:
            commands_.setPitch(d, pitch - kPitchStep);
            return true;
        case vk::kDown:
            commands_.setPitch(d, pitch + kPitchStep);
            return true;
        case vk::kDelete:
            host_.deleteSelectedRows();
            return true;
        case 'L':
            deck.requestPlayFromCue();
            return true;
        case 'M':
            deck.setCueHere();
            return true;
        case 'N':
            commands_.skipBeat(d);
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
        commands_.showBrowserPage(key - vk::kF1);
        return true;
    }
    return key >= vk::kA && key <= vk::kZ;  // letters never reach the browser's lists
}

bool DeckControls::deckButtonDown(int index, int x, int y) {
    const DeckControlMap& map = kDeckControls[index];
    Deck& deck = host_.deck(index);
    const int pressed = index * kPressedPerDeck;
    if (map.select.contains(x, y)) {
        commands_.selectDeck(index);
        host_.flashButton(kPressedSelect + pressed);
    } else if (map.mem.contains(x, y)) {
        host_.flashButton(1 + pressed);
        deck.setCueHere();
    } else if (map.stop.contains(x, y)) {
        host_.flashButton(2 + pressed);
        deck.pressCue();
    } else if (map.pause.contains(x, y)) {
        host_.flashButton(3 + pressed);
        deck.requestPause();
    } else if (map.play.contains(x, y)) {
        host_.flashButton(4 + pressed);
        deck.requestPlay();
    } else if (map.skip.contains(x, y)) {
        host_.flashButton(5 + pressed);
        commands_.skipBeat(index);
    } else if (map.sync.contains(x, y)) {
        if (commands_.syncTempo(index)) {
            host_.flashButton(6 + pressed);
            commands_.alignBeat(index);
        }
    } else if (map.bpmAdopt.contains(x, y)) {
        adoptLocalBpm(deck.beatDetector());
    } else if (map.pitchReset.contains(x, y)) {
        host_.flashButton(kPressedPitchReset + index);
        commands_.setPitch(index, Deck::kUnityPitch);
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
        if (!left && kBpmDisplay[index].contains(x, y) && host_.deck(index).isLoaded()) {
            host_.showBpmMenu(index, x, y);
            return;
        }
        if (kDeckControls[index].disc.contains(x, y)) {
            if (const auto fraction = discSeekFraction(kDeckControls[index].disc, x, y)) {
                host_.deck(index).requestSeek(*fraction);
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
                commands_.setPitch(index, *pitch);
                pitchDragDeck_ = index;
            }
            return;
        }
    }
    if (onMixPad(x, y)) {
        mixPadDragging_ = true;
        mixPadMove(x, y);
    }
}

void DeckControls::upperButtonDown(bool left, int x, int y) {
    if (host_.onMixingPage() && onNudgeStrip(x, y)) {
        nudgeDragDeck_ = left ? host_.currentDeck() : 1 - host_.currentDeck();
        nudgeLastX_ = x;
        return;
    }
    if (const int tab = pageTabAt(x, y); tab >= 0) {
        commands_.showBrowserPage(tab);
        return;
    }
    const WindowButton button = windowButtonAt(x, y);
    if (button == WindowButton::kMinimise) {
        host_.flashButton(kPressedMinimise);
        host_.minimiseWindow();
        host_.releaseButton();
    } else if (button == WindowButton::kClose) {
        host_.flashButton(kPressedClose);
        host_.releaseButton();
        host_.closeWindow();
    }
}

void DeckControls::mixPadMove(int x, int y) {
    commands_.stopAutoMix();  // a manual move takes over from the automatic mix
    const VolumePair volumes = mixPadVolumes(x, y);
    if (volumes == host_.deckVolumes()) {
        return;
    }
    commands_.setVolumes(volumes.deck0, volumes.deck1);
    host_.drawMixPad();
}

void DeckControls::onPointerMove(int x, int y) {
    if (nudgeDragDeck_ != -1) {
        Deck& deck = host_.deck(nudgeDragDeck_);
        deck.requestMove(nudgeSamples(nudgeLastX_, x, deck.pitch()));
        nudgeLastX_ = x;
    } else if (mixPadDragging_) {
        mixPadMove(x, y);
    } else if (pitchDragDeck_ >= 0) {
        const int index = pitchDragDeck_;
        if (const auto pitch = pitchFromArc(arcDx(index, x), arcDy(y))) {
            commands_.setPitch(index, *pitch);
        }
    } else if (host_.draggingRows()) {
        host_.showDragCursor(x, y);
    } else if (host_.onMixingPage() && onNudgeStrip(x, y)) {
        host_.showNudgeCursor();
    } else {
        host_.showArrowCursor();  // the window's own cursor everywhere else
    }
}

void DeckControls::onButtonUp(int x, int y) {
    mixPadDragging_ = false;
    pitchDragDeck_ = -1;
    nudgeDragDeck_ = -1;
    if (host_.buttonFlashed()) {
        host_.releaseButton();
    }
    if (host_.draggingRows()) {
        host_.dropRows(x, y);
    }
}

void DeckControls::onJoystickMove(int buttons, int x, int y) {
    if (!host_.joystickOpen()) {
        return;
    }
    const VolumePair volumes = host_.joystickMix(x, y);
    if (!host_.moveJoystickRing(volumes)) {
        return;
    }
    if (buttons == 1) {
        commands_.stopAutoMix();
        if (volumes != host_.deckVolumes()) {
            commands_.setVolumes(volumes.deck0, volumes.deck1);
        }
    }
    host_.drawMixPad();
}

void DeckControls::onJoystickButton(int flags) {
    const int d = host_.currentDeck();
    if (flags == kJoystickSync && commands_.syncTempo(d)) {
        commands_.alignBeat(d);
    }
}
