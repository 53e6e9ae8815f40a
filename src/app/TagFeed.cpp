#include "app/TagFeed.h"

#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"
#include "ui/deck/DeckUiPorts.h"

TagFeed::TagFeed(Browser& browser, DeckUiPorts& decks, std::unique_ptr<TagReader> reader)
    : browser_(browser),
      decks_(decks),
      reader_(std::move(reader)),
      known_([this](const std::string& path) { return fetcher_.known(path); }),
      fetcher_(
          *reader_,
          [this](std::function<void()> task) {
              QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
          },
          [this](const std::vector<TrackTags>&) { delivered(); }) {
    ItemListModel& files = browser.fileListModel();
    QObject::connect(&files, &QAbstractItemModel::modelReset, &context_,
                     [this] { folderListed(); });
    for (ItemListModel* model : {&browser.playlistModel(), &browser.historyModel()}) {
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &context_,
                         [this, model](const QModelIndex&, int first, int last) {
                             rowsAdded(*model, first, last);
                         });
        rowsAdded(*model, 0, model->size() - 1);
    }
    browser.nameSearchResults(known_, [this](const std::string& path) { fetcher_.fetch(path); });
    folderListed();
}

TagFeed::~TagFeed() {
    browser_.nameSearchResults(nullptr, nullptr);  // the results may be painted after the feed
}

void TagFeed::trackLoaded(const BrowserItem& item) {
    if (fetcher_.known(item.path) != nullptr) {
        decks_.nameLoadedTracks(known_);
    } else {
        fetcher_.fetch(item.path);
    }
}

void TagFeed::folderListed() {
    ItemListModel& files = browser_.fileListModel();
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(files.size()));
    for (int row = 0; row < files.size(); ++row) {
        if (files.item(row).kind != BrowserItem::kPlaylistFile) {
            paths.push_back(files.item(row).path);
        }
    }
    fetcher_.fetchFolder(paths);
    browser_.nameTracks(files, 0, files.size() - 1, known_);
}

void TagFeed::rowsAdded(ItemListModel& model, int first, int last) {
    for (int row = first; row <= last; ++row) {
        const BrowserItem& item = model.item(row);
        if (item.kind != BrowserItem::kPlaylistFile) {
            fetcher_.fetch(item.path);
        }
    }
    browser_.nameTracks(model, first, last, known_);
}

void TagFeed::delivered() {
    browser_.nameTracks(known_);
    browser_.searchNamesChanged();
    decks_.nameLoadedTracks(known_);
}
