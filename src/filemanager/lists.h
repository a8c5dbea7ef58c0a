#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <functional>

// The places a drive list offers: the home folder, the root, then the root of every mounted file
// system that is valid and ready, leaving out the kernel's pseudo file systems.
QStringList browsingPlaces();
// Whether a mount of this type at this root is one of the kernel's views, not a place of files.
bool isPseudoFileSystem(const QString &type, const QString &root);

// A drive list: the home folder and the mounted file systems.
class DriveListBox : public QComboBox
{
public:
    explicit DriveListBox(QWidget *parent = nullptr);
    // The root of the place chosen.
    QString Drive() const { return currentData().toString(); }
    // Chooses the place that holds `path`, without a change event.
    void showPlaceOf(const QString &path);
    // Runs when the user chooses another place.
    std::function<void()> Change;
    void showPopup() override;

private:
    void fill();
};

// A directory list: the chain of folders from the root down to Path, then Path's subfolders.
class DirListBox : public QListWidget
{
public:
    explicit DirListBox(QWidget *parent = nullptr);
    QString Path() const { return path_; }
    // Goes to an existing folder and runs the change event; false, changing nothing, when
    // `path` is no folder.
    bool setPath(const QString &path);
    // Lists Path again; a folder that has gone gives way to its nearest existing parent.
    void Refresh();
    // The folder an entry stands for.
    QString pathAt(int row) const;
    std::function<void()> Change;

private:
    void fill();
    QString path_;
};

// A file list: the files of Path matching Pattern, by name.
class FileListBox : public QListWidget
{
public:
    explicit FileListBox(QWidget *parent = nullptr);
    QString Path() const { return path_; }
    // False, changing nothing, when the folder cannot be read.
    bool setPath(const QString &path);
    QString Pattern = QStringLiteral("*.ico");
    // The entry that has the focus; empty when there is none.
    QString FileName() const;
    int ListCount() const { return count(); }
    QString List(int i) const { return item(i)->text(); }
    bool Selected(int i) const { return item(i)->isSelected(); }
    void setSelected(int i, bool on) { item(i)->setSelected(on); }
    // Lists Path again; empty when the folder has gone.
    void Refresh();
    // Runs when the user takes another entry with the keys, or presses Return on one, as a
    // click would.
    std::function<void()> Click;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString path_;
};
