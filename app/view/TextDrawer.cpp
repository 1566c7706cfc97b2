#include "app/view/TextDrawer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

int PixelSizeForPoints(int points)
{
    // MulDiv(points, 96, 72), as the font height of the original layout.
    return std::max(1, (points * 96 + 36) / 72);
}

void TAAFont::SetQuality(int level)
{
    level = std::clamp(level, 0, QualityNone);
    if (level == FQuality)
        return;
    FQuality = level;
    FFonts.clear();
}

QFont TAAFont::MakeFont(const TTextFont& spec, int quality) const
{
    QFont font(spec.Name);
    font.setPixelSize(PixelSizeForPoints(spec.Size));
    font.setBold(spec.Bold);
    font.setItalic(spec.Italic);
    font.setUnderline(spec.Underline);
    font.setStrikeOut(spec.StrikeOut);
    font.setStyleStrategy(quality < QualityNone ? QFont::PreferAntialias : QFont::NoAntialias);
    return font;
}

QFont TAAFont::Font(const TTextFont& spec) const
{
    for (const auto& [key, font] : FFonts)
        if (key == spec)
            return font;
    // A page uses three fonts at most; a handful of entries covers every
    // font change the user can make in one session without growing forever.
    if (FFonts.size() >= 16)
        FFonts.clear();
    FFonts.emplace_back(spec, MakeFont(spec, FQuality));
    return FFonts.back().second;
}

int TAAFont::TextWidth(const TTextFont& spec, const QString& text) const
{
    return QFontMetrics(MakeFont(spec, QualitySmooth)).horizontalAdvance(text);
}

int TAAFont::TextHeight(const TTextFont& spec, const QString& text) const
{
    Q_UNUSED(text); // one line: the font's height, whatever the glyphs
    return QFontMetrics(MakeFont(spec, QualitySmooth)).height();
}

void TAAFont::TextOut(QPainter& painter, int x, int y, const QString& text) const
{
    painter.setRenderHint(QPainter::TextAntialiasing, Smooth());
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

bool FontInstalled(const QString& name)
{
    const QStringList families = QFontDatabase::families();
    return std::any_of(families.begin(), families.end(),
        [&](const QString& family) { return family.compare(name, Qt::CaseInsensitive) == 0; });
}

void RegisterFontSubstitutions()
{
    // Song (Ming) faces first, so the page keeps the look of the Windows font;
    // the sans faces only keep the text from turning into boxes.
    static const char* const candidates[] = {
        "Noto Serif CJK SC", "Source Han Serif SC", "AR PL UMing CN", "AR PL UMing TW", "AR PL UMing HK",
        "AR PL SungtiL GB", "AR PL Mingti2L Big5", "Noto Serif CJK TC", "Noto Sans CJK SC",
        "WenQuanYi Zen Hei", "WenQuanYi Micro Hei", "Droid Sans Fallback",
    };
    const QStringList families = QFontDatabase::families();
    QStringList installed;
    for (const char* candidate : candidates)
        for (const QString& family : families)
            if (family.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0) {
                installed << family;
                break;
            }
    if (installed.isEmpty())
        return;
    for (const QString& windowsName : {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("新宋体"),
             QStringLiteral("NSimSun")})
        if (!FontInstalled(windowsName))
            QFont::insertSubstitutions(windowsName, installed);
}
