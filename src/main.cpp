#include <QApplication>
#include <QIcon>

#include "app/mdlStart.h"
#include "app/toolkit/Forms.h"
#include "app/toolkit/Seam.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixmint"));
    QApplication::setOrganizationName(QStringLiteral("Pixmint"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pixmint.png")));
    installSeam(makeDesktopSeam());
    Main();
    const int rc = QApplication::exec();
    Forms::unloadAll();
    return rc;
}
