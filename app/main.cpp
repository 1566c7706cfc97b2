#include "app/UnitFolvane.h"
#include "app/view/TextDrawer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));

    // Qt's own dialogs speak the reader's language.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qt_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    RegisterFontSubstitutions();

    TFrmFolvane window;
    // Without a window manager (Xvfb) nothing maximises the window: fill the screen ourselves.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    window.OpenCommandLine(QApplication::arguments().mid(1));
    return QApplication::exec();
}
