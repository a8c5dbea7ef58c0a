#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Window"));
    const QStringList titles{QStringLiteral("&File"), QStringLiteral("&Edit"),
                             QStringLiteral("&View"), QStringLiteral("&Help")};
    for (const QString &title : titles) {
        QMenu *menu = window.menuBar()->addMenu(title);
        for (int i = 1; i <= 4; ++i)
            menu->addAction(title.mid(1) + QStringLiteral(" entry ") + QString::number(i));
    }
    // As large as the editor's window, so that both pay for the same backing store.
    window.resize(window.screen()->size() - QSize(7, 7));
    window.show();
    return QApplication::exec();
}
