#include "face/Editor.h"

#include "formats/IconImage.h"
#include "formats/Pictures.h"
#include "formats/QtBridge.h"
#include "toolkit/PictureBox.h"

namespace {

Editor *currentEditor = nullptr;

} // namespace

IconSource iconSourceOf(const QString &path)
{
    // Only an icon file is read whole, and no larger than Open takes one.
    const auto head = readUserFileHead(path, 4);
    if (!head || *head != QByteArray("\0\0\1\0", 4))
        return {};
    const auto bytes = readUserFile(path, kMaxPictureFileBytes);
    if (!bytes)
        return {};
    const auto entries = readIconDirectory(bytesView(*bytes));
    if (!entries || entries->size() < 2)
        return {};
    return {path};
}

std::optional<QByteArray> readIconSource(const IconSource &source)
{
    if (source.empty())
        return std::nullopt;
    auto bytes = readUserFile(source.path, kMaxPictureFileBytes);
    if (!bytes || !bytes->startsWith(QByteArray("\0\0\1\0", 4)))
        return std::nullopt;
    return bytes;
}

Editor::Editor()
{
    currentEditor = this;
}

Editor::~Editor()
{
    if (currentEditor == this)
        currentEditor = nullptr;
}

bool Editor::exists()
{
    return currentEditor != nullptr;
}

Editor &Editor::current()
{
    Q_ASSERT(currentEditor);
    return *currentEditor;
}

void Editor::changeIcon(const std::function<void()> &edit)
{
    const IconChange change(*this);
    edit();
    RedrawGrid();
}

void Editor::loadIcon(const std::function<void()> &edit, const IconSource &source)
{
    if (depth_ == 0)
        loading_ = true;
    source_ = source;
    changeIcon(edit);
}

void Editor::restore(const IconState &state)
{
    restoring_ = true;
    {
        const IconChange change(*this);
        setCanvasSize(state.canvas);
        Ikon->setPicture(state.image);
    }
    restoring_ = false;
    RedrawGrid();
}

void Editor::setCanvasSize(const CanvasSize &size)
{
    const IconChange change(*this);
    canvas_ = size;
    applyCanvasSize(size);
}

IconState Editor::state() const
{
    return {Ikon->Image(), canvas_};
}

IconChange::IconChange(Editor &editor)
    : editor_(editor)
{
    // The state is taken only for a hook: without one a change costs nothing.
    if (editor_.depth_++ == 0 && editor_.hook_ && !editor_.restoring_)
        editor_.before_ = editor_.state();
}

IconChange::~IconChange()
{
    if (--editor_.depth_ != 0)
        return;
    std::optional<IconState> before = std::exchange(editor_.before_, std::nullopt);
    const bool load = std::exchange(editor_.loading_, false);
    if (before && editor_.hook_)
        editor_.hook_(*before, editor_.state(), load);
}
