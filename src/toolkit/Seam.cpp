#include "toolkit/Seam.h"

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScreen>
#include <cerrno>
#include <limits>

namespace {

class DesktopProgress : public Progress
{
public:
    DesktopProgress(const QString &title, int total)
        : dialog_(new QProgressDialog(QString(), QStringLiteral("Cancel"), 0, total,
                                      QApplication::activeWindow()))
    {
        // Shown by step() alone: a dialog that showed itself on a timer could come up over a
        // question asked between two steps and, being modal, leave it unanswerable.
        dialog_->setMinimumDuration(std::numeric_limits<int>::max());
        dialog_->reset();
        dialog_->setWindowTitle(title);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        started_.start();
    }
    ~DesktopProgress() override { delete dialog_.data(); }
    DesktopProgress(const DesktopProgress &) = delete;
    DesktopProgress &operator=(const DesktopProgress &) = delete;
    bool step(const QString &text, int done) override
    {
        // The window it stands over may have been closed while events came through: that
        // ends the operation as a cancel does.
        if (!dialog_)
            return false;
        dialog_->setLabelText(text);
        dialog_->setValue(done);
        if (!dialog_->isVisible() && started_.elapsed() >= 500)
            dialog_->show();
        // The Cancel button's click arrives here.
        QCoreApplication::processEvents();
        return dialog_ && !dialog_->wasCanceled();
    }

private:
    QPointer<QProgressDialog> dialog_;
    QElapsedTimer started_;
};

std::unique_ptr<Seam> &installed()
{
    static std::unique_ptr<Seam> s;
    return s;
}

struct FilterEntry
{
    QString description;
    QStringList patterns;
};

std::vector<FilterEntry> filterEntries(const QString &vbFilter)
{
    const QStringList parts = vbFilter.split(QLatin1Char('|'));
    std::vector<FilterEntry> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &p : patterns)
            p = p.trimmed();
        entries.push_back({parts[i].trimmed(), patterns});
    }
    return entries;
}

QStringList qtFilterEntries(const QString &vbFilter)
{
    QStringList entries;
    for (const FilterEntry &e : filterEntries(vbFilter))
        entries << e.description + QStringLiteral(" (") + e.patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    return entries;
}

// Qt reports why a start failed as the failing call followed by the system's words for its
// errno value ("execv: Exec format error"); the words give the shell's code back. A file that
// is missing now is a missing interpreter, which the shell has no words for, like a missing
// library.
int startFailure(const QString &error)
{
    static const std::pair<int, int> codes[] = {
        {ENOEXEC, ShellBadFormat},
        {EACCES, ShellAccessDenied},
        {EPERM, ShellAccessDenied},
        {ENOMEM, ShellOutOfMemory},
    };
    for (const auto &[errnoValue, code] : codes)
        if (error.endsWith(QStringLiteral(": ") + qt_error_string(errnoValue)))
            return code;
    return ShellOtherError;
}

class DesktopSeam : public Seam
{
public:
    int messageBox(const QString &text, int style, const QString &title) override
    {
        struct Choice
        {
            QMessageBox::StandardButton button;
            int result;
        };
        std::vector<Choice> choices;
        switch (style & 7) {
        case 1:
            choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
            break;
        case 2:
            choices = {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
            break;
        case 3:
            choices = {{QMessageBox::Yes, vbYes},
                       {QMessageBox::No, vbNo},
                       {QMessageBox::Cancel, vbCancel}};
            break;
        case 4:
            choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
            break;
        case 5:
            choices = {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, vbCancel}};
            break;
        case vbSaveDiscardCancel:
            choices = {{QMessageBox::Save, vbYes},
                       {QMessageBox::Discard, vbNo},
                       {QMessageBox::Cancel, vbCancel}};
            break;
        case vbSaveCancel:
            choices = {{QMessageBox::Save, vbYes}, {QMessageBox::Cancel, vbCancel}};
            break;
        default:
            choices = {{QMessageBox::Ok, vbOK}};
            break;
        }
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        switch (style & 0x70) {
        case vbCritical:
            icon = QMessageBox::Critical;
            break;
        case vbQuestion:
            icon = QMessageBox::Question;
            break;
        case vbExclamation:
            icon = QMessageBox::Warning;
            break;
        case vbInformation:
            icon = QMessageBox::Information;
            break;
        default:
            break;
        }
        QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
        for (const Choice &c : choices)
            box.addButton(c.button);
        // 256 and 512 pick the second and third button as the default one.
        const size_t preferred = size_t(style >> 8 & 3);
        box.setDefaultButton(choices[preferred < choices.size() ? preferred : 0].button);
        box.exec();
        const QAbstractButton *clicked = box.clickedButton();
        for (const Choice &c : choices)
            if (clicked && clicked == box.button(c.button))
                return c.result;
        // Closed without a button: the escape answer.
        return choices.size() == 1 ? choices.front().result : vbCancel;
    }

    std::optional<FileDialogAnswer> fileDialog(const FileDialogRequest &request) override
    {
        QFileDialog dialog(QApplication::activeWindow());
        prepareFileDialog(dialog, request);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return FileDialogAnswer{dialog.selectedFiles().constFirst(),
                                selectedFilter(dialog, request.filter)};
    }

    int runDialog(QDialog &dialog) override { return dialog.exec(); }

