#include "common/IniFile.h"

#include <QBuffer>

#include <limits>

namespace {

// A settings file holds a few hundred characters; past this much kept text a
// file is garbage, and keeping more of it would only cost memory.
constexpr qsizetype MaxStoredChars = 4 * 1024 * 1024;

QString Folded(const QString& name)
{
    return name.toCaseFolded();
}

// Windows drops one pair of enclosing quotes from a value it reads.
QString Unquoted(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

int DigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<int> ParseIniInteger(const QString& text)
{
    QStringView s = QStringView(text).trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.sliced(1);
    }
    int base = 10;
    if (s.startsWith(u'$')) {
        base = 16;
        s = s.sliced(1);
    } else if (s.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        s = s.sliced(2);
    }
    if (s.isEmpty())
        return std::nullopt;

    // Hexadecimal is a 32-bit pattern ("$FFFFFFFF" is -1, as Windows reads it);
    // decimal must fit the signed range.
    const quint64 limit = base == 16 ? 0xFFFFFFFFull : quint64(std::numeric_limits<int>::max()) + 1;
    quint64 value = 0;
    for (QChar c : s) {
        const int digit = DigitValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (base == 16) {
        const quint32 bits = negative ? 0u - quint32(value) : quint32(value);
        return static_cast<int>(bits);
    }
    if (!negative && value > quint64(std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(negative ? -qint64(value) : qint64(value));
}

struct TIniFile::TParseState {
    qsizetype Current = -1; // section that keys go to; none before the first header
    qsizetype StoredChars = 0;
    bool FirstLine = true;
};

void TIniFile::clear()
{
    FSections.clear();
    FSectionIndex.clear();
}

TReadResult TIniFile::load(const QString& path)
{
    clear();
    TParseState state;
    return ForEachFileLine(path, [&](QByteArrayView line) { parseLine(line, state); });
}

void TIniFile::parse(const QByteArray& bytes)
{
    clear();
    TParseState state;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ForEachLine(buffer, [&](QByteArrayView line) { parseLine(line, state); });
}

void TIniFile::parseLine(QByteArrayView bytes, TParseState& state)
{
    QString line = NarrowToString(bytes);
    if (state.FirstLine) {
        state.FirstLine = false;
        if (line.startsWith(QChar(0xFEFF))) // a signature some editors put in front of UTF-8
            line.remove(0, 1);
    }
    const QString text = line.trimmed();
    if (text.isEmpty() || text.front() == u';')
        return;

    if (text.front() == u'[') {
        const qsizetype close = text.indexOf(u']', 1);
        // A header without "]" is damage: its keys are not trusted.
        if (close < 0) {
            state.Current = -1;
            return;
        }
        const QString name = text.mid(1, close - 1).trimmed();
        if (!FSectionIndex.contains(Folded(name))) {
            state.StoredChars += name.size();
            if (state.StoredChars > MaxStoredChars) {
                state.Current = -1;
                return;
            }
        }
        state.Current = sectionIndex(name);
        return;
    }
    if (state.Current < 0)
        return;

    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return;
    const QString name = text.left(equals).trimmed();
    if (name.isEmpty())
        return;
    TSection& section = FSections[state.Current];
    const QString folded = Folded(name);
    if (section.Index.contains(folded)) // the first of duplicate keys counts
        return;
    const QString value = Unquoted(text.mid(equals + 1).trimmed());
    state.StoredChars += name.size() + value.size();
    if (state.StoredChars > MaxStoredChars)
        return;
    section.Index.insert(folded, qsizetype(section.Keys.size()));
    section.Keys.push_back({name, value});
}

qsizetype TIniFile::sectionIndex(const QString& name)
{
    const QString folded = Folded(name);
    if (const auto it = FSectionIndex.constFind(folded); it != FSectionIndex.constEnd())
        return it.value();
    FSections.push_back({name, {}, {}});
    const qsizetype index = qsizetype(FSections.size()) - 1;
    FSectionIndex.insert(folded, index);
    return index;
}

const QString* TIniFile::find(const QString& section, const QString& key) const
{
    const auto s = FSectionIndex.constFind(Folded(section));
    if (s == FSectionIndex.constEnd())
        return nullptr;
    const TSection& found = FSections[s.value()];
    const auto k = found.Index.constFind(Folded(key));
    if (k == found.Index.constEnd())
        return nullptr;
    return &found.Keys[k.value()].Value;
}

QString TIniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QString* value = find(section, key);
    return value ? *value : defaultValue;
}

int TIniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const QString* value = find(section, key);
    if (!value)
        return defaultValue;
    return ParseIniInteger(*value).value_or(defaultValue);
}

bool TIniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A line break in a value would cut it and turn its tail into a line of its own.
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');

    TSection& target = FSections[sectionIndex(section)];
    const QString folded = Folded(key);
    if (const auto it = target.Index.constFind(folded); it != target.Index.constEnd()) {
        target.Keys[it.value()].Value = flat;
        return;
    }
    target.Index.insert(folded, qsizetype(target.Keys.size()));
    target.Keys.push_back({key, flat});
}

void TIniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void TIniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray TIniFile::toBytes() const
{
    QString text;
    for (const TSection& section : FSections) {
        if (!text.isEmpty())
            text += QStringLiteral("\r\n");
        text += u'[' + section.Name + QStringLiteral("]\r\n");
        for (const TKey& key : section.Keys)
            text += key.Name + u'=' + key.Value + QStringLiteral("\r\n");
    }
    return StringToNarrow(text);
}

TSaveResult TIniFile::save(const QString& path) const
{
    return WriteFileAtomically(path, toBytes());
}
