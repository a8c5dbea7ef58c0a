#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "toolkit/Seam.h"

// The seam every test runs with: it answers from scripted queues (or with the defaults when a
// queue is empty) and records everything the program asked.
class ScriptedSeam : public Seam
{
public:
    struct Message
    {
        QString text;
        int style;
        QString title;
    };
    struct Program
    {
        QString program;
        QStringList arguments;
        QString workingDir;
    };

    // Answers, taken front first. Defaults: OK, cancel, cancel, cancel, started, and a program
    // for every type.
    std::deque<int> messageAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    std::deque<std::optional<ColorValue>> colorAnswers;
    std::deque<int> startAnswers;
    std::deque<QString> applicationAnswers;
    // The filter selected in each confirmed file dialog; by default the one offered.
    std::deque<int> filterAnswers;
    // What every screen grab answers; nothing, as on a desktop whose pixels cannot be read.
    std::optional<ScreenStill> screen;
    // Runs while a file dialog or a message box is "open", to look at the program at that moment.
    std::function<void()> whileFileDialog;
    std::function<void()> whileMessageBox;
    // Runs while a dialog of the program's own is "open", to look at it and change its controls.
    std::function<void(QDialog &)> whileDialog;
    // How each of those dialogs ends; by default QDialog::Rejected.
    std::deque<int> dialogAnswers;
    // The step of a progress dialog at which the user presses Cancel (1 for the first); 0 never.
    int cancelProgressAt = 0;

    // What was asked.
    std::vector<Message> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<FontChoice> fontRequests;
    std::vector<ColorValue> colorRequests;
    QStringList colorTitles;
    std::vector<Program> programs;
    QStringList mimeTypes; // asked for their default program
    int screenGrabs = 0;
    QStringList dialogTitles;
    // Each progress dialog's title, then the text of every step it showed.
    std::deque<QStringList> progressDialogs;

    int messageBox(const QString &text, int style, const QString &title) override;
    std::optional<FileDialogAnswer> fileDialog(const FileDialogRequest &request) override;
    std::optional<FontChoice> fontDialog(const FontChoice &initial, int flags) override;
    std::optional<ColorValue> colorDialog(ColorValue initial, int flags,
                                          const QString &title) override;
    int startDetached(const QString &program, const QStringList &arguments,
                      const QString &workingDir) override;
    QString defaultApplication(const QString &mimeType) override;
    std::optional<ScreenStill> grabScreen() override;
    std::unique_ptr<Progress> progress(const QString &title, int total) override;
    int runDialog(QDialog &dialog) override;

    // Forgets every answer and record.
    void reset();
};

// The scripted seam the test main installed.
ScriptedSeam &scripted();
