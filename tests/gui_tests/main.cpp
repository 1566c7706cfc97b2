#include "app/view/TextDrawer.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Tests expect the English thousands separator unless they set another locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    RegisterFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
