#include "ui/deck/DeckUiPorts.h"

#include <QWidget>

#include "core/Messages.h"
#include "engine/beat/TempoFix.h"
#include "engine/deck/Deck.h"
#include "engine/deck/EngineState.h"
#include "ui/Timers.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserPages.h"
#include "ui/deck/AutoMixer.h"
#include "ui/deck/BpmMenu.h"
#include "ui/deck/DeckUiState.h"
#include "ui/deck/TrackLoader.h"
#include "ui/display/Fonts.h"
#include "ui/display/Skin.h"

namespace {

constexpr QRect kTabStrip(0, 0, 450, 50);

}  // namespace

DeckUiPorts::DeckUiPorts(Parts parts)
    : parts_(parts),
      backBuffer_(800, 600, QImage::Format_RGB32),
      smallFont_(fittedFont(8, QStringLiteral("+10.0%"), 36)),
      mediumFont_(fittedFont(14, QStringLiteral("Total Time: 00:00.0"), 102)),
      largeFont_(fittedFont(18, QStringLiteral("global: 188.8 bpm"), 108)) {
    backBuffer_.fill(Qt::black);
    deckArea_ = std::make_unique<DeckArea>(*this, backBuffer_, parts.skin, smallFont_, mediumFont_,
                                           largeFont_);
    actions_ = std::make_unique<DeckActions>(*this);
    controls_ = std::make_unique<DeckControls>(*this, *actions_);
    loader_ = std::make_unique<TrackLoader>(TrackLoader::Parts{.engine = parts.engine,
                                                               .state = parts.state,
                                                               .timers = parts.timers,
                                                               .window = parts.window,
                                                               .browser = parts.browser,
                                                               .commands = *actions_,
                                                               .dialogs = parts.dialogs,
                                                               .skin = parts.skin,
                                                               .trackLoaded = parts.trackLoaded});
    autoMix_ = std::make_unique<AutoMixer>(*actions_, *this);
}

DeckUiPorts::~DeckUiPorts() = default;

Deck& DeckUiPorts::deck(int index) {
    return *parts_.engine.decks[index];
}

int DeckUiPorts::currentDeck() const {
    return parts_.state.selectedDeck.load();
}

VolumePair DeckUiPorts::deckVolumes() const {
    return {parts_.state.deckVolume[0], parts_.state.deckVolume[1]};
}

void DeckUiPorts::invalidate(const QRect& rect) {
    parts_.window.update(rect);
}

int DeckUiPorts::cueVolume() const {
    return parts_.state.cueLevel;
}

void DeckUiPorts::deckSelected(int deck) {
    parts_.state.selectedDeck = deck;
    deckArea_->repaintAll();
}

void DeckUiPorts::pitchChanged(int deck, int pitch) {
    deckArea_->drawPitch(deck, pitch);
}

void DeckUiPorts::pageChosen(int page) {
    parts_.state.browserPage = page;
    parts_.browser.showPage(page);
    parts_.window.update(kTabStrip);
}

void DeckUiPorts::volumesChanged(int deck0, int deck1) {
    parts_.state.deckVolume = {deck0, deck1};
}

void DeckUiPorts::stopMix() {
    autoMix_->stop();
}

bool DeckUiPorts::onMixingPage() const {
    return parts_.state.browserPage == kMixingPage;
}

bool DeckUiPorts::typing() const {
    return parts_.state.textEntryActive;
}

void DeckUiPorts::stopTyping() {
    parts_.state.textEntryActive = false;
}

void DeckUiPorts::search() {
    parts_.browser.clickSearchButton();
}

void DeckUiPorts::deleteSelectedRows() {
    parts_.browser.deleteSelected();
}

bool DeckUiPorts::draggingRows() const {
    return parts_.browser.dragCount() > 0;
}

void DeckUiPorts::showDragCursor(int x, int y) {
    loader_->showDragCursor(x, y);
}

void DeckUiPorts::dropRows(int x, int y) {
    loader_->dropBrowserItems(x, y);
}

void DeckUiPorts::flashButton(int index) {
    deckArea_->flashButton(index);
}

void DeckUiPorts::showBpmMenu(int deck, int x, int y) {
    if (!bpmMenu_) {
        bpmMenu_ = std::make_unique<BpmMenu>();
    }
    bpmMenu_->popup(parts_.window.mapToGlobal(QPoint(x, y)), [this, deck](TempoFix fix) {
        if (fixTempo(parts_.engine.decks[deck]->beatDetector(), fix)) {
            deckArea_->drawTimePanel(deck);  // with the BPM panel
        }
    });
}

