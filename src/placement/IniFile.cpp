#include "placement/IniFile.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <utility>

namespace IniFile {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool isBlank(QChar c)
{
    return c == ' ' || c == '\t';
}

// The value of a hex or octal digit, or -1.
int digit(QChar c, int base)
{
    const char16_t u = c.toLower().unicode();
    const int v = u >= '0' && u <= '9' ? u - '0' : u >= 'a' && u <= 'f' ? u - 'a' + 10 : -1;
    return v < base ? v : -1;
}

// The value of `count` hex digits at s[i], or -1.
int hexValue(const QString &s, qsizetype i, int count)
{
    int v = 0;
    for (qsizetype k = i; k < i + count; ++k) {
        const int d = k < s.size() ? digit(s[k], 16) : -1;
        if (d < 0)
            return -1;
        v = v * 16 + d;
    }
    return v;
}

// Key spelling: "/" as "\", letters, digits and "_-." as they are, anything else %XX or %UXXXX.
QByteArray escapedKey(const QString &key)
{
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == '/') {
            out += '\\';
        } else if (u < 0x80 && (c.isLetterOrNumber() || u == '_' || u == '-' || u == '.')) {
            out += char(u);
        } else if (u <= 0xFF) {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(u >> shift) & 15];
        }
    }
    return out;
}

QString unescapedKey(const QString &key)
{
    QString out;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QChar c = key[i];
        const bool wide = c == '%' && i + 1 < key.size() && key[i + 1] == 'U';
        const int code = c != '%' ? -1 : wide ? hexValue(key, i + 2, 4) : hexValue(key, i + 1, 2);
        if (code >= 0)
            i += wide ? 5 : 2;
        out += code >= 0 ? QChar(char16_t(code)) : c == '\\' ? QChar('/') : c;
    }
    return out;
}

// A section's name; "General" holds the keys of no section, so a real one is "%General".
QString sectionName(const QString &spelled)
{
    if (spelled.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return QString();
    if (spelled.compare(QLatin1String("%General"), Qt::CaseInsensitive) == 0)
        return spelled.mid(1);
    return unescapedKey(spelled);
}

QByteArray sectionHeader(const QString &section)
{
    if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return "[%" + section.toUtf8() + "]\n";
    return '[' + escapedKey(section) + "]\n";
}

constexpr std::array<std::pair<char, char>, 11> kEscapes = {{{'a', '\a'},
                                                             {'b', '\b'},
                                                             {'f', '\f'},
                                                             {'n', '\n'},
                                                             {'r', '\r'},
                                                             {'t', '\t'},
                                                             {'v', '\v'},
                                                             {'"', '"'},
                                                             {'?', '?'},
                                                             {'\'', '\''},
                                                             {'\\', '\\'}}};

// Reads the escape whose letter is at s[i] onto `out`; the index of its last character.
qsizetype unescape(const QString &s, qsizetype i, QString &out)
{
    if (i >= s.size())
        return i;
    const QChar c = s[i];
    for (const auto &[letter, meaning] : kEscapes) {
        if (c == QLatin1Char(letter)) {
            out += QLatin1Char(meaning);
            return i;
        }
    }
    const bool hex = c == 'x';
    const int base = hex ? 16 : 8;
    qsizetype end = hex ? i + 1 : i;
    char32_t code = 0;
    while (end < s.size() && digit(s[end], base) >= 0 && code <= 0xFFFF)
        code = code * base + char32_t(digit(s[end++], base));
    // Any other escaped character is dropped, as QSettings drops it.
    if (end > i + (hex ? 1 : 0))
        out += QChar(char16_t(code));
    return std::max(i, end - 1);
}

// A text as QSettings tells it from a typed value.
std::optional<QString> untyped(const QString &s)
{
    if (!s.startsWith('@'))
        return s;
    if (s.startsWith(QLatin1String("@@")))
        return s.mid(1);
    for (const char *type : {"@ByteArray(", "@String(", "@Variant(", "@DateTime(", "@Rect(",
                             "@Size(", "@Point(", "@Invalid("})
        if (s.endsWith(')') && s.startsWith(QLatin1String(type)))
            return std::nullopt;
    return s;
}

} // namespace

