#include "app/view/Paper.h"

#include "app/model/PageModel.h"
#include "app/view/PagePublicMsg.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace {

constexpr int BlankMarkSize = 48;
constexpr QRgb MarkKeyColor = 0xFFFFFFFF;

TPictureRead ReadPicture(const QString& path, QImage& image)
{
    if (!QFileInfo(path).isFile())
        return {false, QStringLiteral("no such file: %1").arg(path)};
    QImageReader reader(path);
    QImage read = reader.read();
    if (read.isNull())
        return {false, QStringLiteral("%1: %2").arg(path, reader.errorString())};
    image = std::move(read);
    return {true, {}};
}

} // namespace

TPictureRead LoadBgPicture(const QString& programDir, const QString& fileName, QImage& bitmap)
{
    if (fileName.isEmpty())
        return {false, QStringLiteral("no background picture chosen")};
    QImage read;
    TPictureRead result = ReadPicture(QDir(programDir).filePath(QStringLiteral("PagePic/") + fileName), read);
    if (result)
        bitmap = read.convertToFormat(QImage::Format_RGB32);
    return result;
}

void PreparePaper(TPagePublicMsg& msg, const TLineFont& body, bool reload, const QString& programDir)
{
    if (!msg.UseBg)
        return;
    if (reload)
        msg.UseBg = LoadBgPicture(programDir, msg.BgFile, msg.BgBitmap).Ok;
    if (!msg.UseBg)
        return;
    if (msg.BgBitmap.isNull()) {
        // Nothing to tile: the plain paper colour is the honest fallback.
        msg.UseBg = false;
        return;
    }
    const int width = body.Width + 2 * PageSideMargin;
    const int height = body.Height * LinesPerPage + msg.LineSpacing * (LinesPerPage - 1) + PageTopMargin
        + PageBottomMargin;
    if (width <= 0 || height <= 0) {
        msg.UseBg = false;
        return;
    }
    QImage paper(width, height, QImage::Format_RGB32);
    QPainter painter(&paper);
    // A texture brush is anchored at the painter's origin: the tiles start at
    // the paper's top-left corner, as on every page.
    painter.fillRect(paper.rect(), QBrush(msg.BgBitmap));
    painter.setPen(Qt::NoPen);
    painter.fillRect(0, 0, width, 1, Qt::black);
    painter.fillRect(0, height - 1, width, 1, Qt::black);
    painter.fillRect(0, 0, 1, height, Qt::black);
    painter.fillRect(width - 1, 0, 1, height, Qt::black);
    painter.end();
    msg.PaperBitmap = std::move(paper);
}

QImage TransparentWhere(const QImage& image, QRgb keyColor)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyColor & 0x00FFFFFFu;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == key)
                line[x] = key; // alpha 0
    }
    return result;
}

QImage LoadMarkBitmap(const QString& programDir)
{
    QImage mark;
    if (!ReadPicture(QDir(programDir).filePath(QStringLiteral("Mark.bmp")), mark)) {
        mark = QImage(BlankMarkSize, BlankMarkSize, QImage::Format_RGB32);
        mark.fill(MarkKeyColor);
    }
    return TransparentWhere(mark, MarkKeyColor);
}
