#include "ui/deck/TrackLoader.h"

#include <QWidget>
#include <utility>

#include "core/Messages.h"
#include "engine/deck/Deck.h"
#include "engine/deck/EngineState.h"
#include "engine/mix/DeckCommands.h"
#include "engine/panel/ControlGeometry.h"
#include "ui/Dialogs.h"
#include "ui/Timers.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserPages.h"
#include "ui/deck/DeckUiState.h"
#include "ui/display/Skin.h"

TrackLoader::TrackLoader(Parts parts) : parts_(std::move(parts)), dropping_(*this) {}

TrackLoader::~TrackLoader() = default;

void TrackLoader::loadTrack(int deck, const BrowserItem& item) {
    parts_.commands.stopAutoMix();
    // The item may be the deck's own: it is copied before it goes.
    auto loaded = std::make_unique<BrowserItem>(item);
    parts_.engine.decks[deck]->requestLoad(loaded->path);
    loaded_[deck] = std::move(loaded);
    // Told once the deck holds the item, which can then be named from its tags at once.
    if (parts_.trackLoaded) {
        parts_.trackLoaded(*loaded_[deck]);
    }
    const int historyTimer = timer::kHistoryDeck0 + deck;
    if (historyRunning_[deck]) {
        parts_.timers.killTimer(historyTimer);
    }
    parts_.timers.startTimer(historyTimer, kHistoryDelay);
    historyRunning_[deck] = true;
    parts_.commands.selectDeck(deck);
    if (parts_.state.browserPage == kFilesPage) {
        parts_.commands.showBrowserPage(kMixingPage);  // uncovers the beat view
    }
}

bool TrackLoader::nameLoadedTrack(int deck, const TagLookup& tagsOf) {
    if (loaded_[deck] == nullptr) {
        return false;
    }
    const ArtistTitle* tags = tagsOf(loaded_[deck]->path);
    return tags != nullptr && nameItemFromTags(*loaded_[deck], *tags);
}

void TrackLoader::historyDue(int deck) {
    if (loaded_[deck] != nullptr) {
        parts_.browser.addToHistory(*loaded_[deck]);
    }
    parts_.timers.killTimer(timer::kHistoryDeck0 + deck);
    historyRunning_[deck] = false;
}

void TrackLoader::loadFailed(int deck) {
    if (historyRunning_[deck]) {
        parts_.timers.killTimer(timer::kHistoryDeck0 + deck);
        historyRunning_[deck] = false;
    }
}

bool TrackLoader::deckIsFree(int deck) const {
    return parts_.engine.decks[deck]->isFree();
}

bool TrackLoader::loudlyPlaying(int deck) const {
    return parts_.engine.decks[deck]->playing() && parts_.state.deckVolume[deck] > kLoudVolume;
}

bool TrackLoader::confirmLoadOverMusic() {
    return parts_.dialogs.warning(
        QStringLiteral("Warning ! A music is still beeing played on this desk !"));
}

void TrackLoader::load(int deck, const BrowserItem& item) {
    loadTrack(deck, item);
}

std::vector<BrowserItem> TrackLoader::playlistEntries(const std::string& path) const {
    return parts_.browser.readPlaylistFile(path);
}

void TrackLoader::insertIntoPlaylist(int index, BrowserItem item) {
    parts_.browser.insertPlaylistItem(index, std::move(item));
}

bool TrackLoader::dropAllowed(int x, int y) const {
    for (int deck = 0; deck < 2; ++deck) {
        if (kDeckControls[deck].disc.contains(x, y)) {
            return !loudlyPlaying(deck);
        }
    }
    const Browser& browser = parts_.browser;
    const int page = parts_.state.browserPage;
    return (page == kFilesPage || page == kAutoMixPage) &&
           (browser.fileListArea().contains(x, y) ||
            (page == kAutoMixPage && browser.playlistArea().contains(x, y)));
}

void TrackLoader::beginRowDrag(int rows) {
    savedCursor_ = parts_.window.cursor();
    parts_.window.setCursor(rows > 1 ? parts_.skin.dragSeveral : parts_.skin.dragOne);
    parts_.window.grabMouse();
}

void TrackLoader::showDragCursor(int x, int y) {
    const bool several = parts_.browser.dragCount() > 1;
    const Skin& skin = parts_.skin;
    if (dropAllowed(x, y)) {
        parts_.window.setCursor(several ? skin.dragSeveral : skin.dragOne);
    } else {
        parts_.window.setCursor(several ? skin.refuseSeveral : skin.refuseOne);
    }
}

void TrackLoader::dropBrowserItems(int x, int y) {
    std::vector<BrowserItem> items = parts_.browser.takeDragItems();
    parts_.window.releaseMouse();
    drop(std::move(items), x, y);
    parts_.window.setCursor(savedCursor_.value_or(QCursor(Qt::ArrowCursor)));
    savedCursor_.reset();
}

std::vector<BrowserItem> TrackLoader::itemsForFiles(const std::vector<std::string>& paths) const {
    std::vector<BrowserItem> items;
    items.reserve(paths.size());
    for (const std::string& path : paths) {
        items.push_back(parts_.browser.itemForFile(path));
    }
    return items;
}

void TrackLoader::dropFiles(QPoint at, const std::vector<std::string>& paths) {
    drop(itemsForFiles(paths), at.x(), at.y());
}

void TrackLoader::openFiles(const std::vector<std::string>& paths) {
    dropping_.drop(itemsForFiles(paths), dropping_.freeDeck(parts_.state.selectedDeck),
                   parts_.browser.playlistSize());
}

void TrackLoader::drop(std::vector<BrowserItem> items, int x, int y) {
    for (int deck = 0; deck < 2; ++deck) {
        if (kDeckControls[deck].disc.contains(x, y)) {
            dropping_.drop(std::move(items), deck, 0);
            return;
        }
    }
    Browser& browser = parts_.browser;
    if (parts_.state.browserPage != kAutoMixPage || !browser.playlistArea().contains(x, y)) {
        return;  // anywhere else the dragged items are let go
    }
    int target = -1;
    if (browser.playlistSize() == 0 && parts_.engine.autoMixEnabled) {
        target = dropping_.freeDeck(parts_.state.selectedDeck);
    }
    dropping_.drop(std::move(items), target, browser.playlistDropIndex(QPoint(x, y)));
}
