#pragma once

#include <QObject>
#include <array>
#include <memory>
#include <string>

#include "engine/deck/BackgroundAnalyser.h"
#include "engine/deck/Deck.h"

class Browser;
class ItemListModel;
class TrackInfoStore;
struct BrowserItem;
struct TrackInfoRecord;

// Gives the background analysis every track put into the playlist or loaded onto a deck without a
// record, and shows each record it stores in the lists as it arrives and gives it to a deck that
// holds its track. Main thread; the analysis
// itself runs on its own thread, which reaches the main thread only through queued calls.
class AnalysisFeed {
  public:
    // The browser, with its lists, the store and the decks must outlive the feed. The playlist's
    // rows are given at once.
    AnalysisFeed(Browser& browser, std::array<Deck*, 2> decks, TrackInfoStore& store,
                 int32_t optimizedDetection, Deck::DecoderFactory makeDecoder,
                 BackgroundAnalyser::Priority priority);
    // Stops the analysis at once; a record it stores from then on is no longer shown.
    ~AnalysisFeed();
    AnalysisFeed(const AnalysisFeed&) = delete;
    AnalysisFeed& operator=(const AnalysisFeed&) = delete;

    // A track about to be loaded onto a deck.
    void trackLoaded(const BrowserItem& item);

    const BackgroundAnalyser& analyser() const { return *analyser_; }

  private:
    void give(const BrowserItem& item);
    void giveRows(const ItemListModel& model, int first, int last);
    void analysed(const std::string& path, const TrackInfoRecord& stored);

    Browser& browser_;
    const std::array<Deck*, 2> decks_;
    QObject context_;  // results still queued die with it, after the analyser has stopped
    std::unique_ptr<BackgroundAnalyser> analyser_;
};
