#include "app/view/PageRenderer.h"

#include "app/model/PageModel.h"
#include "app/view/DrawingFun.h"
#include "app/view/PagePublicMsg.h"
#include "app/view/Paper.h"
#include "common/Gbk.h"

#include <QPainter>

#include <algorithm>

const QString LineFontSample = QStringLiteral(
    "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十");
const QString PageNoSample = QStringLiteral("第 00 页");

namespace {

constexpr QPoint MarkPosition(12, 12);
constexpr int HeaderAboveText = 26;
constexpr int RuleAboveText = 10;
constexpr int FurnitureBelowText = 15;
constexpr QRgb White = 0xFFFFFFFF;

} // namespace

TTextFont PageFurnitureFont()
{
    return {QStringLiteral("宋体"), 9};
}

TTextFont TextFontOf(const TLineFont& font)
{
    return {font.Name, font.Size, font.Bold, font.Italic, font.Underline, font.StrikeOut};
}

void MeasureLineFont(TLineFont& font, const TAAFont& aaFont)
{
    const TTextFont plain{font.Name, font.Size};
    font.Width = aaFont.TextWidth(plain, LineFontSample);
    font.Height = aaFont.TextHeight(plain, LineFontSample);
}

void MeasurePageFurniture(TPagePublicMsg& msg, const TAAFont& aaFont)
{
    msg.FooterWidth = aaFont.TextWidth(PageFurnitureFont(), msg.FooterText);
    msg.PageNoWidth = aaFont.TextWidth(PageFurnitureFont(), PageNoSample);
}

QString PageNumberText(int pageIndex)
{
    return QStringLiteral("第 ") + QString::number(pageIndex + 1) + QStringLiteral(" 页");
}

void DrawPage(QImage& target, const TOnePage& page, int pageIndex, std::span<const TLineFont> lineFonts,
    const TPagePublicMsg& msg, bool showMark, bool withShadow, bool showMarkInPage, const TAAFont& aaFont)
{
    const int w = page.Width;
    const int h = page.Height;
    const int t = page.TopMargin;
    const int b = page.BottomMargin;
    const int s = page.SideMargin;
    const QRect paper(0, 0, w - ShadowSize, h - ShadowSize);
    if (target.isNull() || paper.isEmpty())
        return;

    {
        QPainter painter(&target);
        painter.setClipRect(paper);
        if (msg.UseBg && !msg.PaperBitmap.isNull()) {
            painter.drawImage(0, 0, msg.PaperBitmap);
        } else {
            // Inside first, then the four border lines: the page is filled once.
            painter.fillRect(paper.adjusted(1, 1, -1, -1), QColor(RgbFromColorRef(msg.PageColor)));
            painter.fillRect(0, 0, paper.width(), 1, Qt::black);
            painter.fillRect(0, paper.height() - 1, paper.width(), 1, Qt::black);
            painter.fillRect(0, 0, 1, paper.height(), Qt::black);
            painter.fillRect(paper.width() - 1, 0, 1, paper.height(), Qt::black);
        }
        if (showMark && showMarkInPage && page.Bookmarked && !msg.MarkBitmap.isNull())
            painter.drawImage(MarkPosition,
                msg.MarkBitmap.hasAlphaChannel() ? msg.MarkBitmap : TransparentWhere(msg.MarkBitmap, White));
    }
    // Pixels are read back here, so no painter may be open on the image.
    if (withShadow)
        DrawShadowFrame(target, paper, ShadowSize, qRgb(0, 0, 0));

    QPainter painter(&target);
    painter.setClipRect(paper);
    // Windows' LineTo leaves out the end point: the rules end at x = W - S - 6.
    const int ruleWidth = w - 2 * s - ShadowSize;
    if (ruleWidth > 0) {
        painter.fillRect(s, t - RuleAboveText, ruleWidth, 1, Qt::black);
        painter.fillRect(s, h - t + RuleAboveText, ruleWidth, 1, Qt::black);
    }

    painter.setFont(aaFont.Font(PageFurnitureFont()));
    painter.setPen(Qt::black);
    const int furnitureY = h - b + FurnitureBelowText;
    aaFont.TextOut(painter, s, t - HeaderAboveText, msg.FileName);
    aaFont.TextOut(painter, (w - msg.PageNoWidth) / 2, furnitureY, PageNumberText(pageIndex));
    aaFont.TextOut(painter, w - msg.FooterWidth - s - ShadowSize, furnitureY, msg.FooterText);

    if (lineFonts.size() < 2)
        return;
    const int lineCount = std::min(page.Lines.count(), LinesPerPage);
    int kind = -1;
    int y = t;
    for (int i = 0; i < lineCount; ++i) {
        int k = page.LineKind[i];
        if (k < 1 || k >= static_cast<int>(lineFonts.size()))
            k = 1;
        const TLineFont& font = lineFonts[k];
        if (k != kind) {
            kind = k;
            // Each kind gets exactly its own style: adding flags to the previous
            // kind's would make a plain line bold after a bold one.
            painter.setFont(aaFont.Font(TextFontOf(font)));
            painter.setPen(QColor(RgbFromColorRef(font.Color)));
        }
        aaFont.TextOut(painter, s, y, FromGbk(page.Lines.at(i)));
        y += font.Height + msg.LineSpacing;
    }
}
