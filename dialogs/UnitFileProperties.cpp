#include "dialogs/UnitFileProperties.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TFrmFileProperties::TFrmFileProperties(const TFileProperties& properties, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmFileProperties"));
    setWindowTitle(properties.Name + QStringLiteral(" 属性"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("宋体"), 9));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    FRows = new QFormLayout();
    FRows->setHorizontalSpacing(16);
    FRows->setVerticalSpacing(8);
    FRows->setLabelAlignment(Qt::AlignLeft);
    layout->addLayout(FRows);

    AddRow(QStringLiteral("文件名："), properties.Name);
    AddRow(QStringLiteral("位置："), properties.Folder);
    AddRow(QStringLiteral("大小："), properties.SizeText);
    AddRow(QStringLiteral("类型："), properties.Type);
    AddRow(QStringLiteral("修改时间："), properties.Modified);
    AddRow(QStringLiteral("权限："), properties.Permissions);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addSpacing(6);
    layout->addWidget(rule);

    auto* buttons = new QDialogButtonBox(this);
    BtnOK = buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    FormCreate();
}

void TFrmFileProperties::AddRow(const QString& caption, const QString& value)
{
    auto* text = new QLabel(value, this);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setMinimumWidth(260);
    FRows->addRow(caption, text);
}

void TFrmFileProperties::FormCreate()
{
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void ShowFilePropertiesDialog(QWidget* parent, const TFileProperties& properties)
{
    TFrmFileProperties dialog(properties, parent);
    dialog.exec();
}
