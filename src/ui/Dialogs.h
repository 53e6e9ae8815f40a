#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The message boxes and file dialogs of the program, captioned "Spinora". With
// SPINORA_NO_DIALOGS=1 none is shown: questions take their default answer and file dialogs are
// cancelled, so that tests never block. The file dialogs start in the user's music folder, then in
// the folder of the file last chosen.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Error icon, OK.
    virtual void error(const QString& text) = 0;
    // Error icon, Yes and No with No the default; true for Yes.
    virtual bool question(const QString& text) = 0;
    // Warning icon, OK and Cancel; true for OK.
    virtual bool warning(const QString& text) = 0;
    // A file to open or to save, or an empty string when cancelled.
    virtual QString openFile(const QString& title, const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& filter,
                             const QString& suffix) = 0;
};

class MessageBoxDialogs : public Dialogs {
  public:
    MessageBoxDialogs();
    void setParent(QWidget* parent) { parent_ = parent; }

    void error(const QString& text) override;
    bool question(const QString& text) override;
    bool warning(const QString& text) override;
    QString openFile(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter, const QString& suffix) override;
    // Where the next file dialog opens: the folder last chosen in one, else the XDG music folder
    // (XDG_MUSIC_DIR, else ~/Music) when it is there, else the home folder.
    QString startFolder() const;

  private:
    QString chosen(const QString& file);

    QWidget* parent_ = nullptr;
    bool shown_;
    QString lastFolder_;
};
