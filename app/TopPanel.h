#pragma once
// The tool bar panel: one picture stretched across it, a second one kept at
// its natural size at the right edge.

#include <QIcon>
#include <QWidget>

class TTopPanel : public QWidget {
    Q_OBJECT
public:
    explicit TTopPanel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon FImageTop1;
    QIcon FImageTop2;
};
