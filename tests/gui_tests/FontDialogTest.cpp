// The body font dialog hands back what it was given until the user changes it.

#include "dialogs/UnitFont.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(FontDialog, StartsFromTheBodyFontAndItsColour)
{
    QFont body(QStringLiteral("AR PL UMing CN"), 14);
    body.setBold(true);
    TFrmFont dialog(body, QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("字体"));
    EXPECT_EQ(dialog.SelectedFont().pointSize(), 14);
    EXPECT_TRUE(dialog.SelectedFont().bold());
    EXPECT_EQ(dialog.SelectedColor(), QColor(0x12, 0x34, 0x56));

    auto* chooser = dialog.findChild<QFontDialog*>(QStringLiteral("FontDialogTxt"));
    ASSERT_NE(chooser, nullptr);
    QFont other = body;
    other.setPointSize(20);
    other.setItalic(true);
    chooser->setCurrentFont(other);
    EXPECT_EQ(dialog.SelectedFont().pointSize(), 20);
    EXPECT_TRUE(dialog.SelectedFont().bold());
    // The face has no italic of its own: the box asks for one.
    dialog.findChild<QCheckBox*>(QStringLiteral("CheckItalic"))->click();
    EXPECT_TRUE(dialog.SelectedFont().italic());
    dialog.findChild<QCheckBox*>(QStringLiteral("CheckBold"))->click();
    EXPECT_FALSE(dialog.SelectedFont().bold());
    if (qEnvironmentVariableIsSet("QUILL_SAVE_FONT_DIALOG")) {
        dialog.show();
        dialog.grab().save(qEnvironmentVariable("QUILL_SAVE_FONT_DIALOG"));
    }
}
