#include "app/view/UnitLineSpace.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

TFrmLineSpace::TFrmLineSpace(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmLineSpace"));
    setWindowTitle(QStringLiteral("行间距"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(252, 106);

    RzSpinEdit1 = new QSpinBox(this);
    RzSpinEdit1->setObjectName(QStringLiteral("RzSpinEdit1"));
    RzSpinEdit1->setRange(0, 20);
    RzSpinEdit1->setGeometry(48, 30, 75, 22);

    RzButton1 = new QPushButton(QStringLiteral("确定(&O)"), this);
    RzButton1->setObjectName(QStringLiteral("RzButton1"));
    RzButton1->setGeometry(48, 70, 75, 25);
    RzButton1->setDefault(true);
    connect(RzButton1, &QPushButton::clicked, this, &QDialog::accept);

    RzButton2 = new QPushButton(QStringLiteral("取消(&C)"), this);
    RzButton2->setObjectName(QStringLiteral("RzButton2"));
    RzButton2->setGeometry(128, 70, 75, 25);
    connect(RzButton2, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TFrmLineSpace::FormCreate()
{
    setFont(QFont(QStringLiteral("宋体"), 9));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

int TFrmLineSpace::Value() const
{
    return RzSpinEdit1->value();
}

void TFrmLineSpace::SetValue(int value)
{
    RzSpinEdit1->setValue(value);
}

std::optional<int> RunLineSpaceDialog(QWidget* parent, int lineSpacing)
{
    TFrmLineSpace dialog(parent);
    dialog.SetValue(lineSpacing);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Value();
}
