#pragma once
// Small text routines shared by the page list, the bookmark menus and the
// bookmark store. Byte routines work on the GBK working form and never cut a
// double-byte character in two.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Drops leading and trailing bytes of value 32 or less; a full-width blank stays.
QByteArrayView TrimBytes(QByteArrayView text);

// The text when it has at most n bytes; otherwise its first n bytes and "...",
// or its first n - 1 bytes when byte n begins a double-byte character.
QByteArray EllipsisText(QByteArrayView text, int n);
// The same cut, measured in the GBK bytes of text.
QString EllipsisText(QStringView text, int n);

// text with "0" put in front until it has n characters; longer text is unchanged.
QString ZeroPad(const QString& text, int n);

// Takes the first entry off a "|"-separated list: token is the text before the
// first "|" and list what follows it; without "|" token is the whole list.
void NextMarkToken(QString& list, QString& token);
