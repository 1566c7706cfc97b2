#pragma once
// The properties sheet of a listed file, where the desktop offers none of its own.

#include "app/library/FileProperties.h"

#include <QDialog>

class QFormLayout;
class QPushButton;

class TFrmFileProperties : public QDialog {
    Q_OBJECT
public:
    explicit TFrmFileProperties(const TFileProperties& properties, QWidget* parent = nullptr);

private:
    void FormCreate();
    void AddRow(const QString& caption, const QString& value);

    QFormLayout* FRows = nullptr;
    QPushButton* BtnOK = nullptr;
};

// Shows the sheet modally and frees it when it closes.
void ShowFilePropertiesDialog(QWidget* parent, const TFileProperties& properties);
