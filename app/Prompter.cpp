#include "app/Prompter.h"

#include "app/view/UnitLineSpace.h"
#include "dialogs/UnitConfim.h"
#include "dialogs/UnitFont.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

} // namespace

void TQtPrompter::Notice(QWidget* parent, const QString& text)
{
    ShowMessage(parent, QMessageBox::Information, QStringLiteral("提示"), text);
}

bool TQtPrompter::Question(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    return box.exec() == QMessageBox::Yes;
}

void TQtPrompter::Error(QWidget* parent, const QString& text)
{
    ShowMessage(parent, QMessageBox::Critical, QStringLiteral("错误"), text);
}

QStringList TQtPrompter::PickOpenFiles(QWidget* parent, const QString& title, const QString& folder,
                                       const QString& filter)
{
    return QFileDialog::getOpenFileNames(parent, title, folder, filter);
}

QString TQtPrompter::PickFolder(QWidget* parent, const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

std::optional<TFontChoice> TQtPrompter::PickFont(QWidget* parent, const TFontChoice& initial)
{
    TFrmFont dialog(initial.Font, initial.Color, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return TFontChoice{dialog.SelectedFont(), dialog.SelectedColor()};
}

std::optional<QColor> TQtPrompter::PickColor(QWidget* parent, const QColor& initial)
{
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

bool TQtPrompter::ConfirmSetMark(QWidget* parent)
{
    return ::ConfirmSetMark(parent);
}

std::optional<int> TQtPrompter::PickLineSpacing(QWidget* parent, int lineSpacing)
{
    return RunLineSpaceDialog(parent, lineSpacing);
}
