#include "dialogs/UnitOpenWith.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TFrmOpenWith::TFrmOpenWith(const QString& filePath, const QString& program, TProgramResolver resolve, QWidget* parent)
    : QDialog(parent)
    , FResolve(std::move(resolve))
{
    setObjectName(QStringLiteral("FrmOpenWith"));
    setWindowTitle(QStringLiteral("使用指定软件打开"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("宋体"), 9));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    Label1 = new QLabel(QStringLiteral("选择用来打开文件“%1”的程序：").arg(QFileInfo(filePath).fileName()), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    layout->addWidget(Label1);

    auto* row = new QHBoxLayout();
    EditProgram = new QLineEdit(program, this);
    EditProgram->setObjectName(QStringLiteral("EditProgram"));
    EditProgram->setMinimumWidth(300);
    row->addWidget(EditProgram, 1);
    BtnBrowse = new QPushButton(QStringLiteral("浏览(&B)..."), this);
    BtnBrowse->setObjectName(QStringLiteral("BtnBrowse"));
    row->addWidget(BtnBrowse);
    layout->addLayout(row);

    LabelHint = new QLabel(this);
    LabelHint->setObjectName(QStringLiteral("LabelHint"));
    layout->addWidget(LabelHint);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    BtnOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);

    connect(EditProgram, &QLineEdit::textChanged, this, &TFrmOpenWith::EditProgramChange);
    connect(BtnBrowse, &QPushButton::clicked, this, &TFrmOpenWith::BtnBrowseClick);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TFrmOpenWith::FormCreate()
{
    EditProgramChange();
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFrmOpenWith::EditProgramChange()
{
    FProgram = FResolve ? FResolve(EditProgram->text()) : QString();
    BtnOK->setEnabled(!FProgram.isEmpty());
    const bool typed = !EditProgram->text().trimmed().isEmpty();
    LabelHint->setText(FProgram.isEmpty() && typed ? QStringLiteral("找不到这个程序，或它不是可执行文件") : QString());
}

void TFrmOpenWith::BtnBrowseClick()
{
    const QString start = FProgram.isEmpty() ? QString() : QFileInfo(FProgram).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("选择程序"), start);
    if (!chosen.isEmpty())
        EditProgram->setText(chosen);
}

std::optional<QString> ChooseProgram(
    QWidget* parent, const QString& filePath, const QString& program, const TProgramResolver& resolve)
{
    TFrmOpenWith dialog(filePath, program, resolve, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.Program().isEmpty())
        return std::nullopt;
    return dialog.Program();
}