void DeckUiPorts::releaseButton() {
    deckArea_->releaseButton();
}

bool DeckUiPorts::buttonFlashed() const {
    return deckArea_->flashedButton() != -1;
}

void DeckUiPorts::drawMixPad() {
    deckArea_->drawMixPad();
}

void DeckUiPorts::minimiseWindow() {
    parts_.window.window()->showMinimized();
}

void DeckUiPorts::closeWindow() {
    parts_.window.close();
}

void DeckUiPorts::showNudgeCursor() {
    parts_.window.setCursor(parts_.skin.nudge);
}

void DeckUiPorts::showArrowCursor() {
    parts_.window.setCursor(Qt::ArrowCursor);
}

bool DeckUiPorts::joystickOpen() const {
    return parts_.state.joystickEnabled;
}

VolumePair DeckUiPorts::joystickMix(int x, int y) const {
    return joystickVolumes(x, y, parts_.state.joystickMin[0], parts_.state.joystickMin[1],
                           parts_.state.joystickRange[0], parts_.state.joystickRange[1]);
}

bool DeckUiPorts::moveJoystickRing(VolumePair volumes) {
    if (volumes == VolumePair{parts_.state.joystickVolume[0], parts_.state.joystickVolume[1]}) {
        return false;
    }
    parts_.state.joystickVolume = {volumes.deck0, volumes.deck1};
    return true;
}

bool DeckUiPorts::windowActive() const {
    return parts_.state.active;
}

bool DeckUiPorts::pitchRedrawAsked() const {
    return parts_.engine.deckRedraw.load() != 0;
}

void DeckUiPorts::pitchRedrawn() {
    parts_.engine.deckRedraw = 0;
}

int DeckUiPorts::deckStatus(int deck) const {
    return parts_.engine.deckStatus[deck];
}

void DeckUiPorts::nameLoadedTracks(const TagLookup& tagsOf) {
    for (int deck = 0; deck < 2; ++deck) {
        if (loader_->nameLoadedTrack(deck, tagsOf)) {
            deckArea_->drawTitlePanel(deck);
        }
    }
}

const BrowserItem* DeckUiPorts::loadedItem(int deck) const {
    return loader_->loadedItem(deck);
}

std::optional<VolumePair> DeckUiPorts::joystickRing() const {
    if (!parts_.state.joystickEnabled) {
        return std::nullopt;
    }
    return VolumePair{parts_.state.joystickVolume[0], parts_.state.joystickVolume[1]};
}

const Deck& DeckUiPorts::mixDeck(int deck) const {
    return *parts_.engine.decks[deck];
}

void DeckUiPorts::play(int deck) {
    parts_.engine.decks[deck]->requestPlay();
}

void DeckUiPorts::stop(int deck) {
    parts_.engine.decks[deck]->requestStop();
}

void DeckUiPorts::setVolume(int deck, int volume) {
    parts_.state.deckVolume[deck] = volume;
    parts_.engine.decks[deck]->setVolume(volume);
    controls_->cancelMixPadDrag();
    deckArea_->drawMixPad();
}

bool DeckUiPorts::shortMix() const {
    return parts_.browser.shortMix();
}

bool DeckUiPorts::autoBpmOn() const {
    return parts_.engine.autoBpmEnabled != 0;
}

bool DeckUiPorts::autoMixOn() const {
    return parts_.engine.autoMixEnabled != 0;
}

bool DeckUiPorts::loadNextFromPlaylist(int deck) {
    return parts_.browser.loadNextFromPlaylist(deck);
}

bool DeckUiPorts::returnUnplayableRow(int deck) {
    const BrowserItem* item = loader_->loadedItem(deck);
    return item != nullptr && parts_.browser.returnUnplayable(deck, *item);
}

void DeckUiPorts::mixRunning(bool running) {
    if (running) {
        parts_.browser.setMixNowPushed(true);
        parts_.timers.startTimer(timer::kAutoMix, AutoMixLogic::kStepPeriod);
        parts_.state.autoMixTimer = timer::kAutoMix;
    } else {
        parts_.timers.killTimer(timer::kAutoMix);
        parts_.state.autoMixTimer = 0;
        parts_.browser.setMixNowPushed(false);
    }
}
