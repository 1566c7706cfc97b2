#pragma once
// One pane of the status bar: an optional glyph and a text, sized to the text
// unless it fills the rest of the bar.

#include <QWidget>

class QLabel;

class TStatusPane : public QWidget {
    Q_OBJECT
public:
    TStatusPane(const QString& name, const QIcon* glyph, QWidget* parent);

    QString Caption() const;
    void SetCaption(const QString& text);

private:
    QLabel* FGlyph = nullptr;
    QLabel* FText = nullptr;
};
