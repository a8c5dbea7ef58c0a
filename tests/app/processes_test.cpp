#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/processes.h"
#include "support/files.h"

TEST(Processes, NamesComeFromTheProcessTableInOrder)
{
    QTemporaryDir root;
    const auto proc = [&](const char *pid, const QString &exe, const QByteArray &cmdline,
                          const QByteArray &comm) {
        const QString dir = root.path() + '/' + pid;
        writeAll(dir + "/cmdline", cmdline);
        writeAll(dir + "/comm", comm);
        if (!exe.isEmpty())
            QFile::link(exe, dir + "/exe");
    };
    proc("42", "/usr/bin/gimp", "gimp", "gimp\n");
    proc("7", "/usr/bin/bash", "bash", "bash\n");
    proc("100", QString(), "", "kworker/0:1\n");       // a kernel thread
    proc("101", QString(), "secret\0", "otheruser\n"); // another user's process
    // Run from anonymous memory: the name it was started by, or the one it gave itself.
    proc("102", "/memfd:sealed-91173221a7ea (deleted)", QByteArrayLiteral("tools/backend\0-v\0"),
         "memfd:sealed-91\n");
    proc("103", "/memfd:x (deleted)", QByteArrayLiteral("memfd:y\0"), "memfd:x\n");
    proc("104", "/memfd:z (deleted)", "z", "renamed\n");
    QDir(root.path()).mkpath("self-not-a-pid");
    EXPECT_EQ(runningApplications(root.path()),
              (QStringList{"bash", "gimp", "otheruser", "backend", "renamed"}));
    EXPECT_TRUE(runningApplications(root.path() + "/missing").isEmpty());
}
