#include "platform/gui/CanvasText.h"

#include "GUIApplication.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

QFont FontOf(const TCanvas& canvas)
{
    RequireGUIApplication("Drawing text");
    QFont font(QString::fromStdString(canvas.Font.Name));
    // Points at 96 pixels per inch, whatever the screen says, so a bitmap looks the same everywhere.
    font.setPixelSize(std::max(1, int(std::lround(canvas.Font.Size * 96.0 / 72.0))));
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace

int32_t TextWidth(const TCanvas& canvas, const std::string& text)
{
    return QFontMetrics(FontOf(canvas)).horizontalAdvance(QString::fromStdString(text));
}

int32_t TextHeight(const TCanvas& canvas, const std::string&)
{
    return QFontMetrics(FontOf(canvas)).height();
}

void TextOut(TCanvas& canvas, int32_t x, int32_t y, const std::string& text)
{
    const QFont font = FontOf(canvas);
    const QFontMetrics metrics(font);
    const QString string = QString::fromStdString(text);
    const int width = metrics.horizontalAdvance(string);
    const int height = metrics.height();
    if (canvas.Brush.Style == bsSolid)
        canvas.FillRect({x, y, int32_t(int64_t(x) + width), int32_t(int64_t(y) + height)});
    // Glyphs may reach beyond the advance (italics, overhangs): draw the union of both boxes.
    const QRect ink = metrics.boundingRect(string).translated(0, metrics.ascent());
    const QRect box = ink.united(QRect(0, 0, width, height));
    if (box.isEmpty())
        return;
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(-box.left(), metrics.ascent() - box.top()), string);
    painter.end();
    const TRect drawable = canvas.DrawableRect();
    for (int row = 0; row < image.height(); ++row) {
        const int64_t py = int64_t(y) + box.top() + row;
        if (py < drawable.Top || py >= drawable.Bottom)
            continue;
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int column = 0; column < image.width(); ++column) {
            const int64_t px = int64_t(x) + box.left() + column;
            if (qAlpha(pixels[column]) >= 128 && px >= drawable.Left && px < drawable.Right)
                canvas.SetPixel(int32_t(px), int32_t(py), canvas.Font.Color);
        }
    }
}

} // namespace kv
