#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <optional>
#include <unistd.h>

#include "app/frmGeral.h"
#include "filemanager/frmCopy.h"
#include "formats/Pictures.h"
#include "support/ScriptedSeam.h"
#include "support/files.h"
#include "support/helpers.h"

namespace {

const QString NoFiles = QStringLiteral("  No  files  selected  for  this  operation  ");
const QString NotDone = QStringLiteral("   Did   not   complete   operation   successfully.  ");

QStringList entries(const FileListBox *list)
{
    QStringList names;
    for (int i = 0; i < list->ListCount(); ++i)
        names << list->List(i);
    return names;
}

class FileManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.mnuOpenAs_Click();
        for (const char *name : {"a.ico", "b.ico", "C.ICO", "notes.txt"})
            ASSERT_TRUE(writeAll(source.filePath(QString::fromLatin1(name)), "x"));
        c.lstDir[0]->setPath(source.path());
        c.lstDir[1]->setPath(destination.path());
    }
    void TearDown() override { QDir::setCurrent(startDir); }

    void select(const QStringList &names)
    {
        for (int i = 0; i < c.lstFile[0]->ListCount(); ++i)
            c.lstFile[0]->setSelected(i, names.contains(c.lstFile[0]->List(i)));
    }
    // Records what the shell is handed; answers `result`, or does the work when none is given.
    void watchOperation(std::optional<int> result = {})
    {
        c.fileOperation = [this, result](SHFILEOPSTRUCT &op) {
            records.push_back(op);
            wasTopmost.push_back(onTop(&c));
            return result ? *result : ShellFileOperation(op);
        };
    }

    const QString startDir = QDir::currentPath();
    frmGeral &f = Forms::get<frmGeral>();
    frmCopy &c = Forms::get<frmCopy>();
    QTemporaryDir source, destination;
    std::vector<SHFILEOPSTRUCT> records;
    std::vector<bool> wasTopmost;
};

} // namespace

TEST_F(FileManager, NothingSelectedIsSaidASelectionIsNamedInFullOnceAndAFolderWhole)
{
    watchOperation(0);
    c.cmdExecute_Click(0);
    EXPECT_TRUE(records.empty());
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text, NoFiles);
    EXPECT_EQ(scripted().messages[0].title, QStringLiteral("Inform the User!"));
    EXPECT_EQ(scripted().messages[0].style, vbOKOnly);

    select({"a.ico", "C.ICO"});
    const QByteArray dir = QFile::encodeName(source.path());
    EXPECT_EQ(c.SelectedFileList(0), dir + "/a.ico" + '\0' + dir + "/C.ICO" + '\0');
    EXPECT_TRUE(c.SelectedFileList(1).isEmpty());

    // The entire folder instead, with the source list locked while it is chosen.
    setValue(c.chkEntireDir, 1);
    EXPECT_FALSE(c.lstFile[0]->isEnabled());
    c.cmdExecute_Click(0);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].pFrom, dir + '\0' + '\0');
    EXPECT_EQ(records[0].wFunc, uint32_t(FO_COPY));
    setValue(c.chkEntireDir, 0);
    EXPECT_TRUE(c.lstFile[0]->isEnabled());

    // At the root no second separator.
    QTemporaryFile atRoot(QStringLiteral("/pixmint-XXXXXX.ico"));
    if (!atRoot.open())
        GTEST_SKIP() << "cannot write in /";
    // Asking the name gives the file one.
    const QString name = QFileInfo(atRoot.fileName()).fileName();
    c.lstDir[0]->setPath(QStringLiteral("/"));
    select({name});
    EXPECT_EQ(c.SelectedFileList(0), "/" + QFile::encodeName(name) + '\0');
}

