#pragma once

#include <functional>
#include <string>

#include "ui/browser/BrowserPanel.h"

class CommandSink;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The folder tree of the files page, with its desktop and this-folder buttons. A folder is listed
// when it expands and forgotten when it collapses, so that the tree follows the disk. Main thread
// only.
class FolderPanel : public BrowserPanel {
  public:
    // rootFolder: the folder at the top of the tree, kept in the settings; empty for the desktop.
    FolderPanel(std::string& rootFolder, CommandSink& commands);

    // The tree goes into bands, the buttons onto the window; all hidden.
    void build(QWidget& window, QWidget& bands);
    // Shows the root folder, or the desktop when the root is gone, and chooses it.
    void fill();
    void clear();

    // The chosen folder's path, or an empty path when no folder with files is chosen.
    std::function<void(const std::string& folder)> onFolderChosen;

    const std::string& rootFolder() const { return rootFolder_; }
    QTreeWidget& tree() { return *tree_; }
    QWidget* control(int id) const override;
    void command(int id) override;

  private:
    QTreeWidgetItem* newFolderItem(const std::string& name, const std::string& path, bool desktop);
    void expandFolder(QTreeWidgetItem* item);
    void collapseFolder(QTreeWidgetItem* item);
    void choose(QTreeWidgetItem* item);
    void showDesktop();
    void showThisFolder();

    std::string& rootFolder_;
    CommandSink& commands_;
    bool clearing_ = false;
    QTreeWidget* tree_ = nullptr;
    QPushButton* desktopButton_ = nullptr;
    QPushButton* thisFolderButton_ = nullptr;
};
