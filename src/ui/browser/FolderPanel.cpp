#include "ui/browser/FolderPanel.h"

#include <QFile>
#include <QFileIconProvider>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "engine/library/FolderSource.h"
#include "engine/library/Sorting.h"
#include "ui/browser/BrowserControls.h"
#include "ui/browser/PanelWidgets.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDesktopRole = Qt::UserRole + 1;

std::string folderPath(const QTreeWidgetItem& item) {
    return item.data(0, kPathRole).toByteArray().toStdString();
}

}  // namespace

FolderPanel::FolderPanel(std::string& rootFolder, CommandSink& commands)
    : rootFolder_(rootFolder), commands_(commands) {}

void FolderPanel::build(QWidget& window, QWidget& bands) {
    tree_ = new QTreeWidget(&bands);
    tree_->setHeaderHidden(true);
    tree_->setSortingEnabled(false);
    desktopButton_ = pictureButton(window, commands_, kDesktopButton, 140, QRect(40, 50, 20, 20),
                                   QStringLiteral("Show the desktop folders"));
    thisFolderButton_ =
        pictureButton(window, commands_, kThisFolderButton, 139, QRect(68, 50, 20, 20),
                      QStringLiteral("Make the chosen folder the top of the tree"));
    desktopButton_->hide();
    thisFolderButton_->hide();
    QObject::connect(tree_, &QTreeWidget::itemExpanded,
                     [this](QTreeWidgetItem* item) { expandFolder(item); });
    QObject::connect(tree_, &QTreeWidget::itemCollapsed,
                     [this](QTreeWidgetItem* item) { collapseFolder(item); });
    QObject::connect(tree_, &QTreeWidget::currentItemChanged,
                     [this](QTreeWidgetItem* item) { choose(item); });
}

QWidget* FolderPanel::control(int id) const {
    switch (id) {
        case kFolderTree:
            return tree_;
        case kDesktopButton:
            return desktopButton_;
        case kThisFolderButton:
            return thisFolderButton_;
        default:
            return nullptr;
    }
}

void FolderPanel::command(int id) {
    if (id == kDesktopButton) {
        showDesktop();
    } else if (id == kThisFolderButton) {
        showThisFolder();
    }
}

QTreeWidgetItem* FolderPanel::newFolderItem(const std::string& name, const std::string& path,
                                            bool desktop) {
    static const QFileIconProvider icons;
    // The path stays bytes: a name that is not UTF-8 is shown with replacement characters but
    // opened by its own bytes.
    auto* item =
        new QTreeWidgetItem(QStringList(QFile::decodeName(QByteArray::fromStdString(name))));
    item->setData(0, kPathRole, QByteArray::fromStdString(path));
    item->setData(0, kDesktopRole, desktop);
    item->setIcon(0, icons.icon(desktop ? QFileIconProvider::Computer : QFileIconProvider::Folder));
    item->setChildIndicatorPolicy(desktop || hasSubfolders(path)
                                      ? QTreeWidgetItem::ShowIndicator
                                      : QTreeWidgetItem::DontShowIndicator);
    return item;
}

void FolderPanel::fill() {
    std::error_code error;
    QTreeWidgetItem* top = nullptr;
    if (!rootFolder_.empty() && fs::is_directory(rootFolder_, error)) {
        const std::string name =
            rootFolder_ == "/" ? "File System" : fs::path(rootFolder_).filename().string();
        top = newFolderItem(name.empty() ? rootFolder_ : name, rootFolder_, false);
    } else {
        rootFolder_.clear();  // unreachable: the desktop, which is never stored
        top = newFolderItem("Desktop", "", true);
    }
    tree_->addTopLevelItem(top);
    top->setExpanded(true);
    tree_->setCurrentItem(top);
}

void FolderPanel::clear() {
    choose(nullptr);
    clearing_ = true;
    tree_->clear();
    clearing_ = false;
}

void FolderPanel::expandFolder(QTreeWidgetItem* item) {
    if (item->childCount() > 0) {
        return;
    }
    std::vector<FolderEntry> children =
        item->data(0, kDesktopRole).toBool() ? desktopFolders() : subfolders(folderPath(*item));
    std::stable_sort(children.begin(), children.end(),
                     [](const auto& a, const auto& b) { return compareText(a.name, b.name) < 0; });
    tree_->setUpdatesEnabled(false);
    for (const FolderEntry& child : children) {
        item->addChild(newFolderItem(child.name, child.path, false));
    }
    tree_->setUpdatesEnabled(true);
}

void FolderPanel::collapseFolder(QTreeWidgetItem* item) {
    // The next expansion lists the folder again, with what changed in between.
    clearing_ = true;
    for (QTreeWidgetItem* child : item->takeChildren()) {
        delete child;
    }
    clearing_ = false;
}

void FolderPanel::choose(QTreeWidgetItem* item) {
    if (clearing_ || !onFolderChosen) {
        return;
    }
    const bool folder = item != nullptr && !item->data(0, kDesktopRole).toBool();
    onFolderChosen(folder ? folderPath(*item) : std::string());
}

void FolderPanel::showDesktop() {
    rootFolder_.clear();
    clear();
    fill();
}

void FolderPanel::showThisFolder() {
    QTreeWidgetItem* selected = tree_->currentItem();
    if (selected == nullptr || selected->parent() == nullptr) {
        return;
    }
    rootFolder_ = folderPath(*selected);
    clear();
    fill();
}
