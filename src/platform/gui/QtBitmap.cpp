#include "platform/gui/QtBitmap.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace kv {

namespace {

QList<QRgb> ColorTable(const TBitmap& bitmap)
{
    QList<QRgb> table;
    for (TColor color : bitmap.Palette())
        table.push_back(qRgb(RedOf(color), GreenOf(color), BlueOf(color)));
    // Every index a pixel can hold needs an entry; those beyond our table read black.
    const qsizetype needed = qsizetype(1) << std::min(BitsPerPixel(bitmap.PixelFormat()), 8);
    while (table.size() < needed)
        table.push_back(qRgb(0, 0, 0));
    return table;
}

std::vector<TColor> Palette(const QImage& image)
{
    std::vector<TColor> palette;
    for (QRgb rgb : image.colorTable())
        palette.push_back(RGBColor(uint8_t(qRed(rgb)), uint8_t(qGreen(rgb)), uint8_t(qBlue(rgb))));
    if (palette.size() > 256)
        palette.resize(256);
    return palette;
}

void CopyRows(const QImage& image, TBitmap& bitmap)
{
    const size_t bytes = std::min(size_t(image.bytesPerLine()), bitmap.RowBytes());
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        std::memcpy(bitmap.ScanLine(y), image.constScanLine(y), bytes);
}

} // namespace

QImage BitmapToQImage(const TBitmap& bitmap)
{
    const int width = bitmap.Width(), height = bitmap.Height();
    QImage image;
    switch (bitmap.PixelFormat()) {
    case pf1bit:
        image = QImage(width, height, QImage::Format_Mono);
        break;
    case pf4bit:
    case pf8bit:
        image = QImage(width, height, QImage::Format_Indexed8);
        break;
    case pf15bit:
        image = QImage(width, height, QImage::Format_RGB555);
        break;
    case pf24bit:
        image = QImage(width, height, QImage::Format_BGR888);
        break;
    case pf32bit:
        image = QImage(width, height, QImage::Format_RGB32);
        break;
    }
    if (image.isNull())
        return image;
    if (BitsPerPixel(bitmap.PixelFormat()) <= 8)
        image.setColorTable(ColorTable(bitmap));
    const size_t bytes = std::min(size_t(image.bytesPerLine()), bitmap.RowBytes());
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        if (bitmap.PixelFormat() == pf4bit) {
            for (int x = 0; x < width; ++x)
                row[x] = uchar(bitmap.GetValue(x, y));
            continue;
        }
        std::memcpy(row, bitmap.ScanLine(y), bytes);
        if (bitmap.PixelFormat() == pf32bit)
            for (int x = 0; x < width; ++x)
                row[4 * x + 3] = 0xFF; // RGB32 wants an opaque fourth byte
    }
    return image;
}

TBitmap QImageToBitmap(const QImage& source)
{
    if (source.isNull())
        return TBitmap();
    QImage image = source;
    if (image.format() == QImage::Format_MonoLSB)
        image = image.convertToFormat(QImage::Format_Mono);
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8) {
        TBitmap bitmap(image.width(), image.height(), image.format() == QImage::Format_Mono ? pf1bit : pf8bit);
        bitmap.SetPalette(Palette(image));
        CopyRows(image, bitmap);
        return bitmap;
    }
    if (image.hasAlphaChannel()) {
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        image = opaque;
    }
    image = image.convertToFormat(QImage::Format_BGR888);
    TBitmap bitmap(image.width(), image.height(), pf24bit);
    CopyRows(image, bitmap);
    return bitmap;
}

} // namespace kv
