// The "&Options" menu: frame styles of the six panels, the settings file that keeps the style
// and panel dragging; and the text panel.

#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <cstdio>

#include "app/frmGeral.h"
#include "formats/SettingsFile.h"
#include "toolkit/SeqFile.h"

void frmGeral::buildOptionsMenu()
{
    mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuEdFormat = mnuOptions->addMenu(QStringLiteral("Object's Format"));
    mnuRaised = menuEntry(mnuEdFormat, "Raised");
    mnuSoftRaised = menuEntry(mnuEdFormat, "Soft Raised");
    mnuSunken = menuEntry(mnuEdFormat, "Inset");
    mnuSoftSunken = menuEntry(mnuEdFormat, "Soft Inset");
    mnuEtched = menuEntry(mnuEdFormat, "Etched");
    mnuDrag = menuEntry(mnuOptions, "Activate Drag");
    div8 = mnuOptions->addSeparator();
    mnu40000 = menuEntry(mnuOptions, "40.000 Icons");
    mnu40000->setEnabled(false);

    connect(mnuRaised, &QAction::triggered, this, &frmGeral::mnuRaised_Click);
    connect(mnuSoftRaised, &QAction::triggered, this, &frmGeral::mnuSoftRaised_Click);
    connect(mnuSunken, &QAction::triggered, this, &frmGeral::mnuSunken_Click);
    connect(mnuSoftSunken, &QAction::triggered, this, &frmGeral::mnuSoftSunken_Click);
    connect(mnuEtched, &QAction::triggered, this, &frmGeral::mnuEtched_Click);
    connect(mnuDrag, &QAction::triggered, this, &frmGeral::mnuDrag_Click);
    connect(mnu40000, &QAction::triggered, this, &frmGeral::mnu40000_Click);
}

std::array<SSPanel *, 6> frmGeral::panels() const
{
    return {fraTexto, pic3dIco, pic3DMode, pic3DTool, pnlMaster, pic3DColor};
}

void frmGeral::FormatTools()
{
    // Written whole or not at all, so a failed write leaves the previous file as it was.
    if (!SettingsFile::write(settingsFilePath(), settingsFileContent(txtFormat->text())))
        txtFormat->setText(QStringLiteral("2"));
}

void frmGeral::MudaFormatoTollfrmGeral()
{
    const int kind = txtFormat->text().trimmed().toInt();
    for (SSPanel *p : panels())
        p->setBevelOuter(kind);
}

void frmGeral::readFrameStyle()
{
    FormatError error;
    const auto bytes = SettingsFile::read(settingsFilePath(), qint64(64) * 1024, &error);
    QString field;
    bool ok = bytes.has_value();
    if (ok) {
        SeqFile::Reader reader(*bytes);
        for (int i = 0; i < 6 && ok; ++i)
            ok = reader.next(field);
        // A panel takes only a number as its bevel kind.
        if (ok)
            field.trimmed().toInt(&ok);
    }
    if (!ok) {
        // What reads as no frame style (a link to a file of notes, say) moves aside, the link
        // itself and not its file, before the fresh file is written: never through it.
        const QByteArray path = QFile::encodeName(settingsFilePath());
        if ((bytes || error.kind == FormatError::Kind::TooLarge) &&
            std::rename(path.constData(), (path + ".damaged").constData()) != 0) {
            txtFormat->setText(QStringLiteral("2"));
            return;
        }
        txtFormat->setText(QStringLiteral("3"));
        FormatTools();
        return;
    }
    txtFormat->setText(field);
    MudaFormatoTollfrmGeral();
}

namespace {

void applyFrameStyle(frmGeral &f, const char *style, int bevelWidth)
{
    f.txtFormat->setText(QString::fromLatin1(style));
    for (SSPanel *p : f.panels())
        p->setBevelWidth(bevelWidth);
    f.FormatTools();
    f.MudaFormatoTollfrmGeral();
}

} // namespace

void frmGeral::mnuRaised_Click()
{
    applyFrameStyle(*this, "2", 4);
}
void frmGeral::mnuSoftRaised_Click()
{
    applyFrameStyle(*this, "2", 2);
}
void frmGeral::mnuSunken_Click()
{
    applyFrameStyle(*this, "1", 4);
}
void frmGeral::mnuSoftSunken_Click()
{
    applyFrameStyle(*this, "1", 2);
}
void frmGeral::mnuEtched_Click()
{
    applyFrameStyle(*this, "2", 1);
}

void frmGeral::mnuDrag_Click()
{
    if (mnuDrag->text() == QLatin1String("Activate Drag")) {
        for (SSPanel *p : panels())
            p->setDragMode(SSPanel::vbAutomatic);
        mnuDrag->setText(QStringLiteral("Disable Drag"));
        MsgBox(QStringLiteral("Drag Objects!\nThe cursor moves and position the objects!\n"),
               vbOKOnly, QStringLiteral("Drag, Activated!"));
    } else {
        for (SSPanel *p : panels())
            p->setDragMode(SSPanel::vbManual);
        mnuDrag->setText(QStringLiteral("Activate Drag"));
    }
}

void frmGeral::mnuOpTxt_Click()
{
    const bool open = mnuOpTxt->text() == QLatin1String("Open Text");
    fraTexto->setVisible(open);
    mnuOpTxt->setText(open ? QStringLiteral("Close Text") : QStringLiteral("Open Text"));
}
