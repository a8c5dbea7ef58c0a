#pragma once

#include <QUndoStack>

class Editor;

// The editor's undo and redo: each change of the icon is one step holding the icon before and
// after it. The stack's clean state is the icon as last saved.
class History
{
public:
    // At least this many steps are kept; a step holds two 32 x 32 pictures (8 KB).
    static constexpr int Limit = 256;

    explicit History(Editor &editor);
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    QUndoStack &stack() { return stack_; }
    void undo();
    void redo();
    // Whether the icon differs from the one last saved (or, before any save, from the start).
    bool unsaved() const { return !stack_.isClean(); }
    void markSaved() { stack_.setClean(); }

private:
    Editor &editor_;
    QUndoStack stack_;
};
