#include "ui/browser/PlaylistPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "engine/library/ArtistTitle.h"
#include "engine/library/FolderSource.h"
#include "engine/library/PlaylistFile.h"
#include "engine/library/TrackItems.h"
#include "ui/Dialogs.h"
#include "ui/browser/AutoMixSwitches.h"
#include "ui/browser/BrowserControls.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/BrowserPages.h"
#include "ui/browser/ListView.h"
#include "ui/browser/PageSwitcher.h"
#include "ui/browser/PanelWidgets.h"
#include "ui/browser/SaveFailures.h"
#include "ui/browser/TrackLoading.h"
#include "ui/display/Fonts.h"

namespace fs = std::filesystem;

namespace {

// Why the file at path cannot be played, or an empty string when it is there.
QString missingReason(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error)) {
        return {};
    }
    return error ? QString::fromStdString(error.message()) : QStringLiteral("File not found");
}

}  // namespace

PlaylistPanel::PlaylistPanel(Ports ports) : ports_(ports) {}

void PlaylistPanel::build(QWidget& window, QWidget& bands, const std::array<QIcon, 4>* images) {
    CommandSink& commands = ports_.commands;
    playlist_ = new ListView(&bands);
    playlistModel_ = new ItemListModel(images, playlist_);
    playlist_->setModel(playlistModel_);
    playlist_->header()->setSectionsClickable(false);

    autoMixBox_ = new QCheckBox(QStringLiteral("Auto Mix"), &window);
    autoMixBox_->setGeometry(240, 52, 80, 17);
    autoBpmBox_ = new QCheckBox(QStringLiteral("Auto BPM"), &window);
    autoBpmBox_->setGeometry(332, 52, 73, 17);
    mixNowButton_ = new QPushButton(QStringLiteral("Mix Now !"), &window);
    mixNowButton_->setGeometry(420, 50, 60, 20);
    mixNowButton_->setCheckable(true);
    longMixButton_ = new QRadioButton(QStringLiteral("Long mix"), &window);
    longMixButton_->setGeometry(496, 59, 65, 12);
    shortMixButton_ = new QRadioButton(QStringLiteral("Short mix"), &window);
    shortMixButton_->setGeometry(496, 46, 65, 12);
    for (auto [button, id] : {std::pair<QAbstractButton*, int>{autoMixBox_, kAutoMixBox},
                              {autoBpmBox_, kAutoBpmBox},
                              {mixNowButton_, kMixNowButton},
                              {longMixButton_, kLongMixButton},
                              {shortMixButton_, kShortMixButton}}) {
        button->setFocusPolicy(Qt::NoFocus);
        sendOnClick(*button, commands, id);
    }
    shuffleButton_ = pictureButton(window, commands, kShuffleButton, 143, QRect(644, 50, 20, 20),
                                   QStringLiteral("Shuffle the playlist"));
    removePlayedButton_ =
        pictureButton(window, commands, kRemovePlayedButton, 144, QRect(672, 50, 20, 20),
                      QStringLiteral("Remove the played tracks"));
    saveButton_ = pictureButton(window, commands, kSaveButton, 146, QRect(704, 50, 20, 20),
                                QStringLiteral("Save the playlist"));
    loadButton_ = pictureButton(window, commands, kLoadButton, 145, QRect(732, 50, 20, 20),
                                QStringLiteral("Load a playlist"));

    history_ = new ListView(&window);
    historyModel_ = new ItemListModel(nullptr, history_);
    history_->setModel(historyModel_);
    history_->setGeometry(40, 54, 719, 225);
    history_->header()->setSectionsClickable(false);

    // The fonts of 18, 14 and 8 pixels, each fitted to the room its controls leave.
    mixNowButton_->setFont(fittedFont(18, mixNowButton_->text(), 54));
    const QFont medium = fittedFont(14, autoBpmBox_->text(), 52);
    autoMixBox_->setFont(medium);
    autoBpmBox_->setFont(medium);
    const QFont small = fittedFont(8, shortMixButton_->text(), 48);
    longMixButton_->setFont(small);
    shortMixButton_->setFont(small);
    for (int id : {kAutoMixBox, kAutoBpmBox, kMixNowButton, kLongMixButton, kShortMixButton,
                   kShuffleButton, kRemovePlayedButton, kSaveButton, kLoadButton, kHistoryList}) {
        control(id)->hide();
    }

    for (ListView* view : {playlist_, history_}) {
        view->onDragStart = [this, view] { dragFrom(*view); };
        QObject::connect(view, &QAbstractItemView::doubleClicked,
                         [this, view] { activateRow(*view); });
    }
    playlist_->onFilesDropped = [this](int row, const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            insertPlaylistItem(row++, itemForFile(ports_.records, path));
        }
    };

    ports_.autoMix.setAutoMix(false);
    ports_.autoMix.setAutoBpm(true);
    shortMix_ = true;
    autoMixBox_->setChecked(false);
    autoBpmBox_->setChecked(true);
    shortMixButton_->setChecked(true);
    longMixButton_->setChecked(false);
}

