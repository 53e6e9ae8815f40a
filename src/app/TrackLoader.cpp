#include "app/TrackLoader.h"

#include "app/AnalysisFeed.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "core/Messages.h"
#include "engine/deck/Deck.h"
#include "engine/panel/ControlGeometry.h"
#include "ui/Dialogs.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserPages.h"
#include "ui/deck/DeckControls.h"

TrackLoader::TrackLoader(Application& app) : app_(app) {}

void TrackLoader::loadTrack(int deck, const BrowserItem& item) {
    app_.controls().stopAutoMix();
    app_.deck(deck).requestLoad(item.path);
    if (AnalysisFeed* feed = app_.analysisFeed()) {
        feed->trackLoaded(item);
    }
    const int historyTimer = timer::kHistoryDeck0 + deck;
    if (app_.historyTimer[deck] != 0) {
        app_.killTimer(historyTimer);
    }
    app_.lastLoadedItem[deck] = std::make_unique<BrowserItem>(item);
    app_.startTimer(historyTimer, kHistoryDelay);
    app_.historyTimer[deck] = historyTimer;
    app_.controls().selectDeck(deck);
    if (app_.browserPage == kFilesPage) {
        app_.controls().showBrowserPage(kMixingPage);  // uncovers the beat view
    }
}

bool TrackLoader::free(int deck) const {
    return app_.deck(deck).isFree();
}

bool TrackLoader::loudlyPlaying(int deck) const {
    return app_.deck(deck).playing() && app_.deckVolume[deck] > kLoudVolume;
}

bool TrackLoader::dropAllowed(int x, int y) const {
    for (int deck = 0; deck < 2; ++deck) {
        if (kDeckControls[deck].disc.contains(x, y)) {
            return !loudlyPlaying(deck);
        }
    }
    const Browser& browser = app_.browser();
    return (app_.browserPage == kFilesPage || app_.browserPage == kAutoMixPage) &&
           (browser.fileListArea().contains(x, y) ||
            (app_.browserPage == kAutoMixPage && browser.playlistArea().contains(x, y)));
}

void TrackLoader::showDragCursor(int x, int y) {
    const bool several = app_.browser().dragCount() > 1;
    const Skin& skin = app_.skin;
    if (dropAllowed(x, y)) {
        app_.showCursor(several ? skin.dragSeveral : skin.dragOne);
    } else {
        app_.showCursor(several ? skin.refuseSeveral : skin.refuseOne);
    }
}

void TrackLoader::dropBrowserItems(int x, int y) {
    std::vector<BrowserItem> items = app_.browser().takeDragItems();
    if (MainWindow* window = app_.window()) {
        window->releaseMouse();
    }
    drop(std::move(items), x, y);
    app_.showCursor(app_.savedCursor.value_or(QCursor(Qt::ArrowCursor)));
    app_.savedCursor.reset();
}

void TrackLoader::dropFiles(QPoint at, const std::vector<std::string>& paths) {
    std::vector<BrowserItem> items;
    items.reserve(paths.size());
    for (const std::string& path : paths) {
        items.push_back(app_.browser().itemForFile(path));
    }
    drop(std::move(items), at.x(), at.y());
}

int TrackLoader::loadOrExpand(int deck, const BrowserItem& item, int index, bool warnIfLoud) {
    Browser& browser = app_.browser();
    if (item.kind == BrowserItem::kPlaylistFile) {
        std::vector<BrowserItem> entries = browser.readPlaylistFile(item.path);
        std::size_t next = 0;
        if (next < entries.size()) {
            loadTrack(deck, entries[next++]);
        }
        if (next < entries.size() && free(1 - deck)) {
            loadTrack(1 - deck, entries[next++]);
        }
        for (; next < entries.size(); ++next) {
            browser.insertPlaylistItem(index++, std::move(entries[next]));
        }
        return index;
    }
    if (!warnIfLoud || !loudlyPlaying(deck) ||
        app_.dialogs().warning(
            QStringLiteral("Warning ! A music is still beeing played on this desk !"))) {
        loadTrack(deck, item);
    }
    return index;
}

void TrackLoader::drop(std::vector<BrowserItem> items, int x, int y) {
    Browser& browser = app_.browser();
    int target = -1;
    int index = 0;
    bool accepted = false;
    for (int deck = 0; deck < 2 && !accepted; ++deck) {
        if (kDeckControls[deck].disc.contains(x, y)) {
            target = deck;
            accepted = true;
        }
    }
    if (!accepted && app_.browserPage == kAutoMixPage && browser.playlistArea().contains(x, y)) {
        accepted = true;
        index = browser.playlistDropIndex(QPoint(x, y));
        if (browser.playlistSize() == 0 && app_.engine.autoMixEnabled) {
            const int selected = app_.selectedDeck;
            if (free(selected)) {
                target = selected;
            } else if (free(1 - selected)) {
                target = 1 - selected;
            }
        }
    }
    if (!accepted || items.empty()) {
        return;  // anywhere else the dragged items are let go
    }
    std::size_t next = 0;
    if (target >= 0) {
        index = loadOrExpand(target, items[next++], index, true);
        const bool firstWasPlaylist = items.front().kind == BrowserItem::kPlaylistFile;
        if (!firstWasPlaylist && next < items.size() && free(1 - target)) {
            index = loadOrExpand(1 - target, items[next++], index, false);
        }
    }
    for (; next < items.size(); ++next) {
        browser.insertPlaylistItem(index++, std::move(items[next]));
    }
}
