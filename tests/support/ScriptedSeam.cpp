#include "support/ScriptedSeam.h"

#include <QDialog>

namespace {
template<class T> T take(std::deque<T> &queue, T fallback)
{
    if (!queue.empty()) {
        fallback = std::move(queue.front());
        queue.pop_front();
    }
    return fallback;
}
} // namespace

int ScriptedSeam::messageBox(const QString &text, int style, const QString &title)
{
    messages.push_back({text, style, title});
    if (whileMessageBox)
        whileMessageBox();
    return take(messageAnswers, int(vbOK));
}

std::optional<FileDialogAnswer> ScriptedSeam::fileDialog(const FileDialogRequest &request)
{
    fileRequests.push_back(request);
    if (whileFileDialog)
        whileFileDialog();
    const std::optional<QString> path = take(fileAnswers, std::optional<QString>());
    if (!path)
        return std::nullopt;
    return FileDialogAnswer{*path, take(filterAnswers, request.filterIndex)};
}

std::optional<FontChoice> ScriptedSeam::fontDialog(const FontChoice &initial, int)
{
    fontRequests.push_back(initial);
    return take(fontAnswers, std::optional<FontChoice>());
}

std::optional<ColorValue> ScriptedSeam::colorDialog(ColorValue initial, int, const QString &title)
{
    colorRequests.push_back(initial);
    colorTitles << title;
    return take(colorAnswers, std::optional<ColorValue>());
}

int ScriptedSeam::startDetached(const QString &program, const QStringList &arguments,
                                const QString &workingDir)
{
    programs.push_back({program, arguments, workingDir});
    return take(startAnswers, int(ShellStarted));
}

QString ScriptedSeam::defaultApplication(const QString &mimeType)
{
    mimeTypes << mimeType;
    return take(applicationAnswers, QStringLiteral("scripted.desktop"));
}

std::optional<ScreenStill> ScriptedSeam::grabScreen()
{
    ++screenGrabs;
    return screen;
}

namespace {
class ScriptedProgress : public Progress
{
public:
    std::function<bool(const QString &)> onStep;
    bool step(const QString &text, int) override { return onStep(text); }
};
} // namespace

std::unique_ptr<Progress> ScriptedSeam::progress(const QString &title, int)
{
    progressDialogs.push_back({title});
    auto p = std::make_unique<ScriptedProgress>();
    p->onStep = [&record = progressDialogs.back(),
                 cancelAt = cancelProgressAt](const QString &text) {
        record << text;
        return cancelAt == 0 || int(record.size()) - 1 < cancelAt;
    };
    return p;
}

int ScriptedSeam::runDialog(QDialog &dialog)
{
    dialogTitles << dialog.windowTitle();
    if (whileDialog)
        whileDialog(dialog);
    return take(dialogAnswers, int(QDialog::Rejected));
}

void ScriptedSeam::reset()
{
    *this = ScriptedSeam();
}

ScriptedSeam &scripted()
{
    return dynamic_cast<ScriptedSeam &>(seam());
}
