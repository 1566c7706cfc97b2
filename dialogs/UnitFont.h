#pragma once
// The body font dialog: Qt's font chooser with the text colour beside it, so
// face, size, style and colour are chosen in one place.

#include <QColor>
#include <QDialog>
#include <QFont>

class QCheckBox;
class QFontDialog;
class QPushButton;

class TFrmFont : public QDialog {
    Q_OBJECT
public:
    TFrmFont(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QFont SelectedFont() const;
    QColor SelectedColor() const { return FColor; }

private:
    void BtnColorClick();
    void ShowColor();
    void FontDialogTxtChange(const QFont& font);

    QFontDialog* FontDialogTxt = nullptr;
    // Many CJK faces have no bold or italic style of their own; the reader
    // draws them slanted or emboldened all the same.
    QCheckBox* CheckBold = nullptr;
    QCheckBox* CheckItalic = nullptr;
    QPushButton* BtnColor = nullptr;
    QColor FColor;
};
