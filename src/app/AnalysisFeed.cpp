#include "app/AnalysisFeed.h"

#include "engine/library/BrowserItem.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"

AnalysisFeed::AnalysisFeed(Browser& browser, std::array<Deck*, 2> decks, TrackInfoStore& store,
                           int32_t optimizedDetection, Deck::DecoderFactory makeDecoder,
                           BackgroundAnalyser::Priority priority)
    : browser_(browser), decks_(decks) {
    analyser_ = std::make_unique<BackgroundAnalyser>(
        store, optimizedDetection, std::move(makeDecoder),
        [this](const std::string& path, const TrackInfoRecord& stored) {
            QMetaObject::invokeMethod(
                &context_, [this, path, stored] { analysed(path, stored); }, Qt::QueuedConnection);
        },
        priority);
    ItemListModel& playlist = browser.playlistModel();
    QObject::connect(&playlist, &QAbstractItemModel::rowsInserted, &context_,
                     [this, &playlist](const QModelIndex&, int first, int last) {
                         giveRows(playlist, first, last);
                     });
    QObject::connect(&playlist, &QAbstractItemModel::modelReset, &context_,
                     [this, &playlist] { giveRows(playlist, 0, playlist.size() - 1); });
    giveRows(playlist, 0, playlist.size() - 1);
}

AnalysisFeed::~AnalysisFeed() = default;

void AnalysisFeed::trackLoaded(const BrowserItem& item) {
    give(item);
}

void AnalysisFeed::give(const BrowserItem& item) {
    // A played track may have no record either; one with a date has one.
    if (item.kind == BrowserItem::kUnknown || item.kind == BrowserItem::kPlayed) {
        analyser_->enqueue(item.path);
    }
}

void AnalysisFeed::giveRows(const ItemListModel& model, int first, int last) {
    for (int row = first; row <= last; ++row) {
        give(model.item(row));
    }
}

void AnalysisFeed::analysed(const std::string& path, const TrackInfoRecord& stored) {
    for (ItemListModel* model :
         {&browser_.fileListModel(), &browser_.playlistModel(), &browser_.historyModel()}) {
        model->trackAnalysed(path, stored.bpm, stored.dateStamp);
    }
    // A deck given the track before its record came would otherwise mix it in blind.
    for (Deck* deck : decks_) {
        if (deck != nullptr) {
            deck->takeAnalysis(stored);
        }
    }
}
