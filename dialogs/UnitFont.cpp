#include "dialogs/UnitFont.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

TFrmFont::TFrmFont(const QFont& font, const QColor& color, QWidget* parent)
    : QDialog(parent)
    , FColor(color)
{
    setObjectName(QStringLiteral("FrmFont"));
    setWindowTitle(QStringLiteral("字体"));
    setFont(QFont(QStringLiteral("宋体"), 9));

    // Qt's chooser, embedded without its own buttons.
    FontDialogTxt = new QFontDialog(font, this);
    FontDialogTxt->setObjectName(QStringLiteral("FontDialogTxt"));
    FontDialogTxt->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    FontDialogTxt->setWindowFlags(Qt::Widget);

    CheckBold = new QCheckBox(QStringLiteral("粗体(&B)"), this);
    CheckBold->setObjectName(QStringLiteral("CheckBold"));
    CheckBold->setChecked(font.bold());
    CheckItalic = new QCheckBox(QStringLiteral("斜体(&I)"), this);
    CheckItalic->setObjectName(QStringLiteral("CheckItalic"));
    CheckItalic->setChecked(font.italic());
    connect(FontDialogTxt, &QFontDialog::currentFontChanged, this, &TFrmFont::FontDialogTxtChange);

    BtnColor = new QPushButton(QStringLiteral("颜色(&R)..."), this);
    BtnColor->setObjectName(QStringLiteral("BtnColor"));
    connect(BtnColor, &QPushButton::clicked, this, &TFrmFont::BtnColorClick);
    ShowColor();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CheckBold);
    bottom->addWidget(CheckItalic);
    bottom->addSpacing(12);
    bottom->addWidget(new QLabel(QStringLiteral("文字颜色："), this));
    bottom->addWidget(BtnColor);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FontDialogTxt);
    layout->addLayout(bottom);
}

QFont TFrmFont::SelectedFont() const
{
    QFont font = FontDialogTxt->currentFont();
    font.setBold(CheckBold->isChecked());
    font.setItalic(CheckItalic->isChecked());
    return font;
}

void TFrmFont::FontDialogTxtChange(const QFont& font)
{
    // A face's own bold or italic style ticks the box; a face without one leaves it as it is.
    if (font.bold())
        CheckBold->setChecked(true);
    if (font.italic())
        CheckItalic->setChecked(true);
}

void TFrmFont::BtnColorClick()
{
    const QColor chosen = QColorDialog::getColor(FColor, this, QStringLiteral("文字颜色"));
    if (!chosen.isValid())
        return;
    FColor = chosen;
    ShowColor();
}

void TFrmFont::ShowColor()
{
    QPixmap swatch(16, 16);
    swatch.fill(FColor);
    BtnColor->setIcon(QIcon(swatch));
}
