#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "formats/Color.h"

class QDialog;
class QFileDialog;

// The progress dialog of a long operation, open for as long as it lives.
class Progress
{
public:
    virtual ~Progress() = default;
    // Shows `text` with `done` of the steps done; false once the user has cancelled.
    virtual bool step(const QString &text, int done) = 0;
};

// What a file dialog is asked; the filter is in the "description|pattern|..." form.
struct FileDialogRequest
{
    bool save = false;
    QString title;
    QString filter;
    int filterIndex = 1;
    QString fileName;
    QString initDir;
    int flags = 0;
};

// What a confirmed file dialog answers: the path, and the filter selected (1 for the first).
struct FileDialogAnswer
{
    QString path;
    int filterIndex = 1;
};

// A still of one screen: one image pixel per device pixel (so twice the geometry's size on a
// display scaled by 2), and the screen's place on the desktop in logical pixels.
struct ScreenStill
{
    QImage image;
    QRect geometry;
};

struct FontChoice
{
    QString name;
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;
};

// The shell's answers to a launch: more than 32 is success, the rest name the failure.
enum ShellCode {
    ShellOtherError = 1, // a failure the shell has no words of its own for
    ShellFileNotFound = 2,
    ShellPathNotFound = 3,
    ShellAccessDenied = 5,
    ShellOutOfMemory = 8,
    ShellBadFormat = 11,
    ShellNoAssociation = 31,
    ShellStarted = 42,
};

// Everything that would show a modal window, start another program or read the screen goes
// through here, so that tests can script the answers and record what was asked.
class Seam
{
public:
    virtual ~Seam() = default;
    // Returns the button pressed: 1 OK, 2 Cancel, 6 Yes, 7 No.
    virtual int messageBox(const QString &text, int style, const QString &title) = 0;
    // The chosen path and filter, or nothing when cancelled.
    virtual std::optional<FileDialogAnswer> fileDialog(const FileDialogRequest &request) = 0;
    virtual std::optional<FontChoice> fontDialog(const FontChoice &initial, int flags) = 0;
    // An empty title leaves the desktop's own.
    virtual std::optional<ColorValue> colorDialog(ColorValue initial, int flags,
                                                  const QString &title) = 0;
    // Starts a program in a session of its own, never through a shell: ShellStarted, or the
    // shell's code for why it did not start.
    virtual int startDetached(const QString &program, const QStringList &arguments,
                              const QString &workingDir) = 0;
    // The desktop entry of the program that opens a MIME type (`xdg-mime query default`),
    // empty when there is none.
    virtual QString defaultApplication(const QString &mimeType) = 0;
    // A still of the screen the pointer is on; nothing when no screen's pixels can be read.
    virtual std::optional<ScreenStill> grabScreen() = 0;
    // A progress dialog with a Cancel button for `total` steps; it shows only once the
    // operation has taken longer than a moment.
    virtual std::unique_ptr<Progress> progress(const QString &title, int total) = 0;
    // Runs a dialog of the program's own, made and filled by the caller, until it is closed:
    // QDialog::Accepted or QDialog::Rejected.
    virtual int runDialog(QDialog &dialog) = 0;
};

Seam &seam();
// Replaces the seam (tests install a scripted one); returns the previous one.
std::unique_ptr<Seam> installSeam(std::unique_ptr<Seam> s);

// The real desktop: Qt's dialogs, QDesktopServices, QProcess and the screen.
std::unique_ptr<Seam> makeDesktopSeam();

// A Wayland session, whatever platform Qt runs on: other programs' pixels cannot be read there,
// not even through XWayland.
bool waylandDesktop();

// Qt's filter string for a "description|pattern|..." filter: each description is followed by its
// pattern fields in parentheses, since Qt reads the patterns from the last parentheses. The
// dialog hides those (HideNameFilterDetails), so each label is the description alone.
QString qtFilter(const QString &vbFilter);
// Qt's file dialog set up for a request: the filters with their labels, the filter and name
// offered, and in a save dialog the extension a bare name gets, following the selected filter.
void prepareFileDialog(QFileDialog &dialog, const FileDialogRequest &request);
// The filter selected in a dialog set up as above (1 for the first).
int selectedFilter(const QFileDialog &dialog, const QString &vbFilter);
// The 1-based index of the first filter whose patterns match the file name (ignoring case),
// or 0 when none does.
int filterIndexOf(const QString &vbFilter, const QString &fileName);
// The extension, without its dot, that a save dialog gives a name typed without one: the
// filter's, when its pattern is a single "*.ext"; otherwise none.
QString filterExtension(const QString &vbFilter, int filterIndex);

enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbSaveDiscardCancel = 6, // answers vbYes for Save, vbNo for Discard
    vbSaveCancel = 7,        // answers vbYes for Save
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// The one way a message box is shown.
int MsgBox(const QString &text, int style = vbOKOnly,
           const QString &title = QStringLiteral("Pixmint"));
