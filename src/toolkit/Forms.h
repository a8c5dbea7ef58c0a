#pragma once

#include <QCursor>
#include <QMainWindow>
#include <QString>
#include <typeindex>

// The window states and the key codes that the windows' operations take.
enum WindowStateKind { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
inline constexpr int vbKeyF2 = 113;
inline constexpr int vbKeyF3 = 114;

// A window of the program. Its load, resize and unload operations run as the old toolkit ran
// them; the registry below creates one instance per class on first use. A tool window
// (Qt::Tool) has a fixed size, whatever size it is given, and a frame with a close box only.
class Form : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::Window);

    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    // Set Cancel to keep the window.
    virtual void Form_Unload(int &Cancel) { Cancel = 0; }

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &c) { setWindowTitle(c); }
    // One of WindowStateKind.
    int WindowState() const;
    void setWindowState(int state);
    void Show() { show(); }
    void Hide() { hide(); }
    bool isToolWindow() const;
    // Makes the controls before the first show.
    void setVisible(bool visible) override;

protected:
    // Builds the controls of a window that nothing reads or writes before it is shown: a
    // window loaded hidden then costs its frame only. Runs once, just before the first show.
    virtual void makeControls() {}

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Runs the resize operation only once per change of size or state.
    void notifyResize();

private:
    bool controlsMade_ = false;
    QSize lastSize_;
    int lastState_ = -1;
};

// The pointing hand over links, loaded from the program's resources; its hot spot is the
// fingertip.
QCursor LinkCursor();

namespace Forms {
Form *find(std::type_index type);
void add(std::type_index type, Form *form);
void remove(Form *form);

// Loads the window on first use: constructs it and runs its load operation.
template<class T> T &get()
{
    if (Form *f = find(typeid(T)))
        return static_cast<T &>(*f);
    T *f = new T;
    add(typeid(T), f);
    f->Form_Load();
    return *f;
}
template<class T> bool loaded()
{
    return find(typeid(T)) != nullptr;
}
// Runs the unload operation and destroys the window, unless the operation cancels.
bool unload(Form *form);
template<class T> void unload()
{
    if (Form *f = find(typeid(T)))
        unload(f);
}
// Ends every window of the program at once, without asking.
void unloadAll();
} // namespace Forms
