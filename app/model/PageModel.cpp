#include "app/model/PageModel.h"

QString PositionText(const TLinePos& pos)
{
    return QString::number(pos.Offset) + u'/' + QString::number(pos.LineIndex);
}

QByteArrayView TPageLines::at(int i) const
{
    for (const auto& [index, text] : FReplaced)
        if (index == i)
            return text;
    return QByteArrayView(FBuffer.constData() + FStart[i], FLength[i]);
}

int TPageLines::append(qsizetype start, int length)
{
    FStart[FCount] = static_cast<uint32_t>(start);
    FLength[FCount] = static_cast<uint8_t>(length);
    return FCount++;
}

void TPageLines::replace(int i, const QByteArray& text)
{
    for (auto& [index, stored] : FReplaced)
        if (index == i) {
            stored = text;
            return;
        }
    FReplaced.emplace_back(i, text);
}

void TPageLines::clear()
{
    FCount = 0;
    FReplaced.clear();
}

int32_t PageWidthFor(const TLineFont& body)
{
    return body.Width + 2 * PageSideMargin + ShadowSize;
}

int32_t PageHeightFor(const TLineFont& body, const TLineFont& second, int secondFontLines, int lineSpacing)
{
    return body.Height * (LinesPerPage - secondFontLines) + second.Height * secondFontLines
        + lineSpacing * (LinesPerPage - 1) + PageTopMargin + PageBottomMargin + ShadowSize;
}
