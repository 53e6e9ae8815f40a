#pragma once

#include <QObject>
#include <memory>

#include "engine/library/TagFetcher.h"
#include "engine/library/TrackItems.h"

class Browser;
class DeckUiPorts;
class ItemListModel;
struct BrowserItem;

// Names the tracks the lists and the decks show from their tags, read in the background: those of
// the folder listed, the search results in sight, each row put into the playlist or the history
// and each track loaded onto a deck. Tags read before name a row as it comes. Main thread; the
// reading reaches the main thread only through queued calls.
class TagFeed {
  public:
    // The browser, with its lists, and the decks must outlive the feed. The rows already listed
    // are given at once.
    TagFeed(Browser& browser, DeckUiPorts& decks, std::unique_ptr<TagReader> reader);
    // Stops the reading; tags read from then on are not shown.
    ~TagFeed();
    TagFeed(const TagFeed&) = delete;
    TagFeed& operator=(const TagFeed&) = delete;

    // A track just given to a deck.
    void trackLoaded(const BrowserItem& item);

  private:
    void folderListed();
    void rowsAdded(ItemListModel& model, int first, int last);
    void delivered();

    Browser& browser_;
    DeckUiPorts& decks_;
    const std::unique_ptr<TagReader> reader_;
    const TagLookup known_;
    QObject context_;  // results still queued die with it, after the fetcher has stopped
    TagFetcher fetcher_;
};
