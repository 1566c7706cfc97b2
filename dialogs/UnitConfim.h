#pragma once
// Confirms a new bookmark, and confirms by itself once its count-down runs out.

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

class TFrmConfim : public QDialog {
    Q_OBJECT
public:
    // tickMs is one second of the count-down; tests pass a shorter one.
    explicit TFrmConfim(QWidget* parent = nullptr, int tickMs = 1000);

    int CountDown() const { return FCountDown; }

private:
    void FormCreate();
    void Timer1Timer();

    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* RzButton1 = nullptr;
    QPushButton* RzButton2 = nullptr;
    QTimer* Timer1 = nullptr;
    int FCountDown = 3;
};

// Shows the dialog modally; true when confirmed or the count-down ran out.
bool ConfirmSetMark(QWidget* parent);
