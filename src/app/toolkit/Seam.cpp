#include "app/toolkit/Seam.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QUrl>

namespace {

std::unique_ptr<Seam> &installed()
{
    static std::unique_ptr<Seam> s;
    return s;
}

QStringList qtFilterEntries(const QString &vbFilter)
{
    const QStringList parts = vbFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &p : patterns)
            p = p.trimmed();
        const QString list = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        entries << (description.endsWith(list, Qt::CaseInsensitive)
                        ? description
                        : description + QLatin1Char(' ') + list);
    }
    return entries;
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

    std::optional<QString> fileDialog(const FileDialogRequest &request) override
    {
        QString start = request.fileName;
        if (!request.initDir.isEmpty() && QFileInfo(start).isRelative())
            start = QDir(request.initDir).filePath(start);
        const QStringList entries = qtFilterEntries(request.filter);
        QString selected = entries.value(request.filterIndex - 1);
        const QString filter = entries.join(QStringLiteral(";;"));
        QWidget *parent = QApplication::activeWindow();
        const auto options = QFileDialog::DontUseNativeDialog;
        const QString path = request.save
                                 ? QFileDialog::getSaveFileName(parent, request.title, start,
                                                                filter, &selected, options)
                                 : QFileDialog::getOpenFileName(parent, request.title, start,
                                                                filter, &selected, options);
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }

    std::optional<FontChoice> fontDialog(const FontChoice &initial, int) override
    {
        QFont font(initial.name);
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

    std::optional<ColorValue> colorDialog(ColorValue initial, int) override
    {
        const QColor c = QColorDialog::getColor(toQColor(initial), QApplication::activeWindow(),
                                                QString(), QColorDialog::DontUseNativeDialog);
        if (!c.isValid())
            return std::nullopt;
        return fromQColor(c);
    }

    bool openUrl(const QString &url) override
    {
        QUrl u(url);
        // One letter is a drive, not a scheme; no scheme means a local path.
        if (u.scheme().size() <= 1)
            u = QUrl::fromLocalFile(url);
        return QDesktopServices::openUrl(u);
    }

    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingDir) override
    {
        return QProcess::startDetached(program, arguments, workingDir);
    }

    QImage grabScreen() override
    {
        QScreen *screen = QGuiApplication::primaryScreen();
        return screen ? screen->grabWindow(0).toImage() : QImage();
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

QString qtFilter(const QString &vbFilter)
{
    return qtFilterEntries(vbFilter).join(QStringLiteral(";;"));
}

int MsgBox(const QString &text, int style, const QString &title)
{
    return seam().messageBox(text, style, title);
}
