#include "app/StatusPane.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

TStatusPane::TStatusPane(const QString& name, const QIcon* glyph, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(3);
    if (glyph) {
        FGlyph = new QLabel(this);
        FGlyph->setPixmap(glyph->pixmap(12, 12));
        layout->addWidget(FGlyph);
    }
    FText = new QLabel(this);
    FText->setObjectName(name + QStringLiteral("Text"));
    layout->addWidget(FText);
    layout->addStretch(0);
}

QString TStatusPane::Caption() const
{
    return FText->text();
}

void TStatusPane::SetCaption(const QString& text)
{
    FText->setText(text);
}
