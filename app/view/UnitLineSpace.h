#pragma once
// The line-spacing dialog: one spin box of 0 to 20 pixels.

#include <QDialog>

#include <optional>

class QPushButton;
class QSpinBox;

class TFrmLineSpace : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLineSpace(QWidget* parent = nullptr);

    int Value() const;
    void SetValue(int value);

private:
    void FormCreate();

    QSpinBox* RzSpinEdit1 = nullptr;
    QPushButton* RzButton1 = nullptr;
    QPushButton* RzButton2 = nullptr;
};

// Shows the dialog modally at the given spacing; the chosen spacing, or
// nothing when cancelled.
std::optional<int> RunLineSpaceDialog(QWidget* parent, int lineSpacing);
