#include "app/view/AniCursor.h"

#include <QBuffer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <random>

#include <gtest/gtest.h>

namespace {

// ------------------------------------------------------------ fixture builders

void Put16(QByteArray& out, uint32_t v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void Put32(QByteArray& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

QByteArray Chunk(const char* tag, const QByteArray& body)
{
    QByteArray out(tag, 4);
    Put32(out, uint32_t(body.size()));
    out += body;
    if (body.size() % 2)
        out.append('\0');
    return out;
}

// The picture every decoded frame is compared with: 5 x 3 (an odd width pads
// every row), four colours, transparent corners. Row 0 is the top row, which a
// bottom-up bitmap stores last.
const QRgb Colours[4] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(220, 20, 30), qRgb(10, 40, 200)};
constexpr int PicW = 5, PicH = 3;
int IndexAt(int x, int y) { return (x + 2 * y) % 4; }
bool ClearAt(int x, int y) { return (x == 0 && y == 0) || (x == 4 && y == 2); }

struct TDibSpec {
    int Bpp = 24;
    int PaletteSize = 0;             // entries written; 0 with a bpp <= 8 means the full 2^bpp
    std::function<uint32_t(int, int)> Value; // palette index, or 0xAARRGGBB
    bool WithMask = true;
    int32_t Width = PicW;
    int32_t Height = PicH;
    uint32_t Compression = 0;
};

QByteArray Dib(const TDibSpec& spec)
{
    const int w = spec.Width, h = spec.Height, bpp = spec.Bpp;
    QByteArray out;
    Put32(out, 40);
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(h * 2));
    Put16(out, 1);
    Put16(out, uint32_t(bpp));
    Put32(out, spec.Compression);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, bpp <= 8 ? uint32_t(spec.PaletteSize) : 0);
    Put32(out, 0);
    if (bpp <= 8) {
        const int entries = spec.PaletteSize ? spec.PaletteSize : 1 << bpp;
        for (int i = 0; i < entries; ++i) {
            const QRgb c = i < 4 ? Colours[i] : qRgb(1, 2, 3);
            out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
        }
    }
    const int stride = ((w * bpp + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const uint32_t v = spec.Value(x, y);
            if (bpp == 32) {
                row[x * 4] = char(qBlue(v));
                row[x * 4 + 1] = char(qGreen(v));
                row[x * 4 + 2] = char(qRed(v));
                row[x * 4 + 3] = char(qAlpha(v));
            } else if (bpp == 24) {
                row[x * 3] = char(qBlue(v));
                row[x * 3 + 1] = char(qGreen(v));
                row[x * 3 + 2] = char(qRed(v));
            } else {
                const int bit = x * bpp;
                row[bit / 8] = char(uchar(row[bit / 8]) | (v << (8 - bpp - bit % 8)));
            }
        }
        out += row;
    }
    if (spec.WithMask) {
        const int maskStride = ((w + 31) / 32) * 4;
        for (int y = h - 1; y >= 0; --y) {
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < w; ++x)
                if (ClearAt(x, y))
                    row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
            out += row;
        }
    }
    return out;
}

struct TIconImage {
    QByteArray Data;
    int Width = PicW;
    int Height = PicH;
    QPoint HotSpot; // cursors only
};

