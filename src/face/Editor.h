#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

#include "face/cells.h"
#include "toolkit/CommonDialog.h"

class Form;
class PictureBox;
class QAction;

// What a change of the icon leaves: its pixels and the canvas they are shown on.
struct IconState
{
    QImage image;
    CanvasSize canvas;
};

// The icon file of several images the picture was loaded from, so that a save can keep its
// other images; empty for any other picture.
struct IconSource
{
    QString path;
    bool empty() const { return path.isEmpty(); }
};
// The source a picture loaded from `path` has: empty unless the file holds several icon images.
IconSource iconSourceOf(const QString &path);
// The source's bytes as they are now, while it is still an icon file no larger than Open reads;
// nothing once it vanished or became something else.
std::optional<QByteArray> readIconSource(const IconSource &source);

// The main window as the other windows see it: the icon, the two button colours, the common
// dialog, the file-name line and the entries they switch. The main window is made before any
// other window and is the current editor while it lives.
//
// Every change of Ikon's pixels or of the canvas size, whoever makes it, is made inside a
// change (changeIcon or an IconChange); changes opened inside another join it, so the outermost
// one is a single step for the user.
class Editor
{
public:
    Editor();
    virtual ~Editor();
    Editor(const Editor &) = delete;
    Editor &operator=(const Editor &) = delete;

    // The main window; only while it exists.
    static Editor &current();
    static bool exists();

    // The actual-size icon, the model; `RedrawGrid` shows it on the enlarged grid.
    PictureBox *Ikon = nullptr;
    // The drawing colours of the left and the right mouse button, as back colours.
    PictureBox *LeftColor = nullptr;
    PictureBox *RightColor = nullptr;
    PictureBox *picLimpa = nullptr; // a blank white picture
    // The font and colour dialogs; its file name is the file last opened or saved.
    CommonDialog cd;
    QAction *mnuReduzir = nullptr;     // "Resize"
    QAction *mnuPropriedade = nullptr; // "Properties"

    // Repaints all 32 x 32 cells from Ikon.
    virtual void RedrawGrid() = 0;
    // The file-name line; setting it runs its change event.
    virtual QString msg() const = 0;
    virtual void setMsg(const QString &caption) = 0;
    // The main window itself, for its state and as a parent.
    virtual Form &mainWindow() = 0;

    // Makes `edit` as one change of the icon, then repaints the grid from it.
    void changeIcon(const std::function<void()> &edit);
    // The same for a picture loaded whole (Open, a search, a file): a canvas without unsaved
    // changes stays without them. `source` is the file it came from, if any.
    void loadIcon(const std::function<void()> &edit, const IconSource &source = {});
    // Puts a state back (undo, redo) as no change of its own, and repaints the grid.
    void restore(const IconState &state);
    // While a change is open (a pencil stroke is drawn) the icon is not to be put back.
    bool changing() const { return depth_ > 0; }
    const IconSource &iconSource() const { return source_; }
    void forgetIconSource() { source_ = {}; }
    void setIconSource(IconSource source) { source_ = std::move(source); }
    // Gives the icon and the grid the canvas size, as part of a change.
    void setCanvasSize(const CanvasSize &size);
    CanvasSize canvasSize() const { return canvas_; }

    // Called at the end of every outermost change with the icon before and after it; `load` for
    // a change made by loadIcon.
    using ChangeHook =
        std::function<void(const IconState &before, const IconState &after, bool load)>;
    void setChangeHook(ChangeHook hook) { hook_ = std::move(hook); }

protected:
    // Sizes the controls that show the canvas.
    virtual void applyCanvasSize(const CanvasSize &size) = 0;

private:
    friend class IconChange;
    IconState state() const;

    int depth_ = 0;
    bool loading_ = false;
    bool restoring_ = false;
    std::optional<IconState> before_;
    IconSource source_;
    CanvasSize canvas_ = StandardCanvas;
    ChangeHook hook_;
};

// A change of the icon for as long as it lives.
class IconChange
{
public:
    explicit IconChange(Editor &editor);
    ~IconChange();
    IconChange(const IconChange &) = delete;
    IconChange &operator=(const IconChange &) = delete;

private:
    Editor &editor_;
};
