#pragma once

#include <QString>
#include <QTemporaryDir>

#include "formats/SafeWrite.h"

// Starts a test program: Qt offscreen, and the per-user settings, data and caches in `home`,
// out of the user's folders. False when `home` could not be made.
bool startTestProgram(const QTemporaryDir &home);
// A file under tests/data, such as "good/bmp24.bmp".
QString testData(const QString &name);
// The whole content of a file; empty when it cannot be read.
QByteArray readAll(const QString &path);
// Replaces the whole content of a file, making its folder first; false when it cannot be written.
bool writeAll(const QString &path, const QByteArray &bytes);
// Makes a named pipe, which no reader may wait on; false when it cannot be made.
bool makeFifo(const QString &path);
// Makes the file, link or folder another user's (tests run as root); false where not allowed.
bool giveToAnotherUser(const QString &path);

// While it lives, every write fails at `step` with the errno `error`, and `reached` counts the
// writes that came to the rename.
class FailingWrites
{
public:
    explicit FailingWrites(SafeWrite::Step step = SafeWrite::Step::Rename, int error = 0);
    ~FailingWrites();
    FailingWrites(const FailingWrites &) = delete;
    FailingWrites &operator=(const FailingWrites &) = delete;
    int reached = 0;
};

// A 16 KiB tmpfs mounted for one test and unmounted after it; where mounting is refused,
// `mounted()` is false and `why()` says so, for the test to skip with.
class SmallDisk
{
public:
    SmallDisk();
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return mounted_; }
    QString why() const { return why_; }
    QString path() const { return dir_.path(); }
    // Takes the rest of the space with a filler file.
    void fill();
    bool makeReadOnly();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString why_;
};
