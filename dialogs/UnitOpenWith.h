#pragma once
// Choosing the program that opens a listed file, where the desktop offers no
// "Open With" dialog of its own.

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The executable a typed text names, or empty: the dialog accepts only programs.
using TProgramResolver = std::function<QString(const QString& text)>;

class TFrmOpenWith : public QDialog {
    Q_OBJECT
public:
    TFrmOpenWith(const QString& filePath, const QString& program, TProgramResolver resolve, QWidget* parent = nullptr);

    // The chosen program as an absolute path; empty while the text names none.
    QString Program() const { return FProgram; }

private:
    void FormCreate();
    void EditProgramChange();
    void BtnBrowseClick();

    TProgramResolver FResolve;
    QString FProgram;
    QLabel* Label1 = nullptr;
    QLineEdit* EditProgram = nullptr;
    QPushButton* BtnBrowse = nullptr;
    QLabel* LabelHint = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;
};

// Shows the dialog modally, starting with program; the chosen program, or
// nothing when cancelled.
std::optional<QString> ChooseProgram(
    QWidget* parent, const QString& filePath, const QString& program, const TProgramResolver& resolve);
