#include "app/mdlStart.h"

#include <QFileInfo>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "app/frmGeral.h"

namespace {

// Runs a call from the event loop once a window is on screen, so that a message about the
// window comes up over it rather than on its own before it.
class WhenExposed : public QObject
{
public:
    WhenExposed(QWindow *window, std::function<void()> call)
        : QObject(window)
        , window_(window)
        , call_(std::move(call))
    {
        if (window->isExposed())
            fire();
        else
            window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && window_->isExposed()) {
            window_->removeEventFilter(this);
            fire();
        }
        return false;
    }

private:
    void fire()
    {
        QTimer::singleShot(0, window_, call_);
        deleteLater();
    }

    QWindow *window_;
    std::function<void()> call_;
};

void openGivenFile(frmGeral &f, const QString &file)
{
    f.prepareOpenDialog();
    f.cd.setChosenFile(QFileInfo(file).absoluteFilePath());
    if (!f.openChosenFile())
        new WhenExposed(f.windowHandle(), [&f] { f.showOpenFailure(); });
}

} // namespace

void Main(const QString &file)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.Show();
    f.mnu40000->setEnabled(true);
    f.mnu40000->setText(QStringLiteral("40.000 Icons"));
    if (!file.isEmpty())
        openGivenFile(f, file);
}

// Placing windows where they were, the always-on-top band and reading other programs' pixels
// are X11 facilities that Wayland does not give programs.
void preferX11UnderWayland()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