QWidget* PlaylistPanel::control(int id) const {
    switch (id) {
        case kPlaylist:
            return playlist_;
        case kAutoMixBox:
            return autoMixBox_;
        case kAutoBpmBox:
            return autoBpmBox_;
        case kMixNowButton:
            return mixNowButton_;
        case kLongMixButton:
            return longMixButton_;
        case kShortMixButton:
            return shortMixButton_;
        case kShuffleButton:
            return shuffleButton_;
        case kRemovePlayedButton:
            return removePlayedButton_;
        case kSaveButton:
            return saveButton_;
        case kLoadButton:
            return loadButton_;
        case kHistoryList:
            return history_;
        default:
            return nullptr;
    }
}

void PlaylistPanel::command(int id) {
    switch (id) {
        case kAutoMixBox:
            switchAutoMix();
            break;
        case kAutoBpmBox:
            ports_.autoMix.setAutoBpm(autoBpmBox_->isChecked());
            break;
        case kMixNowButton:
            if (ports_.pages.page() == kAutoMixPage) {
                ports_.autoMix.mixNow();
            }
            showMixState();
            break;
        case kLongMixButton:
        case kShortMixButton:
            shortMix_ = shortMixButton_->isChecked();
            break;
        case kShuffleButton:
            playlistModel_->shuffle();
            break;
        case kRemovePlayedButton:
            removePlayed();
            break;
        case kSaveButton:
            savePlaylist();
            break;
        case kLoadButton:
            openPlaylist();
            break;
        default:
            break;
    }
}

void PlaylistPanel::switchAutoMix() {
    const bool on = autoMixBox_->isChecked();
    ports_.autoMix.setAutoMix(on);
    if (on) {
        const int selected = ports_.loading.workingDeck();
        if (ports_.loading.deckIsFree(selected)) {
            loadNextFromPlaylist(selected);
        }
        if (ports_.loading.deckIsFree(1 - selected)) {
            loadNextFromPlaylist(1 - selected);
        }
    }
}

void PlaylistPanel::setMixNowPushed(bool pushed) {
    if (mixNowButton_ != nullptr) {
        mixNowButton_->setChecked(pushed);
    }
}

void PlaylistPanel::showMixState() {
    setMixNowPushed(ports_.autoMix.mixing());
}

bool PlaylistPanel::isInHistory(const std::string& title, const std::string& artist) const {
    for (int row = 0; row < historyModel_->size(); ++row) {
        const BrowserItem& played = historyModel_->item(row);
        if (played.title == title && played.artist == artist) {
            return true;
        }
    }
    return false;
}

void PlaylistPanel::setPlayedMark(const std::string& title, const std::string& artist,
                                  bool played) {
    markPlayed(*playlistModel_, title, artist, played);
}

BrowserItem PlaylistPanel::entryItem(const std::string& path) const {
    BrowserItem item;
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (!error) {
        item = trackItem(ports_.records, std::string(fileNameOf(path)), path,
                         static_cast<int64_t>(size));
        if (isInHistory(item.title, item.artist)) {
            item.kind = BrowserItem::kPlayed;
        }
    } else {
        ArtistTitle names = splitArtistTitle(fileNameOf(path));
        item.artist = std::move(names.artist);
        item.title = std::move(names.title);
        item.path = path;
    }
    return item;
}

std::vector<BrowserItem> PlaylistPanel::readPlaylistFile(const std::string& path) const {
    std::vector<BrowserItem> items;
    for (const std::string& entry : readPlaylistEntries(path)) {
        items.push_back(entryItem(entry));
    }
    return items;
}

