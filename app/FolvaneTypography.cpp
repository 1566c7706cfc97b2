// The body font, its size and the line spacing, changed without paginating again.

#include "app/UnitFolvane.h"
#include "app/view/PagePublicMsg.h"

#include <QLabel>
#include <QSlider>

void TFrmFolvane::BtnFontClick()
{
    const TLineFont& body = FLineFonts[1];
    QFont initial(body.Name, body.Size);
    initial.setBold(body.Bold);
    initial.setItalic(body.Italic);
    initial.setUnderline(body.Underline);
    initial.setStrikeOut(body.StrikeOut);
    const std::optional<TFontChoice> choice
        = FPrompter->PickFont(this, TFontChoice{initial, QColor(RgbFromColorRef(body.Color))});
    if (!choice)
        return;

    TLineFont& font = FLineFonts[1];
    font.Name = choice->Font.family();
    font.Size = std::clamp(choice->Font.pointSize(), 8, 24);
    font.Color = ColorRefFromRgb(choice->Color.rgb());
    font.Bold = choice->Font.bold();
    font.Italic = choice->Font.italic();
    font.Underline = choice->Font.underline();
    font.StrikeOut = choice->Font.strikeOut();
    font.MaxBytes = MaxLineBytes;
    MeasureBodyFont();
    SetTrackBarQuietly(TrackBarFontSize, font.Size);
    Label1->setText(QString::number(TrackBarFontSize->value()));
    RelayoutPages();
    // Colour and style need a new picture of every page even when the size stayed.
    ScrollBoxPages->InvalidateAll();
}

void TFrmFolvane::BtnLineSpaceClick()
{
    ShowLineSpaceDialog();
}

void TFrmFolvane::ShowLineSpaceDialog()
{
    const std::optional<int> spacing = FPrompter->PickLineSpacing(this, PagePublicMsg.LineSpacing);
    if (!spacing)
        return;
    TrackBarHJJ->setValue(*spacing);
    // Applied once more on purpose, so an unchanged value still re-lays out.
    TrackBarHJJChange();
}
