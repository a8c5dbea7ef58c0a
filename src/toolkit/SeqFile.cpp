#include "toolkit/SeqFile.h"

#include <algorithm>

namespace SeqFile {

QByteArray writeRecord(const QStringList &fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += '"';
        out += fields[i].toUtf8();
        out += '"';
    }
    out += "\r\n";
    return out;
}

namespace {
bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}
} // namespace

bool Reader::next(QString &field)
{
    const qsizetype n = data_.size();
    while (pos_ < n && (isSpace(data_[pos_]) || isLineEnd(data_[pos_])))
        ++pos_;
    if (pos_ >= n)
        return false;
    qsizetype end;
    if (data_[pos_] == '"') {
        const qsizetype start = pos_ + 1;
        end = data_.indexOf('"', start);
        if (end < 0)
            end = n;
        field = QString::fromUtf8(data_.mid(start, end - start));
        // Whatever follows the closing quote up to the separator is not part of any field.
        pos_ = std::min(end + 1, n);
        while (pos_ < n && data_[pos_] != ',' && !isLineEnd(data_[pos_]))
            ++pos_;
    } else {
        end = pos_;
        while (end < n && data_[end] != ',' && !isLineEnd(data_[end]))
            ++end;
        field = QString::fromUtf8(data_.mid(pos_, end - pos_)).trimmed();
        pos_ = end;
    }
    if (pos_ < n && data_[pos_] == ',')
        ++pos_;
    return true;
}

bool Reader::atEnd() const
{
    for (qsizetype i = pos_; i < data_.size(); ++i)
        if (!isSpace(data_[i]) && !isLineEnd(data_[i]))
            return false;
    return true;
}

} // namespace SeqFile