void PlaylistPanel::restore(const std::string& path) {
    std::vector<BrowserItem> items;
    for (const std::string& entry : readPlaylistEntries(path)) {
        items.push_back(fileKindOf(entry) == FileKind::kPlaylist ? playlistFileItem(entry)
                                                                 : entryItem(entry));
    }
    insertEntries(playlistModel_->size(), items, 0);
}

void PlaylistPanel::keep(const std::string& path) {
    writePlaylist(path, rowPaths(false));
}

int PlaylistPanel::playlistSize() const {
    return playlistModel_->size();
}

void PlaylistPanel::insertPlaylistItem(int index, BrowserItem item) {
    const int image = listImage(item, isInHistory(item.title, item.artist));
    playlistModel_->insert(index, std::move(item), image);
}

void PlaylistPanel::insertEntries(int index, std::vector<BrowserItem>& entries, std::size_t from) {
    for (std::size_t i = from; i < entries.size(); ++i) {
        const QString missing = missingReason(entries[i].path);
        insertPlaylistItem(index, std::move(entries[i]));
        if (!missing.isEmpty()) {
            playlistModel_->setUnplayable(index, missing);
        }
        ++index;
    }
}

int PlaylistPanel::firstPlayableRow() const {
    int row = 0;
    while (row < playlistModel_->size() && playlistModel_->unplayable(row)) {
        ++row;
    }
    return row;
}

bool PlaylistPanel::loadNextFromPlaylist(int deck) {
    const int row = firstPlayableRow();
    if (!ports_.autoMix.autoMixOn() || row == playlistModel_->size()) {
        return false;
    }
    TrackLoading& loading = ports_.loading;
    const BrowserItem first = playlistModel_->item(row);
    if (first.kind == BrowserItem::kPlaylistFile) {
        std::vector<BrowserItem> entries = readPlaylistFile(first.path);
        std::size_t next = 0;
        if (next < entries.size()) {
            takenByDeck_[deck] = entries[next].path;
            loading.loadOntoDeck(deck, entries[next++]);
        }
        if (next < entries.size() && loading.deckIsFree(1 - deck)) {
            takenByDeck_[1 - deck] = entries[next].path;
            loading.loadOntoDeck(1 - deck, entries[next++]);
        }
        insertEntries(row + 1, entries, next);
    } else {
        takenByDeck_[deck] = first.path;
        loading.loadOntoDeck(deck, first);
    }
    playlistModel_->take(row);
    return true;
}

bool PlaylistPanel::returnUnplayable(int deck, const BrowserItem& item) {
    if (takenByDeck_[deck].empty() || takenByDeck_[deck] != item.path) {
        return false;
    }
    takenByDeck_[deck].clear();
    const int row = firstPlayableRow();
    insertPlaylistItem(row, item);
    playlistModel_->setUnplayable(row, QStringLiteral("Impossible to open the file"));
    return true;
}

void PlaylistPanel::addToHistory(const BrowserItem& loaded) {
    historyModel_->insert(-1, loaded, ItemListModel::kNoImage);
    setPlayedMark(loaded.title, loaded.artist, true);
    if (onPlayedMark) {
        onPlayedMark(loaded.title, loaded.artist, true);
    }
}

void PlaylistPanel::activate(const BrowserItem& item) {
    activateItem(item, -1, false);
}

void PlaylistPanel::activateRow(ListView& view) {
    const QModelIndex focused = view.currentIndex();
    if (!focused.isValid()) {
        return;
    }
    const auto& model = static_cast<const ItemListModel&>(*view.model());
    const int row = focused.row();
    activateItem(model.item(row), row, &view == playlist_);
}

void PlaylistPanel::activateItem(const BrowserItem& shown, int row, bool fromPlaylist) {
    const BrowserItem item = shown;  // the row may leave the playlist
    TrackLoading& loading = ports_.loading;
    const int selected = loading.workingDeck();
    if (item.kind == BrowserItem::kPlaylistFile) {
        std::vector<BrowserItem> entries = readPlaylistFile(item.path);
        std::size_t next = 0;
        int insertAt = playlistModel_->size();
        if (fromPlaylist) {
            insertAt = row;
        } else {
            if (next < entries.size() && loading.deckIsFree(selected)) {
                loading.loadOntoDeck(selected, entries[next++]);
            }
            if (next < entries.size() && loading.deckIsFree(1 - selected)) {
                loading.loadOntoDeck(1 - selected, entries[next++]);
            }
        }
        insertEntries(insertAt, entries, next);
        if (fromPlaylist) {
            playlistModel_->take(row + static_cast<int>(entries.size() - next));
        }
        return;
    }
    if (loading.deckIsFree(selected)) {
        loading.loadOntoDeck(selected, item);
    } else if (loading.deckIsFree(1 - selected)) {
        loading.loadOntoDeck(1 - selected, item);
    } else {
        if (!fromPlaylist) {
            insertPlaylistItem(-1, item);
        }
        return;  // both decks hold tracks: a playlist row stays where it is
    }
    if (fromPlaylist) {
        playlistModel_->take(row);
    }
}

