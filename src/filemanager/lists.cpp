#include "filemanager/lists.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStorageInfo>
#include <QStyle>
#include <dirent.h>

namespace {

// A folder that exists and can be opened for listing.
bool readableFolder(const QString &path)
{
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

QString cleaned(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

} // namespace

bool isPseudoFileSystem(const QString &type, const QString &root)
{
    static const QStringList pseudo = {
        QStringLiteral("proc"),        QStringLiteral("sysfs"),       QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),     QStringLiteral("devpts"),      QStringLiteral("devtmpfs"),
        QStringLiteral("mqueue"),      QStringLiteral("debugfs"),     QStringLiteral("tracefs"),
        QStringLiteral("securityfs"),  QStringLiteral("pstore"),      QStringLiteral("bpf"),
        QStringLiteral("configfs"),    QStringLiteral("fusectl"),     QStringLiteral("hugetlbfs"),
        QStringLiteral("autofs"),      QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"),
        QStringLiteral("rpc_pipefs"),  QStringLiteral("nsfs"),        QStringLiteral("selinuxfs"),
        QStringLiteral("fuse.portal"), QStringLiteral("ramfs")};
    const auto under = [&](const char *top) {
        const QString t = QString::fromLatin1(top);
        return root == t || root.startsWith(t + QLatin1Char('/'));
    };
    return pseudo.contains(type) || under("/proc") || under("/sys");
}

QStringList browsingPlaces()
{
    // The root is always there to browse, even where it is no mount of its own (a chroot or a
    // container lists only the mounts inside it).
    QStringList places{QDir::homePath(), QStringLiteral("/")};
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        if (v.isValid() && v.isReady() &&
            !isPseudoFileSystem(QString::fromLatin1(v.fileSystemType()), v.rootPath()))
            places << v.rootPath();
    }
    places.removeDuplicates();
    return places;
}

DriveListBox::DriveListBox(QWidget *parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, [this] {
        if (Change)
            Change();
    });
}

void DriveListBox::fill()
{
    const QString home = QDir::homePath();
    for (const QString &place : browsingPlaces())
        addItem(place == home ? place + QStringLiteral("  (home)") : place, place);
}

void DriveListBox::showPopup()
{
    // The open list is as wide as its longest place, not cut to the box's width.
    view()->setTextElideMode(Qt::ElideNone);
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth() +
                            view()->verticalScrollBar()->sizeHint().width());
    QComboBox::showPopup();
}

void DriveListBox::showPlaceOf(const QString &path)
{
    if (count() == 0)
        fill();
    // The deepest place that holds the path.
    int best = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const bool holds =
            path == root || root == QStringLiteral("/") || path.startsWith(root + QLatin1Char('/'));
        if (holds && (best < 0 || root.size() > itemData(best).toString().size()))
            best = i;
    }
    QSignalBlocker quiet(this);
    setCurrentIndex(best);
}

DirListBox::DirListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTextElideMode(Qt::ElideNone);
}

bool DirListBox::setPath(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return false;
    path_ = cleaned(path);
    fill();
    if (Change)
        Change();
    return true;
}

void DirListBox::Refresh()
{
    QString path = path_;
    while (!QFileInfo(path).isDir() && path != QStringLiteral("/"))
        path = QFileInfo(path).path();
    if (path != path_)
        setPath(path);
    else
        fill();
}

QString DirListBox::pathAt(int row) const
{
    return item(row)->data(Qt::UserRole).toString();
}

void DirListBox::fill()
{
    clear();
    const QStyle *style = QApplication::style();
    const QStringList parts = path_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString chain = QStringLiteral("/");
    int depth = 0;
    auto add = [&](const QString &label, const QString &target, QStyle::StandardPixmap icon) {
        auto *entry =
            new QListWidgetItem(style->standardIcon(icon),
                                QString(qsizetype(depth) * 2, QLatin1Char(' ')) + label, this);
        entry->setData(Qt::UserRole, target);
        return entry;
    };
    add(QStringLiteral("/"), chain, QStyle::SP_DirOpenIcon);
    for (const QString &part : parts) {
        ++depth;
        chain = QDir(chain).filePath(part);
        add(part, chain, QStyle::SP_DirOpenIcon);
    }
    setCurrentRow(count() - 1);
    ++depth;
    // Broken links and links that loop are no folders, so they are left out.
    const QStringList subfolders =
        QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &sub : subfolders)
        add(sub, QDir(path_).filePath(sub), QStyle::SP_DirClosedIcon);
}

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{
    // A long name scrolls rather than losing its middle.
    setTextElideMode(Qt::ElideNone);
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    const QListWidgetItem *before = currentItem();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter)
        event->accept();
    else
        QListWidget::keyPressEvent(event);
    if (Click && currentItem() && (enter || currentItem() != before))
        Click();
}

bool FileListBox::setPath(const QString &path)
{
    if (!readableFolder(path))
        return false;
    path_ = cleaned(path);
    Refresh();
    return true;
}

QString FileListBox::FileName() const
{
    const QListWidgetItem *current = currentItem();
    return current ? current->text() : QString();
}

void FileListBox::Refresh()
{
    clear();
    QDir dir(path_);
    dir.setNameFilters({Pattern});
    addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}
