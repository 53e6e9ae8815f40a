#include "app/DeckUiPorts.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/TrackLoader.h"
#include "core/Messages.h"
#include "engine/beat/TempoFix.h"
#include "engine/deck/Deck.h"
#include "ui/browser/Browser.h"
#include "ui/deck/AutoMixer.h"
#include "ui/deck/BpmMenu.h"

namespace {

constexpr QRect kTabStrip(0, 0, 450, 50);

}  // namespace

DeckUiPorts::DeckUiPorts(Application& app) : app_(app) {}

DeckUiPorts::~DeckUiPorts() = default;

Deck& DeckUiPorts::deck(int index) {
    return app_.deck(index);
}

int DeckUiPorts::currentDeck() const {
    return app_.selectedDeck.load();
}

VolumePair DeckUiPorts::deckVolumes() const {
    return {app_.deckVolume[0], app_.deckVolume[1]};
}

void DeckUiPorts::invalidate(const QRect& rect) {
    app_.invalidate(rect);
}

int DeckUiPorts::cueVolume() const {
    return app_.cueLevel;
}

void DeckUiPorts::deckSelected(int deck) {
    app_.selectedDeck = deck;
    app_.deckArea().repaintAll();
}

void DeckUiPorts::pitchChanged(int deck, int pitch) {
    app_.deckArea().drawPitch(deck, pitch);
}

void DeckUiPorts::pageChosen(int page) {
    app_.browserPage = page;
    app_.browser().showPage(page);
    app_.invalidate(kTabStrip);
}

void DeckUiPorts::volumesChanged(int deck0, int deck1) {
    app_.deckVolume = {deck0, deck1};
}

void DeckUiPorts::stopMix() {
    app_.autoMix().stop();
}

bool DeckUiPorts::onMixingPage() const {
    return app_.browserPage == Application::kMixingPage;
}

bool DeckUiPorts::typing() const {
    return app_.textEntryActive;
}

void DeckUiPorts::stopTyping() {
    app_.textEntryActive = false;
}

void DeckUiPorts::search() {
    app_.browser().clickSearchButton();
}

void DeckUiPorts::deleteSelectedRows() {
    app_.browser().deleteSelected();
}

bool DeckUiPorts::draggingRows() const {
    return app_.browser().dragCount() > 0;
}

void DeckUiPorts::showDragCursor(int x, int y) {
    app_.loader().showDragCursor(x, y);
}

void DeckUiPorts::dropRows(int x, int y) {
    app_.loader().dropBrowserItems(x, y);
}

void DeckUiPorts::flashButton(int index) {
    app_.deckArea().flashButton(index);
}

void DeckUiPorts::showBpmMenu(int deck, int x, int y) {
    if (!bpmMenu_) {
        bpmMenu_ = std::make_unique<BpmMenu>();
    }
    bpmMenu_->popup(app_.window()->mapToGlobal(QPoint(x, y)), [this, deck](TempoFix fix) {
        if (fixTempo(app_.deck(deck).beatDetector(), fix)) {
            app_.deckArea().drawTimePanel(deck);  // with the BPM panel
        }
    });
}

void DeckUiPorts::releaseButton() {
    app_.deckArea().releaseButton();
}

bool DeckUiPorts::buttonFlashed() const {
    return app_.deckArea().flashedButton() != -1;
}

void DeckUiPorts::drawMixPad() {
    app_.deckArea().drawMixPad();
}

void DeckUiPorts::minimiseWindow() {
    app_.window()->window()->showMinimized();
}

void DeckUiPorts::closeWindow() {
    app_.window()->close();
}

void DeckUiPorts::showNudgeCursor() {
    app_.showCursor(app_.skin.nudge);
}

void DeckUiPorts::showArrowCursor() {
    app_.showCursor(Qt::ArrowCursor);
}

bool DeckUiPorts::joystickOpen() const {
    return app_.joystickEnabled;
}

VolumePair DeckUiPorts::joystickMix(int x, int y) const {
    return joystickVolumes(x, y, app_.joystickMin[0], app_.joystickMin[1], app_.joystickRange[0],
                           app_.joystickRange[1]);
}

bool DeckUiPorts::moveJoystickRing(VolumePair volumes) {
    if (volumes == VolumePair{app_.joystickVolume[0], app_.joystickVolume[1]}) {
        return false;
    }
    app_.joystickVolume = {volumes.deck0, volumes.deck1};
    return true;
}

bool DeckUiPorts::windowActive() const {
    return app_.active;
}

bool DeckUiPorts::pitchRedrawAsked() const {
    return app_.engine.deckRedraw.load() != 0;
}

void DeckUiPorts::pitchRedrawn() {
    app_.engine.deckRedraw = 0;
}

int DeckUiPorts::deckStatus(int deck) const {
    return app_.engine.deckStatus[deck];
}

const BrowserItem* DeckUiPorts::loadedItem(int deck) const {
    return app_.lastLoadedItem[deck].get();
}

std::optional<VolumePair> DeckUiPorts::joystickRing() const {
    if (!app_.joystickEnabled) {
        return std::nullopt;
    }
    return VolumePair{app_.joystickVolume[0], app_.joystickVolume[1]};
}

bool DeckUiPorts::playing(int deck) const {
    return app_.deck(deck).playing();
}

bool DeckUiPorts::playable(int deck) const {
    return app_.deck(deck).isPlayable();
}

bool DeckUiPorts::pitchFromUser(int deck) const {
    return app_.deck(deck).pitchFromUser();
}

void DeckUiPorts::play(int deck) {
    app_.deck(deck).requestPlay();
}

void DeckUiPorts::stop(int deck) {
    app_.deck(deck).requestStop();
}

void DeckUiPorts::setVolume(int deck, int volume) {
    app_.deckVolume[deck] = volume;
    app_.deck(deck).setVolume(volume);
    app_.input().cancelMixPadDrag();
    app_.deckArea().drawMixPad();
}

bool DeckUiPorts::shortMix() const {
    return app_.browser().shortMix();
}

bool DeckUiPorts::autoBpmOn() const {
    return app_.engine.autoBpmEnabled != 0;
}

bool DeckUiPorts::autoMixOn() const {
    return app_.engine.autoMixEnabled != 0;
}

bool DeckUiPorts::loadNextFromPlaylist(int deck) {
    return app_.browser().loadNextFromPlaylist(deck);
}

void DeckUiPorts::mixRunning(bool running) {
    if (running) {
        app_.browser().setMixNowPushed(true);
        app_.startTimer(timer::kAutoMix, AutoMixLogic::kStepPeriod);
        app_.autoMixTimer = timer::kAutoMix;
    } else {
        app_.killTimer(timer::kAutoMix);
        app_.autoMixTimer = 0;
        app_.browser().setMixNowPushed(false);
    }
}
