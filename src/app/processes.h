#pragma once

#include <QStringList>

// The executable name of each running process, in the order of the process table; empty when the
// table cannot be read.
QStringList runningApplications(const QString &procRoot = QStringLiteral("/proc"));
