#pragma once
// An initialisation file as Windows keeps them: "[SECTION]" lines, below each
// "Key=Value" lines, sections and keys found without regard to letter case,
// text in the system's narrow code page. Reading never fails: whatever part
// of a damaged file cannot be read simply yields the caller's default. Of
// duplicate keys the first one counts; lines without "=" and ";" comments are
// ignored; a "[" line without "]" still names a section. Saving writes the
// sections and keys in the order they were first seen or written, with CR LF
// line ends, atomically.

#include "common/AtomicFile.h"
#include "common/NarrowText.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

class TIniFile {
public:
    // Replaces the content with the file at path. A missing file leaves the
    // store empty and is not an error.
    TReadResult load(const QString& path);
    // Replaces the content with the given file text.
    void parse(const QByteArray& bytes);

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after "$" or "0x", with an optional sign.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    QByteArray toBytes() const;
    TSaveResult save(const QString& path) const;

private:
    struct TKey {
        QString Name;
        QString Value;
    };
    struct TSection {
        QString Name;
        std::vector<TKey> Keys;
        QHash<QString, qsizetype> Index; // folded key name -> position in Keys
    };

    struct TParseState;

    void clear();
    void parseLine(QByteArrayView bytes, TParseState& state);
    const QString* find(const QString& section, const QString& key) const;
    qsizetype sectionIndex(const QString& name); // appends the section when it is new

    std::vector<TSection> FSections;
    QHash<QString, qsizetype> FSectionIndex; // folded section name -> position in FSections
};

// The integer rule of readInteger, on its own: nullopt for text that is no integer.
std::optional<int> ParseIniInteger(const QString& text);
