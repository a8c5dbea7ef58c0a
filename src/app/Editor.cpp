#include "app/Editor.h"

#include "app/toolkit/PictureBox.h"

namespace {

Editor *currentEditor = nullptr;

} // namespace

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
    if (editor_.depth_++ == 0 && editor_.hook_)
        editor_.before_ = editor_.state();
}

IconChange::~IconChange()
{
    if (--editor_.depth_ != 0)
        return;
    std::optional<IconState> before = std::exchange(editor_.before_, std::nullopt);
    if (before && editor_.hook_)
        editor_.hook_(*before, editor_.state());
}