    std::optional<FontChoice> fontDialog(const FontChoice &initial, int) override
    {
        // The dialog lists the styles of real families alone: an alias such as "Sans Serif"
        // offers no Bold, so it is preset with the family the name resolves to.
        QFont font(QFontInfo(QFont(initial.name)).family());
        if (initial.size > 0)
            font.setPointSizeF(initial.size);
        font.setBold(initial.bold);
        font.setItalic(initial.italic);
        font.setUnderline(initial.underline);
        font.setStrikeOut(initial.strikethru);
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, QApplication::activeWindow(),
                                                  QString(), QFontDialog::DontUseNativeDialog);
        if (!ok)
            return std::nullopt;
        FontChoice c = initial;
        c.name = chosen.family();
        c.size = chosen.pointSizeF();
        c.bold = chosen.bold();
        c.italic = chosen.italic();
        c.underline = chosen.underline();
        c.strikethru = chosen.strikeOut();
        return c;
    }

    std::optional<ColorValue> colorDialog(ColorValue initial, int, const QString &title) override
    {
        const QColor c = QColorDialog::getColor(toQColor(initial), QApplication::activeWindow(),
                                                title, QColorDialog::DontUseNativeDialog);
        if (!c.isValid())
            return std::nullopt;
        return fromQColor(c);
    }

    int startDetached(const QString &program, const QStringList &arguments,
                      const QString &workingDir) override
    {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setWorkingDirectory(workingDir);
        return process.startDetached() ? ShellStarted : startFailure(process.errorString());
    }

    QString defaultApplication(const QString &mimeType) override
    {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"),
                    {QStringLiteral("query"), QStringLiteral("default"), mimeType});
        // A desktop that does not answer in time has no program to offer.
        if (!query.waitForFinished(5000)) {
            query.kill();
            query.waitForFinished(1000);
            return {};
        }
        if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
            return {};
        return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    }

    std::optional<ScreenStill> grabScreen() override
    {
        if (waylandDesktop())
            return std::nullopt;
        QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return std::nullopt;
        QImage image = screen->grabWindow(0).toImage();
        if (image.isNull())
            return std::nullopt;
        return ScreenStill{std::move(image), screen->geometry()};
    }

    std::unique_ptr<Progress> progress(const QString &title, int total) override
    {
        return std::make_unique<DesktopProgress>(title, total);
    }
};

} // namespace

Seam &seam()
{
    if (!installed())
        installed() = makeDesktopSeam();
    return *installed();
}

std::unique_ptr<Seam> installSeam(std::unique_ptr<Seam> s)
{
    std::swap(installed(), s);
    return s;
}

std::unique_ptr<Seam> makeDesktopSeam()
{
    return std::make_unique<DesktopSeam>();
}

bool waylandDesktop()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE")
                   .compare(QStringLiteral("wayland"), Qt::CaseInsensitive) == 0;
}

QString qtFilter(const QString &vbFilter)
{
    return qtFilterEntries(vbFilter).join(QStringLiteral(";;"));
}

void prepareFileDialog(QFileDialog &dialog, const FileDialogRequest &request)
{
    QString start = request.fileName;
    if (!request.initDir.isEmpty() && QFileInfo(start).isRelative())
        start = QDir(request.initDir).filePath(start);
    const QStringList entries = qtFilterEntries(request.filter);
    dialog.setWindowTitle(request.title);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(entries);
    // The filter first: selecting one in a save dialog changes the extension shown.
    dialog.selectNameFilter(entries.value(request.filterIndex - 1));
    if (QFileInfo(start).isDir())
        dialog.setDirectory(start);
    else
        dialog.selectFile(start);
    if (!request.save)
        return;
    // A name typed without an extension gets the selected filter's, before the dialog asks
    // about replacing a file of that name.
    const QString filter = request.filter;
    const auto followFilter = [&dialog, filter] {
        dialog.setDefaultSuffix(filterExtension(filter, selectedFilter(dialog, filter)));
    };
    followFilter();
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
}

int selectedFilter(const QFileDialog &dialog, const QString &vbFilter)
{
    const QStringList entries = qtFilterEntries(vbFilter);
    const QString selected = dialog.selectedNameFilter();
    // With the details hidden Qt reports the label alone; the whole entry is taken as well.
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i] == selected || entries[i].startsWith(selected + QStringLiteral(" (")))
            return int(i) + 1;
    return 1;
}

int filterIndexOf(const QString &vbFilter, const QString &fileName)
{
    const std::vector<FilterEntry> entries = filterEntries(vbFilter);
    for (size_t i = 0; i < entries.size(); ++i)
        for (const QString &p : entries[i].patterns)
            if (QRegularExpression::fromWildcard(p, Qt::CaseInsensitive).match(fileName).hasMatch())
                return int(i) + 1;
    return 0;
}

QString filterExtension(const QString &vbFilter, int filterIndex)
{
    const std::vector<FilterEntry> entries = filterEntries(vbFilter);
    if (filterIndex < 1 || size_t(filterIndex) > entries.size())
        return {};
    const QStringList &patterns = entries[size_t(filterIndex) - 1].patterns;
    static const QRegularExpression single(QStringLiteral("^\\*\\.([^*?.\\[\\]]+)$"));
    if (patterns.size() != 1)
        return {};
    const QRegularExpressionMatch m = single.match(patterns[0]);
    return m.hasMatch() ? m.captured(1) : QString();
}

int MsgBox(const QString &text, int style, const QString &title)
{
    return seam().messageBox(text, style, title);
}