TEST_F(FileManager, MoveOfTwoFilesRefreshesBothSidesOutOfTheTopBandAndTheOptionsGiveItsFlags)
{
    watchOperation();
    select({"a.ico", "b.ico"});
    c.cmdExecute_Click(1);
    ASSERT_EQ(records.size(), 1u);
    const QByteArray from = QFile::encodeName(source.path());
    EXPECT_EQ(records[0].wFunc, uint32_t(FO_MOVE));
    EXPECT_EQ(records[0].pFrom, from + "/a.ico" + '\0' + from + "/b.ico" + '\0' + '\0');
    EXPECT_EQ(records[0].pTo, QFile::encodeName(destination.path()) + '\0' + '\0');
    EXPECT_EQ(records[0].fFlags, 0x0240);
    EXPECT_FALSE(wasTopmost[0]);
    EXPECT_TRUE(onTop(&c));
    EXPECT_TRUE(scripted().messages.empty());
    EXPECT_EQ(entries(c.lstFile[0]), QStringList({"C.ICO"}));
    EXPECT_EQ(entries(c.lstFile[1]), QStringList({"a.ico", "b.ico"}));
    EXPECT_EQ(QDir::currentPath(), source.path());

    // Only the source list selects several files.
    EXPECT_EQ(c.lstFile[0]->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(c.lstFile[1]->selectionMode(), QAbstractItemView::SingleSelection);

    // The hidden options gave the move's flags by default; cleared, and greyed, which adds nothing.
    EXPECT_TRUE(c.Frame2->isHidden());
    QCheckBox *const options[] = {c.chkEntireDir, c.chkUndo,         c.chkShowDlg, c.chkRename,
                                  c.chkConfirmOp, c.chkConfirmMkDir, c.chkShowFile};
    for (const auto &[value, flags] : {std::pair{0, 0x0314}, {2, 0}}) {
        for (QCheckBox *box : options)
            setValue(box, value);
        EXPECT_EQ(c.OptionFlags(), flags) << value;
    }
}

TEST_F(FileManager, AClosingWhileAnOperationRunsWaitsForItsEnd)
{
    // Closes arrive while the progress lets events through, deletions included.
    QPointer<frmCopy> window(&c);
    bool keptWhileBusy = false;
    c.fileOperation = [&](SHFILEOPSTRUCT &) {
        c.close();
        Forms::unload<frmCopy>();
        c.cmdExecute_Click(0); // a second click, which must not start another run
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        keptWhileBusy = !window.isNull() && Forms::loaded<frmCopy>();
        records.emplace_back();
        return 0;
    };
    select({"a.ico"});
    c.cmdExecute_Click(0);
    EXPECT_TRUE(keptWhileBusy);
    EXPECT_EQ(records.size(), 1u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(Forms::loaded<frmCopy>());
}

TEST_F(FileManager, FailuresStillRefreshAndSayWhatWentWrong)
{
    watchOperation(5);
    std::vector<bool> topmostWhileMessage;
    scripted().whileMessageBox = [&] { topmostWhileMessage.push_back(onTop(&c)); };
    select({"a.ico"});
    ASSERT_TRUE(writeAll(source.filePath("new.ico"), "x"));
    c.cmdExecute_Click(0);
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text, NotDone);
    EXPECT_EQ(topmostWhileMessage, std::vector<bool>({false}));
    EXPECT_TRUE(entries(c.lstFile[0]).contains("new.ico"));

    // Both sides in one folder: the reason comes before the failure, in the same box.
    c.lstDir[1]->setPath(source.path());
    select({"a.ico"});
    c.cmdExecute_Click(1);
    EXPECT_EQ(scripted().messages.back().text,
              "The source and destination are the same folder.\n\n" + NotDone);
    // Deleting names no destination, so no such reason.
    select({"a.ico"});
    c.cmdExecute_Click(2);
    EXPECT_EQ(scripted().messages.back().text, NotDone);

    // A folder that cannot be entered stops the command before the shell is asked.
    select({"a.ico"});
    ASSERT_TRUE(QDir(source.path()).removeRecursively());
    c.cmdExecute_Click(0);
    EXPECT_EQ(records.size(), 3u);
    EXPECT_EQ(scripted().messages.back().text,
              QStringLiteral("   Not  Completed  operation!!!   "));
    EXPECT_EQ(topmostWhileMessage.back(), false);
    EXPECT_TRUE(onTop(&c));
}

TEST_F(FileManager, ClickingAnIconPreviewsAndLoadsIt)
{
    const QString icon = testData("good/icon24.ico");
    ASSERT_TRUE(QFile::copy(icon, destination.filePath("shown.ico")));
    ASSERT_TRUE(writeAll(destination.filePath("broken.ico"), "not a picture"));
    c.lstFile[1]->Refresh();
    ASSERT_EQ(entries(c.lstFile[1]), QStringList({"broken.ico", "shown.ico"}));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
    const QRect row = c.lstFile[1]->visualItemRect(c.lstFile[1]->item(1));
    QTest::mouseClick(c.lstFile[1]->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(f.msg(), destination.path() + "/shown.ico");
    const auto expected = LoadPicture(icon, f.Ikon->BackColor());
    ASSERT_TRUE(expected);
    for (const QPoint p : {QPoint(0, 0), QPoint(16, 16), QPoint(31, 31), QPoint(5, 27)})
        EXPECT_EQ(f.Ikon->Point(p.x(), p.y()), int32_t(fromQRgb(expected->pixel(p))));
    EXPECT_FALSE(c.picAmostra->pixmap().isNull());
    // A step to undo, on a canvas that stays as saved.
    EXPECT_EQ(f.history.stack().count(), 1);
    EXPECT_FALSE(f.history.unsaved());

    // The keys do what a click does: a step to another entry, or Return on one.
    ASSERT_TRUE(QFile::copy(icon, destination.filePath("third.ico")));
    c.lstFile[1]->Refresh();
    c.lstFile[1]->setCurrentRow(1);
    const QString third = destination.path() + "/third.ico";
    // The second Down finds it already the last: nothing to take.
    for (const auto &[key, shown] :
         {std::pair{Qt::Key_Down, third}, {Qt::Key_Down, QString()}, {Qt::Key_Return, third}}) {
        f.setMsg(QString());
        QTest::keyClick(c.lstFile[1], key);
        EXPECT_EQ(f.msg(), shown) << key;
    }

    // A click in the destination list takes the source side when both hold that name selected.
    ASSERT_TRUE(QFile::copy(icon, source.filePath("shown.ico")));
    c.lstFile[0]->Refresh();
    c.lstFile[0]->setCurrentRow(int(entries(c.lstFile[0]).indexOf("shown.ico")));
    c.lstFile[1]->setCurrentRow(int(entries(c.lstFile[1]).indexOf("shown.ico")));
    c.lstFile_Click(1);
    EXPECT_EQ(f.msg(), source.path() + "/shown.ico");

    // A file that is no picture: the label is set, the icon is not, and the one message said.
    c.lstFile[1]->setCurrentRow(0);
    c.lstFile_Click(1);
    EXPECT_EQ(f.msg(), destination.path() + "/broken.ico");
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text, NoFiles);
    EXPECT_EQ(f.Ikon->Point(16, 16), int32_t(fromQRgb(expected->pixel(16, 16))));
}

TEST_F(FileManager, BrowsingPlacesFoldersAndFailures)
{
    const QStringList places = browsingPlaces();
    EXPECT_EQ(places.value(0), QDir::homePath());
    EXPECT_TRUE(places.contains("/") && !places.contains("/proc") && !places.contains("/sys"))
        << places.join(' ').toStdString();
    EXPECT_TRUE(isPseudoFileSystem("cgroup2", "/anywhere"));
    EXPECT_TRUE(isPseudoFileSystem("tmpfs", "/sys/fs/x"));
    EXPECT_FALSE(isPseudoFileSystem("ext4", "/"));

    // Links that loop or lead nowhere are no folders; a link to a folder is one.
    ASSERT_TRUE(QDir(source.path()).mkdir("sub dir"));
    ASSERT_EQ(::symlink("loop", QFile::encodeName(source.filePath("loop")).constData()), 0);
    ASSERT_EQ(::symlink("..", QFile::encodeName(source.filePath("up")).constData()), 0);
    c.lstDir[0]->Refresh();
    QStringList shown;
    for (int i = 0; i < c.lstDir[0]->count(); ++i)
        shown << c.lstDir[0]->item(i)->text().trimmed();
    EXPECT_TRUE(shown.contains("sub dir") && shown.contains("up") && !shown.contains("loop"))
        << shown.join(',').toStdString();
    EXPECT_EQ(c.lstDir[0]->pathAt(c.lstDir[0]->count() - 1), source.filePath("up"));

    // A place that is not there: the drive list shows it, the folder list stays.
    c.cboDrive[0]->addItem("/gone", "/gone");
    c.cboDrive[0]->setCurrentIndex(c.cboDrive[0]->count() - 1);
    c.cboDrive_Change(0);
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text, NoFiles);
    EXPECT_EQ(c.lstDir[0]->Path(), source.path());
    EXPECT_EQ(c.cboDrive[0]->Drive(), "/gone");

    // A folder that went away gives way to its parent, files and all.
    ASSERT_TRUE(c.lstDir[0]->setPath(source.filePath("sub dir")));
    ASSERT_TRUE(QDir(source.filePath("sub dir")).removeRecursively());
    c.lstDir[0]->Refresh();
    EXPECT_EQ(c.lstDir[0]->Path(), source.path());
    EXPECT_EQ(c.lstFile[0]->Path(), source.path());
    EXPECT_EQ(entries(c.lstFile[0]).size(), 3);
}
