#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Sequential text files with quoted fields, as the old toolkit's Write # and Input # kept them.
namespace SeqFile {
// One record: each field in double quotes, separated by commas, ending in CRLF.
QByteArray writeRecord(const QStringList &fields);

// Reads fields one after another; a quoted field keeps its commas, an unquoted one ends at a
// comma or at the line end. Surrounding blanks of unquoted fields are dropped.
class Reader
{
public:
    explicit Reader(QByteArray data)
        : data_(std::move(data))
    {
    }
    // False at the end of the data.
    bool next(QString &field);
    bool atEnd() const;

private:
    QByteArray data_;
    qsizetype pos_ = 0;
};
} // namespace SeqFile
