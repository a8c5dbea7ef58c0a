#include "face/History.h"

#include "face/Editor.h"

namespace {

// The change has already been made when its step is pushed, so the first redo does nothing.
class IconStep : public QUndoCommand
{
public:
    IconStep(Editor &editor, IconState before, IconState after)
        : editor_(editor)
        , before_(std::move(before))
        , after_(std::move(after))
    {
    }
    void undo() override { editor_.restore(before_); }
    void redo() override
    {
        if (!std::exchange(made_, false))
            editor_.restore(after_);
    }

private:
    Editor &editor_;
    IconState before_;
    IconState after_;
    bool made_ = true;
};

} // namespace

History::History(Editor &editor)
    : editor_(editor)
{
    stack_.setUndoLimit(Limit);
    editor_.setChangeHook([this](const IconState &before, const IconState &after, bool load) {
        if (before.image == after.image && before.canvas == after.canvas)
            return;
        const bool wasSaved = stack_.isClean();
        stack_.push(new IconStep(editor_, before, after));
        if (load && wasSaved)
            stack_.setClean();
    });
}

void History::undo()
{
    if (!editor_.changing())
        stack_.undo();
}

void History::redo()
{
    if (!editor_.changing())
        stack_.redo();
}