QByteArray IconFile(int type, const std::vector<TIconImage>& images)
{
    QByteArray out;
    Put16(out, 0);
    Put16(out, uint32_t(type));
    Put16(out, uint32_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (const TIconImage& image : images) {
        out.append(char(image.Width)).append(char(image.Height)).append('\0').append('\0');
        Put16(out, type == 2 ? uint32_t(image.HotSpot.x()) : 1);
        Put16(out, type == 2 ? uint32_t(image.HotSpot.y()) : 32);
        Put32(out, uint32_t(image.Data.size()));
        Put32(out, offset);
        offset += uint32_t(image.Data.size());
    }
    for (const TIconImage& image : images)
        out += image.Data;
    return out;
}

QByteArray SolidCursor(QRgb colour, QPoint hot = {1, 2})
{
    TDibSpec spec;
    spec.Bpp = 32;
    spec.Value = [=](int, int) { return colour; };
    return IconFile(2, {{Dib(spec), PicW, PicH, hot}});
}

struct TAniSpec {
    std::vector<QByteArray> Frames;
    std::optional<uint32_t> FrameCount; // default: the frames given
    uint32_t Steps = 0;
    uint32_t DisplayRate = 10;
    std::optional<std::vector<uint32_t>> Rates;
    std::optional<std::vector<uint32_t>> Sequence;
};

QByteArray Ani(const TAniSpec& spec)
{
    QByteArray header;
    for (uint32_t v : {36u, spec.FrameCount.value_or(uint32_t(spec.Frames.size())), spec.Steps, 0u, 0u, 0u, 0u,
             spec.DisplayRate, spec.Sequence ? 3u : 1u})
        Put32(header, v);
    QByteArray body("ACON");
    body += Chunk("LIST", QByteArray("INFO") + Chunk("INAM", "test\0"));
    body += Chunk("anih", header);
    auto dwords = [](const std::vector<uint32_t>& values) {
        QByteArray out;
        for (uint32_t v : values)
            Put32(out, v);
        return out;
    };
    if (spec.Rates)
        body += Chunk("rate", dwords(*spec.Rates));
    if (spec.Sequence)
        body += Chunk("seq ", dwords(*spec.Sequence));
    QByteArray frames("fram");
    for (const QByteArray& frame : spec.Frames)
        frames += Chunk("icon", frame);
    body += Chunk("LIST", frames);
    QByteArray out("RIFF");
    Put32(out, uint32_t(body.size()));
    return out + body;
}

TAniSpec ThreeFramesInFourSteps()
{
    TAniSpec spec;
    spec.Frames = {SolidCursor(Colours[1]), SolidCursor(Colours[2]), SolidCursor(Colours[3])};
    spec.Steps = 4;
    spec.Rates = std::vector<uint32_t>{30, 5, 12, 5};
    spec.Sequence = std::vector<uint32_t>{0, 1, 2, 1};
    return spec;
}

// Offset of a chunk's tag in a built file.
qsizetype TagOffset(const QByteArray& file, const char* tag)
{
    return file.indexOf(QByteArray(tag, 4));
}

void Patch32(QByteArray& file, qsizetype offset, uint32_t v)
{
    QByteArray bytes;
    Put32(bytes, v);
    file.replace(offset, 4, bytes);
}

// ------------------------------------------------------------ the shipped cursor

TEST(AniCursorTest, ShippedHandCursorHasItsFramesAndSequence)
{
    const TAniCursorData data = LoadAniCursor(QStringLiteral(QUILL_SHIPPED_PICTURES "/Hand.ani"));
    ASSERT_TRUE(data.Error.isEmpty()) << data.Error.toStdString();
    ASSERT_EQ(data.Frames.size(), 3u);
    for (const TCursorFrame& frame : data.Frames) {
        EXPECT_EQ(frame.Image.size(), QSize(32, 32));
        EXPECT_EQ(frame.HotSpot, QPoint(15, 18));
        EXPECT_EQ(qAlpha(frame.Image.pixel(0, 0)), 0);
        EXPECT_EQ(frame.Image.pixel(15, 22), qRgb(255, 255, 255)) << "the palm is white";
    }
    ASSERT_EQ(data.Steps.size(), 4u);
    const int frames[] = {0, 1, 2, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(data.Steps[i].Frame, frames[i]);
        EXPECT_GT(data.Steps[i].Jiffies, 0);
    }
    EXPECT_NE(data.Frames[0].Image, data.Frames[2].Image) << "the fingers move";
}

// ------------------------------------------------------------ frame decoding

struct TIconCase {
    const char* Name;
    std::function<QByteArray()> Build;
    bool PartialAlpha = false; // column 1 is half transparent
};

class IconImageTest : public testing::TestWithParam<TIconCase> {};

TEST_P(IconImageTest, DecodesColoursTransparencyAndRowOrder)
{
    const TCursorFrameRead read = ReadIconImage(GetParam().Build());
    ASSERT_TRUE(read.ok()) << read.Error.toStdString();
    const QImage& image = read.Frame.Image;
    ASSERT_EQ(image.size(), QSize(PicW, PicH));
    for (int y = 0; y < PicH; ++y)
        for (int x = 0; x < PicW; ++x) {
            const QRgb got = image.pixel(x, y);
            if (ClearAt(x, y)) {
                EXPECT_EQ(qAlpha(got), 0) << x << "," << y;
                continue;
            }
            const int alpha = GetParam().PartialAlpha && x == 1 ? 128 : 255;
            EXPECT_EQ(got, (Colours[IndexAt(x, y)] & 0xFFFFFFu) | uint32_t(alpha) << 24) << x << "," << y;
        }
}

QByteArray Paletted(int bpp, int paletteSize)
{
    TDibSpec spec;
    spec.Bpp = bpp;
    spec.PaletteSize = paletteSize;
    spec.Value = [](int x, int y) { return uint32_t(IndexAt(x, y)); };
    return IconFile(1, {{Dib(spec), PicW, PicH, {}}});
}

QByteArray Direct(int bpp, bool withAlpha, bool withMask)
{
    TDibSpec spec;
    spec.Bpp = bpp;
    spec.WithMask = withMask;
    spec.Value = [=](int x, int y) {
        const QRgb c = Colours[IndexAt(x, y)];
        if (!withAlpha)
            return uint32_t(c & 0xFFFFFFu);
        const uint32_t alpha = ClearAt(x, y) ? 0 : x == 1 ? 128 : 255;
        return uint32_t(c & 0xFFFFFFu) | alpha << 24;
    };
    return IconFile(1, {{Dib(spec), PicW, PicH, {}}});
}

QByteArray Png()
{
    QImage image(PicW, PicH, QImage::Format_ARGB32);
    for (int y = 0; y < PicH; ++y)
        for (int x = 0; x < PicW; ++x)
            image.setPixel(x, y, ClearAt(x, y) ? qRgba(0, 0, 0, 0) : Colours[IndexAt(x, y)]);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return IconFile(1, {{png, PicW, PicH, {}}});
}

INSTANTIATE_TEST_SUITE_P(Encodings, IconImageTest,
    testing::Values(TIconCase{"FourBitFullPalette", [] { return Paletted(4, 0); }},
        TIconCase{"EightBitShortPalette", [] { return Paletted(8, 4); }},
        TIconCase{"TwentyFourBitWithMask", [] { return Direct(24, false, true); }},
        TIconCase{"ThirtyTwoBitAlpha", [] { return Direct(32, true, true); }, true},
        TIconCase{"ThirtyTwoBitAlphaWithoutMask", [] { return Direct(32, true, false); }, true},
        TIconCase{"ThirtyTwoBitZeroAlphaUsesMask", [] { return Direct(32, false, true); }},
        TIconCase{"PngEntry", Png}),
    [](const testing::TestParamInfo<TIconCase>& info) { return std::string(info.param.Name); });

TEST(IconImageTest, OneBitImageUsesItsTwoColoursAndMask)
{
    TDibSpec spec;
    spec.Bpp = 1;
    spec.Value = [](int x, int y) { return uint32_t((x + y) % 2); };
    const TCursorFrameRead read = ReadIconImage(IconFile(1, {{Dib(spec), PicW, PicH, {}}}));
    ASSERT_TRUE(read.ok()) << read.Error.toStdString();
    EXPECT_EQ(qAlpha(read.Frame.Image.pixel(0, 0)), 0);
    EXPECT_EQ(read.Frame.Image.pixel(1, 0), Colours[1]);
    EXPECT_EQ(read.Frame.Image.pixel(2, 0), Colours[0]);
    EXPECT_EQ(read.Frame.Image.pixel(0, 1), Colours[1]);
}

TEST(IconImageTest, HotSpotFromCursorsCentreForIconsClampedToTheImage)
{
    TDibSpec spec;
    spec.Bpp = 24;
    spec.Value = [](int, int) { return 0u; };
    const QByteArray dib = Dib(spec);
    EXPECT_EQ(ReadIconImage(IconFile(2, {{dib, PicW, PicH, {3, 1}}})).Frame.HotSpot, QPoint(3, 1));
    EXPECT_EQ(ReadIconImage(IconFile(1, {{dib, PicW, PicH, {}}})).Frame.HotSpot, QPoint(2, 1));
    EXPECT_EQ(ReadIconImage(IconFile(2, {{dib, PicW, PicH, {60, 60}}})).Frame.HotSpot, QPoint(4, 2));
}

TEST(IconImageTest, PicksTheLargestImage)
{
    auto dibOf = [](int side) {
        TDibSpec spec;
        spec.Bpp = 24;
        spec.Width = spec.Height = side;
        spec.Value = [](int, int) { return 0u; };
        return Dib(spec);
    };
    const QByteArray file = IconFile(1, {{dibOf(8), 8, 8, {}}, {dibOf(16), 16, 16, {}}, {dibOf(12), 12, 12, {}}});
    EXPECT_EQ(ReadIconImage(file).Frame.Image.size(), QSize(16, 16));
}

// ------------------------------------------------------------ animation steps

TEST(AniCursorTest, SequenceAndRatesGiveTheSteps)
{
    const TAniCursorData data = ReadAniCursor(Ani(ThreeFramesInFourSteps()));
    ASSERT_TRUE(data.Error.isEmpty()) << data.Error.toStdString();
    ASSERT_EQ(data.Frames.size(), 3u);
    ASSERT_EQ(data.Steps.size(), 4u);
    const int frames[] = {0, 1, 2, 1}, jiffies[] = {30, 5, 12, 5};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(data.Steps[i].Frame, frames[i]);
        EXPECT_EQ(data.Steps[i].Jiffies, jiffies[i]);
    }
    EXPECT_EQ(data.Frames[2].Image.pixel(0, 0), Colours[3]);
}

