#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

#include "app/mdlStart.h"
#include "formats/PixelImage.h"
#include "toolkit/Forms.h"
#include "toolkit/Seam.h"

namespace {

constexpr int kBadCommandLine = 2;

constexpr char kUsage[] = R"(Usage: pixmint [FILE]

Starts the Pixmint icon editor. With FILE, an icon, Windows bitmap, GIF or Windows metafile,
the editor starts with that picture on its canvas, as File, Open would leave it.

  -h, --help   shows this text and ends
  --version    shows the version and ends

Qt's own options (such as -platform or -display) are taken as well.
Exit status: 0 when the editor ends through File, Exit; 2 on a wrong command line.
)";

// Help and version are answered before Qt starts, so that they work without a display.
bool answeredAtOnce(int argc, char *argv[])
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("pixmint " PIXMINT_VERSION);
            return true;
        }
    }
    return false;
}

// The file named on the command line Qt leaves over; false when it cannot be understood.
bool fileArgument(const QStringList &arguments, QString &file)
{
    bool options = true;
    for (const QString &a : arguments.mid(1)) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if ((options && a.startsWith(u'-')) || !file.isEmpty()) {
            std::fprintf(stderr, "pixmint: unexpected argument '%s'\n\n%s", qPrintable(a), kUsage);
            return false;
        } else {
            file = a;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredAtOnce(argc, argv))
        return 0;
    preferX11UnderWayland();
    QApplication app(argc, argv);
    QString file;
    if (!fileArgument(QApplication::arguments(), file))
        return kBadCommandLine;
    QApplication::setApplicationName(QStringLiteral("Pixmint"));
    QApplication::setOrganizationName(QStringLiteral("Pixmint"));
    QApplication::setWindowIcon(
        QIcon(QPixmap::fromImage(resourcePicture(QStringLiteral(":/pixmint.png")))));
    installSeam(makeDesktopSeam());
    Main(file);
    const int rc = QApplication::exec();
    Forms::unloadAll();
    return rc;
}