std::optional<Entries> parse(const QByteArray &text)
{
    if (text.contains('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString all = utf8(text);
    if (utf8.hasError())
        return std::nullopt;
    Entries entries;
    QString section;
    for (const QString &line : all.replace('\r', '\n').split('\n')) {
        const QString l = line.trimmed();
        if (l.isEmpty() || l.startsWith(';') || l.startsWith('#'))
            continue;
        if (l.startsWith('[')) {
            if (!l.endsWith(']'))
                return std::nullopt;
            section = sectionName(l.mid(1, l.size() - 2).trimmed());
            continue;
        }
        const qsizetype equals = l.indexOf('=');
        // As QSettings has them: no empty segments, no slash at either end.
        const QString key = (section + '/' + unescapedKey(l.left(equals).trimmed()))
                                .split('/', Qt::SkipEmptyParts)
                                .join('/');
        if (equals < 0 || key.isEmpty())
            return std::nullopt;
        entries[key] = l.mid(equals + 1).toUtf8();
    }
    return entries;
}

QByteArray write(const Entries &entries)
{
    QByteArray general, sections;
    QString current;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const qsizetype slash = it.key().indexOf('/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QByteArray line = escapedKey(it.key().mid(slash + 1)) + '=' + it.value() + '\n';
        if (section.isEmpty()) {
            general += line;
            continue;
        }
        if (sections.isEmpty() || section != current)
            sections += (sections.isEmpty() ? QByteArray() : "\n") + sectionHeader(section);
        current = section;
        sections += line;
    }
    if (general.isEmpty())
        return sections;
    return "[General]\n" + general + (sections.isEmpty() ? QByteArray() : "\n" + sections);
}

std::optional<QString> text(const QByteArray &value)
{
    const QString s = QString::fromUtf8(value);
    QString out(QLatin1String("")); // an empty value is a text all the same
    bool quoted = false;
    qsizetype kept = 0; // what trailing blanks may not be taken from
    qsizetype i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            return std::nullopt; // a list
        } else if (!quoted && c == ';') {
            break; // a comment
        } else if (c == '\\') {
            i = unescape(s, i + 1, out);
        } else {
            out += c;
            if (!quoted)
                continue;
        }
        kept = out.size();
    }
    while (out.size() > kept && isBlank(out.back()))
        out.chop(1);
    return untyped(out);
}

QByteArray value(const QString &text)
{
    const QString s = text.startsWith('@') ? '@' + text : text;
    QString out;
    bool quote = false;
    bool escapeHexDigit = false; // after a numeric escape, a digit must not run into it
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        const char16_t u = c.unicode();
        quote = quote || u == ';' || u == ',' || u == '=';
        const bool digitAfterEscape = escapeHexDigit && digit(c, 16) >= 0;
        // Half of a pair cannot go into UTF-8.
        const bool loneHalf =
            c.isSurrogate() &&
            !(c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) &&
            !(c.isLowSurrogate() && i > 0 && s[i - 1].isHighSurrogate());
        escapeHexDigit = false;
        const auto named = std::find_if(kEscapes.begin(), kEscapes.end(), [u](const auto &e) {
            return char16_t(static_cast<unsigned char>(e.second)) == u;
        });
        if (u == 0) {
            out += QLatin1String("\\0");
            escapeHexDigit = true;
        } else if (named != kEscapes.end() && u != '?' && u != '\'') {
            out += '\\';
            out += QLatin1Char(named->first);
        } else if (u < 0x20 || digitAfterEscape || loneHalf) {
            out += QLatin1String("\\x") + QString::number(u, 16);
            escapeHexDigit = true;
        } else {
            out += c;
        }
    }
    if (quote || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out.toUtf8();
}

} // namespace IniFile