TEST(AniCursorTest, WithoutSequenceFramesRunInOrderAtTheDisplayRate)
{
    TAniSpec spec;
    spec.Frames = {SolidCursor(Colours[1]), SolidCursor(Colours[2])};
    spec.DisplayRate = 0; // would spin the timer
    const TAniCursorData data = ReadAniCursor(Ani(spec));
    ASSERT_TRUE(data.Error.isEmpty()) << data.Error.toStdString();
    ASSERT_EQ(data.Steps.size(), 2u);
    EXPECT_EQ(data.Steps[0].Frame, 0);
    EXPECT_EQ(data.Steps[1].Frame, 1);
    EXPECT_EQ(data.Steps[1].Jiffies, 1);
}

TEST(AniCursorTest, MissingFileGivesNoFrames)
{
    const TAniCursorData data = LoadAniCursor(QStringLiteral("/nonexistent/Hand.ani"));
    EXPECT_TRUE(data.isEmpty());
    EXPECT_FALSE(data.Error.isEmpty());
}

// ------------------------------------------------------------ damaged files

TEST(AniCursorTest, TruncatedAtAnyPointGivesNoFrames)
{
    const QByteArray good = Ani(ThreeFramesInFourSteps());
    ASSERT_FALSE(ReadAniCursor(good).isEmpty());
    for (qsizetype length = 0; length < good.size(); ++length) {
        const TAniCursorData data = ReadAniCursor(QByteArrayView(good).first(length));
        ASSERT_TRUE(data.isEmpty()) << "cut at " << length;
        ASSERT_FALSE(data.Error.isEmpty()) << "cut at " << length;
    }
}