void PlaylistPanel::dragFrom(ListView& view) {
    const std::vector<int> rows = selectedRows(view);
    if (rows.empty() || !onDragged) {
        return;
    }
    std::vector<BrowserItem> items;
    if (&view == playlist_) {
        // The rows move: they leave the playlist now.
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            items.insert(items.begin(), *playlistModel_->take(*row));
        }
    } else {
        for (int row : rows) {
            items.push_back(historyModel_->item(row));
        }
    }
    onDragged(std::move(items));
}

void PlaylistPanel::deleteSelected() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == playlist_) {
        const std::vector<int> rows = selectedRows(*playlist_);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            playlistModel_->take(*row);
        }
    } else if (focus == history_) {
        const std::vector<int> rows = selectedRows(*history_);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            const BrowserItem item = historyModel_->item(*row);
            setPlayedMark(item.title, item.artist, false);
            if (onPlayedMark) {
                onPlayedMark(item.title, item.artist, false);
            }
            historyModel_->take(*row);
        }
    }
}

void PlaylistPanel::removePlayed() {
    for (int row = playlistModel_->size() - 1; row >= 0; --row) {
        const BrowserItem& item = playlistModel_->item(row);
        if (isInHistory(item.title, item.artist)) {
            playlistModel_->take(row);
        }
    }
}

void PlaylistPanel::openPlaylist() {
    const QString path = ports_.dialogs.openFile(QStringLiteral("Open a Playlist"),
                                                 QStringLiteral("Playlist (*.m3u *.m3u8 *.pls)"));
    if (!path.isEmpty()) {
        insertPlaylistItem(-1, playlistFileItem(path.toStdString()));
    }
    ports_.pages.showPage(ports_.pages.page());
}

void PlaylistPanel::savePlaylist() {
    const QString chosen =
        ports_.dialogs.saveFile(QStringLiteral("Save a Playlist"),
                                QStringLiteral("Playlist (*.m3u8 *.m3u)"), QStringLiteral("m3u8"));
    if (!chosen.isEmpty()) {
        const std::string path = chosen.toStdString();
        // Playlist files are flattened one level: their entries are written, not their path.
        if (writePlaylist(path, rowPaths(true))) {
            playlistModel_->clear();
            insertPlaylistItem(0, playlistFileItem(path));
        }
    }
    ports_.pages.showPage(ports_.pages.page());
}

std::vector<std::string> PlaylistPanel::rowPaths(bool flattened) const {
    std::vector<std::string> lines;
    for (int row = 0; row < playlistModel_->size(); ++row) {
        const BrowserItem& item = playlistModel_->item(row);
        if (flattened && item.kind == BrowserItem::kPlaylistFile) {
            for (const BrowserItem& entry : readPlaylistFile(item.path)) {
                lines.push_back(entry.path);
            }
        } else {
            lines.push_back(item.path);
        }
    }
    return lines;
}

bool PlaylistPanel::writePlaylist(const std::string& path, const std::vector<std::string>& lines) {
    if (const std::string* broken = entryWithLineBreak(lines)) {
        ports_.failures.saveFailed(
            QStringLiteral("The playlist was not saved: the file name \"%1\" holds "
                           "a line break, which a playlist line cannot hold.")
                .arg(QString::fromStdString(*broken)));
        return false;
    }
    if (const std::error_code error = writeM3u(path, lines)) {
        std::error_code unknown;
        const std::string shown = fs::absolute(path, unknown).string();
        ports_.failures.saveFailed(
            QStringLiteral("The playlist %1 could not be saved: %2.")
                .arg(QString::fromStdString(shown), QString::fromStdString(error.message())));
        return false;
    }
    return true;
}
