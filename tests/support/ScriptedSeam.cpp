#include "support/ScriptedSeam.h"

#include <QScopeGuard>

namespace {
template<class T> T take(std::deque<T> &queue, const T &fallback)
{
    if (queue.empty())
        return fallback;
    // The answer is moved out before the guard drops its husk.
    const auto drop = qScopeGuard([&queue] { queue.pop_front(); });
    return std::move(queue.front());
}
} // namespace

int ScriptedSeam::messageBox(const QString &text, int style, const QString &title)
{
    messages.push_back({text, style, title});
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

std::optional<ColorValue> ScriptedSeam::colorDialog(ColorValue initial, int)
{
    colorRequests.push_back(initial);
    return take(colorAnswers, std::optional<ColorValue>());
}

bool ScriptedSeam::openUrl(const QString &url)
{
    urls << url;
    return take(openUrlAnswers, true);
}

bool ScriptedSeam::startProgram(const QString &program, const QStringList &arguments,
                                const QString &workingDir)
{
    programs.push_back({program, arguments, workingDir});
    return take(startProgramAnswers, true);
}

QImage ScriptedSeam::grabScreen()
{
    ++screenGrabs;
    return screen;
}

void ScriptedSeam::reset()
{
    *this = ScriptedSeam();
}

ScriptedSeam &scripted()
{
    return dynamic_cast<ScriptedSeam &>(seam());
}