struct TDamage {
    const char* Name;
    std::function<void(QByteArray&)> Apply;
};

class DamagedAniTest : public testing::TestWithParam<TDamage> {};

TEST_P(DamagedAniTest, GivesNoFramesAndSaysWhy)
{
    QByteArray file = Ani(ThreeFramesInFourSteps());
    GetParam().Apply(file);
    const TAniCursorData data = ReadAniCursor(file);
    EXPECT_TRUE(data.isEmpty());
    EXPECT_TRUE(data.Steps.empty());
    EXPECT_FALSE(data.Error.isEmpty());
}

// Offsets of the anih fields: tag, length, then cbSize, nFrames, nSteps, ...
constexpr int FramesField = 12, StepsField = 16;

INSTANTIATE_TEST_SUITE_P(Damage, DamagedAniTest,
    testing::Values(
        TDamage{"NotRiff", [](QByteArray& f) { f[0] = 'X'; }},
        TDamage{"RiffSizeBeyondTheFile", [](QByteArray& f) { Patch32(f, 4, uint32_t(f.size())); }},
        TDamage{"HugeFrameCount",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "anih") + FramesField, 0x7FFFFFFF); }},
        TDamage{"ZeroFrames", [](QByteArray& f) { Patch32(f, TagOffset(f, "anih") + FramesField, 0); }},
        TDamage{"MoreFramesThanIcons",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "anih") + FramesField, 4); }},
        TDamage{"HugeStepCount",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "anih") + StepsField, 0xFFFFFFFF); }},
        TDamage{"MoreStepsThanSequence",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "anih") + StepsField, 5); }},
        TDamage{"SequenceNamesAMissingFrame", [](QByteArray& f) { Patch32(f, TagOffset(f, "seq ") + 8, 3); }},
        TDamage{"ChunkLengthBeyondTheFile", [](QByteArray& f) { Patch32(f, TagOffset(f, "rate") + 4, 0xFFFFFFF0); }},
        TDamage{"IconLengthBeyondItsList", [](QByteArray& f) { Patch32(f, TagOffset(f, "icon") + 4, 0x10000); }},
        TDamage{"NoHeader", [](QByteArray& f) { f.replace(TagOffset(f, "anih"), 4, "xxxx"); }},
        TDamage{"IconDirectoryCountHuge", [](QByteArray& f) { f[TagOffset(f, "icon") + 8 + 4] = char(0xFF);
                                              f[TagOffset(f, "icon") + 8 + 5] = char(0xFF); }},
        TDamage{"IconImageOffsetOutside",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "icon") + 8 + 6 + 12, 0xFFFFFF00); }},
        TDamage{"BitmapWidthHuge",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "icon") + 8 + 22 + 4, 100000); }},
        TDamage{"BitmapWidthNegative",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "icon") + 8 + 22 + 4, 0xFFFFFFF0); }},
        TDamage{"BitmapCompressed", [](QByteArray& f) { Patch32(f, TagOffset(f, "icon") + 8 + 22 + 16, 1); }},
        TDamage{"BitmapHeaderSizeHuge",
            [](QByteArray& f) { Patch32(f, TagOffset(f, "icon") + 8 + 22, 0x7FFFFFFF); }}),
    [](const testing::TestParamInfo<TDamage>& info) { return std::string(info.param.Name); });

