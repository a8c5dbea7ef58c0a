#include "app/mdlStart.h"

#include <QFileInfo>

#include "app/frmGeral.h"
#include "app/toolkit/twips.h"

namespace {

void openGivenFile(frmGeral &f, const QString &file)
{
    f.prepareOpenDialog();
    f.cd.setChosenFile(QFileInfo(file).absoluteFilePath());
    if (!f.openChosenFile())
        whenOnScreen(&f, [&f] { f.showOpenFailure(); });
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
