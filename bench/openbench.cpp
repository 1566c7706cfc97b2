// Opens generated books in the real main window, offscreen, and prints one
// "name: value unit" line per figure, with md5sum of the same file measured in
// the same run as the reference for the open times.
//
//   openbench [--mb N] [--dir FOLDER] [--seed S]

#include "BookGenerator.h"
#include "app/UnitFolvane.h"
#include "app/model/PageModel.h"
#include "app/view/PagePublicMsg.h"
#include "app/view/PageRenderer.h"
#include "app/view/PageView.h"
#include "app/view/TextDrawer.h"
#include "common/AppPaths.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Peak resident memory of this process so far, in MiB.
double PeakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

double Md5sumMs(const QString& path)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess md5sum;
        md5sum.start(QStringLiteral("md5sum"), {path});
        md5sum.waitForFinished(-1);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

QString EnsureBook(const QString& dir, const char* name, qint64 bytes, TBookEncoding encoding, uint32_t seed)
{
    const QString path = QDir(dir).filePath(QString::fromLatin1(name));
    if (QFileInfo(path).size() < bytes)
        WriteBook(path, bytes, encoding, seed);
    // Read it once, so every measurement starts from the page cache.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        while (!file.read(1 << 24).isEmpty()) {
        }
    return path;
}

// Open call to the first page on screen.
double OpenMs(TFrmFolvane& window, TPageView& area, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    window.OpenTextFile(path, false);
    area.viewport()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

double PaintMs(TFrmFolvane& window, bool smooth)
{
    TAAFont drawer;
    drawer.SetQuality(smooth ? TAAFont::QualitySmooth : TAAFont::QualityNone);
    const TOnePage& page = window.Pages()[1];
    const std::array<TLineFont, 3> fonts{TLineFont{}, window.LineFont(1), window.LineFont(2)};
    QImage image(page.Width, page.Height, QImage::Format_RGB32);
    constexpr int Runs = 40;
    DrawPage(image, page, 1, fonts, PagePublicMsg, true, true, true, drawer); // warm the font caches
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Runs; ++i) {
        image.fill(Qt::gray);
        DrawPage(image, page, 1, fonts, PagePublicMsg, true, true, true, drawer);
    }
    return timer.nsecsElapsed() / 1e6 / Runs;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("mb"), QStringLiteral("Book size in MiB."), QStringLiteral("N"),
                      QStringLiteral("100")});
    parser.addOption({QStringLiteral("dir"), QStringLiteral("Folder for the generated books."),
                      QStringLiteral("FOLDER"), QDir::temp().filePath(QStringLiteral("quillmere-bench"))});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Generator seed."), QStringLiteral("S"),
                      QStringLiteral("2026")});
    parser.process(app);
    const qint64 bytes = parser.value(QStringLiteral("mb")).toLongLong() << 20;
    const uint32_t seed = parser.value(QStringLiteral("seed")).toUInt();
    const QString dir = parser.value(QStringLiteral("dir"));
    QDir().mkpath(dir);

    const QString gbk = EnsureBook(dir, "book-gbk.txt", bytes, TBookEncoding::Gbk, seed);
    const QString utf16 = EnsureBook(dir, "book-utf16le.txt", bytes, TBookEncoding::Utf16Le, seed);
    const QString utf8 = EnsureBook(dir, "book-utf8.txt", bytes, TBookEncoding::Utf8, seed);

    QTemporaryDir state;
    SetAppDirsForTesting(state.path(), state.path());
    RegisterFontSubstitutions();
    TFrmFolvane window;
    window.resize(1280, 900);
    window.show();
    QCoreApplication::processEvents();
    auto& area = *window.findChild<TPageView*>(QStringLiteral("ScrollBoxPages"));
    const double baseline = PeakRssMb();

    const double md5Gbk = Md5sumMs(gbk);
    const double openGbk = OpenMs(window, area, gbk);
    const double peak = PeakRssMb();
    Print("md5sum_ms", md5Gbk, "ms");
    Print("open_ms", openGbk, "ms");
    Print("open_ratio_to_md5sum", openGbk / md5Gbk, "x");
    Print("baseline_rss_mb", baseline, "MiB");
    Print("peak_rss_mb", peak, "MiB");
    Print("peak_above_baseline_per_file_size", (peak - baseline) / (bytes / 1048576.0), "x");
    Print("pages", double(window.Pages().size()), "pages");

    Print("paint_smooth_ms", PaintMs(window, true), "ms");
    Print("paint_plain_ms", PaintMs(window, false), "ms");

    const int renders = area.RenderCount();
    const int step = window.LineFont(1).Height + PagePublicMsg.LineSpacing;
    constexpr int Steps = 50;
    QElapsedTimer scroll;
    scroll.start();
    for (int i = 0; i < Steps; ++i) {
        area.SetVertPosition(area.VertPosition() + step);
        area.viewport()->repaint();
    }
    Print("scroll_repaint_ms", scroll.nsecsElapsed() / 1e6 / Steps, "ms");
    Print("scroll_pages_rendered", double(area.RenderCount() - renders), "pages");

    // Re-layout of the open book after a font-size change, keeping the place.
    window.GoToPage(static_cast<int>(window.Pages().size() / 2));
    area.viewport()->repaint();
    auto* size = window.findChild<QSlider*>(QStringLiteral("TrackBarFontSize"));
    QElapsedTimer relayout;
    relayout.start();
    size->setValue(size->value() + 1);
    Print("relayout_ms", relayout.nsecsElapsed() / 1e6, "ms");

    const double md5Utf16 = Md5sumMs(utf16);
    const double openUtf16 = OpenMs(window, area, utf16);
    Print("md5sum_utf16_ms", md5Utf16, "ms");
    Print("open_utf16_ms", openUtf16, "ms");
    Print("open_utf16_ratio_to_md5sum", openUtf16 / md5Utf16, "x");
    const double md5Utf8 = Md5sumMs(utf8);
    const double openUtf8 = OpenMs(window, area, utf8);
    Print("md5sum_utf8_ms", md5Utf8, "ms");
    Print("open_utf8_ms", openUtf8, "ms");
    Print("open_utf8_ratio_to_md5sum", openUtf8 / md5Utf8, "x");
    return 0;
}