TEST(AniCursorTest, RandomCorruptionNeverYieldsInconsistentSteps)
{
    const QByteArray good = Ani(ThreeFramesInFourSteps());
    std::mt19937 random(4711);
    for (int round = 0; round < 3000; ++round) {
        QByteArray file = good;
        const int flips = 1 + int(random() % 8);
        for (int i = 0; i < flips; ++i)
            file[qsizetype(random() % uint32_t(file.size()))] = char(random());
        const TAniCursorData data = ReadAniCursor(file);
        if (data.isEmpty()) {
            ASSERT_TRUE(data.Steps.empty());
            continue;
        }
        for (const TCursorStep& step : data.Steps) {
            ASSERT_LT(step.Frame, int(data.Frames.size()));
            ASSERT_GE(step.Jiffies, 1);
        }
    }
}

// ------------------------------------------------------------ the animator

QRgb CursorColour(const QCursor& cursor)
{
    return cursor.pixmap().toImage().pixel(2, 1);
}

TEST(AnimatedCursorTest, ShowsTheStepsFramesOnAttachedWidgets)
{
    TAnimatedCursor animator;
    animator.SetData(ReadAniCursor(Ani(ThreeFramesInFourSteps())));
    ASSERT_TRUE(animator.HasFrames());
    QWidget widget;
    animator.Attach(&widget);
    EXPECT_EQ(CursorColour(widget.cursor()), Colours[1]);
    EXPECT_EQ(widget.cursor().hotSpot(), QPoint(1, 2));
    const QRgb expected[] = {Colours[2], Colours[3], Colours[2], Colours[1]};
    for (QRgb colour : expected) {
        animator.Advance();
        EXPECT_EQ(CursorColour(widget.cursor()), colour);
    }
}

TEST(AnimatedCursorTest, TimerMovesOnByItself)
{
    TAniSpec spec;
    spec.Frames = {SolidCursor(Colours[1]), SolidCursor(Colours[2])};
    spec.Steps = 2;
    spec.Rates = std::vector<uint32_t>{1, 600}; // 17 ms, then ten seconds
    TAnimatedCursor animator;
    animator.SetData(ReadAniCursor(Ani(spec)));
    QWidget widget;
    animator.Attach(&widget);
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(animator.CurrentStep(), 1);
    EXPECT_EQ(CursorColour(widget.cursor()), Colours[2]);
}

TEST(AnimatedCursorTest, WithoutFramesTheWidgetKeepsItsCursor)
{
    TAnimatedCursor animator;
    EXPECT_FALSE(animator.Load(QStringLiteral("/nonexistent/Hand.ani")).isEmpty());
    EXPECT_FALSE(animator.HasFrames());
    QWidget widget;
    widget.setCursor(Qt::IBeamCursor);
    animator.Attach(&widget);
    animator.Advance();
    EXPECT_EQ(widget.cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(animator.Cursor().shape(), Qt::ArrowCursor);
}

TEST(AnimatedCursorTest, DestroyedWidgetIsForgotten)
{
    TAnimatedCursor animator;
    animator.SetData(ReadAniCursor(Ani(ThreeFramesInFourSteps())));
    {
        QWidget widget;
        animator.Attach(&widget);
    }
    animator.Advance(); // must not touch the dead widget
    QWidget other;
    animator.Attach(&other);
    EXPECT_EQ(CursorColour(other.cursor()), CursorColour(animator.Cursor()));
}

} // namespace
