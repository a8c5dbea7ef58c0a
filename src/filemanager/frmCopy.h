#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>

#include "filemanager/ShellFileOperation.h"
#include "filemanager/lists.h"
#include "toolkit/Forms.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The icon file manager: a source (index 0) and a destination (1), each a drive, a directory
// and a file list, whose selected source files are copied, moved or deleted.
class frmCopy : public Form
{
    Q_OBJECT
public:
    frmCopy();

    std::array<DriveListBox *, 2> cboDrive{};
    std::array<DirListBox *, 2> lstDir{};
    std::array<FileListBox *, 2> lstFile{};
    std::array<QPushButton *, 3> cmdExecute{}; // "Copy >>", "Move >>", "Delete"
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *picAmostra = nullptr; // the last clicked icon, stretched
    QGroupBox *Frame2 = nullptr;  // the options, never shown
    QCheckBox *chkEntireDir = nullptr;
    QCheckBox *chkUndo = nullptr;
    QCheckBox *chkShowDlg = nullptr;
    QCheckBox *chkRename = nullptr;
    QCheckBox *chkConfirmOp = nullptr;
    QCheckBox *chkConfirmMkDir = nullptr;
    QCheckBox *chkShowFile = nullptr;

    // The shell's file operation; tests watch the record and answer for it here.
    std::function<int(SHFILEOPSTRUCT &)> fileOperation = ShellFileOperation;

    void Form_Load() override;
    // While an operation runs the window stays; it closes once the operation ends.
    void Form_Unload(int &Cancel) override;
    void cboDrive_Change(int Index);
    void lstDir_Change(int Index);
    void lstFile_Click(int Index);
    void cmdExecute_Click(int Index);
    void chkEntireDir_Click();

    // The selected files of a side, each a full path followed by one NUL; empty when none.
    QByteArray SelectedFileList(int side) const;
    // The flag word of the options in force.
    uint16_t OptionFlags() const;
    // Both sides at the current folder; done once, when the window first shows.
    void startBrowsing();

protected:
    void makeControls() override;
    void showEvent(QShowEvent *event) override;

private:
    void buildSide(int side, double left);
    void buildOptions();
    // A message titled "Inform the User!" while the window is out of the topmost band.
    void inform(const QString &text);
    // False when the command could not be carried out.
    bool execute(int Index);
    void refreshLists();

    bool browsing_ = false;
    // An operation is running (its progress lets events through); a close waits for its end.
    bool busy_ = false;
    bool closeWhenDone_ = false;
};

// A check box's value as the old toolkit gave it: 0 cleared, 1 checked, 2 greyed.
int Value(const QCheckBox *box);
void setValue(QCheckBox *box, int value);
