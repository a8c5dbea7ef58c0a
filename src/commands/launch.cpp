// The entries that leave the editor: the makers' web pages, the sibling tool Brushkit and the
// About box, in the "About" menu and elsewhere.

#include <QMenuBar>

#include "app/frmGeral.h"
#include "face/project.h"
#include "shell/frmAbout.h"
#include "shell/mdlExecuta.h"
#include "toolkit/ShellExecute.h"
#include "toolkit/twips.h"

namespace {

// A web page opens or not, silently.
void openPage(const char *address)
{
    ShellExecute(QStringLiteral("Open"), QString::fromLatin1(address), QString(), QString());
}

} // namespace

void frmGeral::buildAboutMenu()
{
    mnuAbout = menuBar()->addMenu(QStringLiteral("About"));
    // Qt would merge the three adjacent separators into one line.
    mnuAbout->setSeparatorsCollapsible(false);
    mnucshp = menuEntry(mnuAbout, "    Orvel HP");
    div5 = mnuAbout->addSeparator();
    div4 = mnuAbout->addSeparator();
    div6 = mnuAbout->addSeparator();
    mnuVersao = menuEntry(mnuAbout, "Version:  2.1.0");

    connect(mnucshp, &QAction::triggered, this, &frmGeral::mnucshp_Click);
    connect(mnuVersao, &QAction::triggered, this, &frmGeral::mnuVersao_Click);
}

void frmGeral::mnu40000_Click()
{
    openPage(project::ProductPage);
}

void frmGeral::mnucshp_Click()
{
    openPage(project::HomePage);
}

void frmGeral::mnuBrushkit_Click()
{
    ShellOpen(App::Path() + QStringLiteral("/brushkit"), QString());
}

void frmGeral::mnuVersao_Click()
{
    // Shown beside the editor, not in its way.
    Forms::get<frmAbout>().Show();
}
