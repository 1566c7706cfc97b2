#include "app/view/Paper.h"

#include "app/model/PageModel.h"
#include "app/view/PagePublicMsg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString ShippedProgramDir = QStringLiteral(QUILL_SHIPPED_PICTURES);

class PaperTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        QDir(Dir.path()).mkpath(QStringLiteral("PagePic"));
        Body.Width = 600;
        Body.Height = 15;
        Msg.LineSpacing = 6;
    }

    // A 3 x 2 tile of distinct colours, so the tiling phase is visible.
    void WriteTile(const QString& name)
    {
        QImage tile(3, 2, QImage::Format_RGB32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                tile.setPixel(x, y, TileColor(x, y));
        ASSERT_TRUE(tile.save(Dir.filePath(QStringLiteral("PagePic/") + name), "BMP"));
    }

    static QRgb TileColor(int x, int y) { return qRgb(40 + 60 * x, 100 + 80 * y, 200); }

    QTemporaryDir Dir;
    TLineFont Body;
    TPagePublicMsg Msg;
};

TEST_F(PaperTest, TilesTheBackgroundFromTheTopLeftInsideABlackFrame)
{
    WriteTile(QStringLiteral("tile.bmp"));
    Msg.UseBg = true;
    Msg.BgFile = QStringLiteral("tile.bmp");
    PreparePaper(Msg, Body, true, Dir.path());
    ASSERT_TRUE(Msg.UseBg);
    const QImage& paper = Msg.PaperBitmap;
    // The page without its 5-pixel shadow strip.
    ASSERT_EQ(paper.size(), QSize(600 + 120, 15 * 40 + 6 * 39 + 184));
    EXPECT_EQ(paper.width(), PageWidthFor(Body) - 5);
    for (int x = 0; x < paper.width(); ++x) {
        ASSERT_EQ(paper.pixel(x, 0), 0xFF000000) << x;
        ASSERT_EQ(paper.pixel(x, paper.height() - 1), 0xFF000000) << x;
    }
    for (int y = 0; y < paper.height(); ++y) {
        ASSERT_EQ(paper.pixel(0, y), 0xFF000000) << y;
        ASSERT_EQ(paper.pixel(paper.width() - 1, y), 0xFF000000) << y;
    }
    for (QPoint p : {QPoint(1, 1), QPoint(2, 1), QPoint(3, 2), QPoint(100, 51), QPoint(718, 1000)})
        EXPECT_EQ(paper.pixel(p), TileColor(p.x() % 3, p.y() % 2)) << p.x() << "," << p.y();
}

TEST_F(PaperTest, WithoutBackgroundThePaperIsLeftAlone)
{
    WriteTile(QStringLiteral("tile.bmp"));
    Msg.BgFile = QStringLiteral("tile.bmp");
    PreparePaper(Msg, Body, true, Dir.path());
    EXPECT_FALSE(Msg.UseBg);
    EXPECT_TRUE(Msg.PaperBitmap.isNull());
    EXPECT_TRUE(Msg.BgBitmap.isNull()) << "nothing is read while the background is off";
}

TEST_F(PaperTest, MissingOrDamagedPictureTurnsTheBackgroundOff)
{
    QFile damaged(Dir.filePath(QStringLiteral("PagePic/damaged.bmp")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("BM this is not a picture");
    damaged.close();
    for (const char* name : {"absent.bmp", "damaged.bmp", ""}) {
        Msg.UseBg = true;
        Msg.BgFile = QString::fromUtf8(name);
        Msg.PaperBitmap = QImage();
        PreparePaper(Msg, Body, true, Dir.path());
        EXPECT_FALSE(Msg.UseBg) << name;
        EXPECT_TRUE(Msg.PaperBitmap.isNull()) << name;
        QImage untouched;
        const TPictureRead read = LoadBgPicture(Dir.path(), Msg.BgFile, untouched);
        EXPECT_FALSE(read.Ok) << name;
        EXPECT_FALSE(read.Error.isEmpty()) << name;
    }
}

TEST_F(PaperTest, RelayoutResizesFromThePictureAlreadyLoaded)
{
    WriteTile(QStringLiteral("tile.bmp"));
    Msg.UseBg = true;
    Msg.BgFile = QStringLiteral("tile.bmp");
    PreparePaper(Msg, Body, true, Dir.path());
    QFile::remove(Dir.filePath(QStringLiteral("PagePic/tile.bmp")));
    Body.Height = 20;
    Msg.LineSpacing = 0;
    PreparePaper(Msg, Body, false, Dir.path());
    EXPECT_TRUE(Msg.UseBg);
    EXPECT_EQ(Msg.PaperBitmap.size(), QSize(720, 20 * 40 + 184));
}

TEST(ShippedPicturesTest, PapersLoadAsBackgrounds)
{
    const QStringList papers = QDir(ShippedProgramDir + QStringLiteral("/PagePic"))
                                   .entryList({QStringLiteral("*.bmp")}, QDir::Files);
    ASSERT_FALSE(papers.isEmpty());
    for (const QString& name : papers) {
        QImage bitmap;
        const TPictureRead read = LoadBgPicture(ShippedProgramDir, name, bitmap);
        EXPECT_TRUE(read.Ok) << name.toStdString() << ": " << read.Error.toStdString();
        EXPECT_EQ(bitmap.format(), QImage::Format_RGB32);
        EXPECT_GE(bitmap.width(), 16);
    }
}

TEST(LoadMarkBitmapTest, MissingOrUnreadableFileGivesBlank48x48White)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage missing = LoadMarkBitmap(dir.path());
    QFile garbage(dir.filePath(QStringLiteral("Mark.bmp")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a bitmap");
    garbage.close();
    const QImage unreadable = LoadMarkBitmap(dir.path());
    for (const QImage& mark : {missing, unreadable}) {
        ASSERT_EQ(mark.size(), QSize(48, 48));
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                ASSERT_EQ(mark.pixel(x, y), qRgba(255, 255, 255, 0)) << x << "," << y;
    }
}

TEST(LoadMarkBitmapTest, ShippedGlyphIsARibbonOnTransparentWhite)
{
    const QImage mark = LoadMarkBitmap(ShippedProgramDir);
    ASSERT_FALSE(mark.isNull());
    EXPECT_EQ(qAlpha(mark.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(mark.pixel(mark.width() - 1, mark.height() - 1)), 0);
    const QRgb middle = mark.pixel(mark.width() / 2, mark.height() / 2);
    EXPECT_EQ(qAlpha(middle), 255);
    EXPECT_GT(qRed(middle), 2 * qGreen(middle)) << "a red ribbon";
}

} // namespace
