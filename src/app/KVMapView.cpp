#include "app/KVMapView.h"

#include "platform/Canvas.h"
#include "platform/gui/CanvasText.h"
#include "platform/gui/CursorShapes.h"
#include "platform/gui/QtBitmap.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

namespace kv {

TPoint TCanvasTextPainter::TextExtent(const TCanvas& canvas, const std::string& text)
{
    return {TextWidth(canvas, text), TextHeight(canvas, text)};
}

void TCanvasTextPainter::TextOut(TCanvas& canvas, int32_t x, int32_t y, const std::string& text)
{
    // The bar's labels have no background whatever brush the band was filled with.
    const TBrush saved = canvas.Brush;
    canvas.Brush.Style = bsClear;
    kv::TextOut(canvas, x, y, text);
    canvas.Brush = saved;
}

// The map picture.

TDEMImageView::TDEMImageView(QScrollArea* scrollBox, const QString& objectName)
    : QWidget(scrollBox), ScrollBox_(scrollBox)
{
    setObjectName(objectName);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    OverClipBox_.ScrollBox = this;
    OverClipBox_.SetDrawingSurface(&Picture_);
    PictureChanged();
}

void TDEMImageView::PictureChanged()
{
    // The box learns the picture's new size (it is hidden while the picture is drawn).
    if (!OverClipBox_.Active())
        OverClipBox_.SetDrawingSurface(&Picture_);
    setFixedSize(Picture_.Width(), Picture_.Height());
    Refresh();
}

void TDEMImageView::Refresh()
{
    // The map is drawn in 32 bits, blue, green, red and a spare byte per pixel: Qt's RGB32
    // layout, so the screen reads the picture in place, without a copy per mouse move.
    if (Picture_.PixelFormat() != pf32bit)
        Image_ = BitmapToQImage(Picture_);
    update();
}

QImage TDEMImageView::ToImage() const
{
    return BitmapToQImage(Picture_);
}

void TDEMImageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    if (Picture_.Empty()) {
        painter.fillRect(area, Qt::white);
        return;
    }
    if (Picture_.PixelFormat() == pf32bit) {
        const QImage view(static_cast<const uchar*>(Picture_.ScanLine(0)), Picture_.Width(), Picture_.Height(),
                          static_cast<qsizetype>(Picture_.RowBytes()), QImage::Format_RGB32);
        painter.drawImage(area, view, area);
    } else {
        painter.drawImage(area, Image_, area);
    }
}

void TDEMImageView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        OverClipBox_.MouseDown(p.x(), p.y());
    AfterMouse(p.x(), p.y());
}

void TDEMImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit CursorMoved(p.x(), p.y());
    OverClipBox_.MouseMove(p.x(), p.y());
    AfterMouse(p.x(), p.y());
}

void TDEMImageView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        OverClipBox_.MouseUp();
    AfterMouse(p.x(), p.y());
}

void TDEMImageView::AfterMouse(int x, int y)
{
    SetCursor(*this, OverClipBox_.Cursor());
    Refresh();
    emit MouseAction(x, y);
}

TPoint TDEMImageView::SurfaceOffset() const
{
    return {pos().x(), pos().y()};
}

int32_t TDEMImageView::ClientWidth() const
{
    return ScrollBox_->viewport()->width();
}

int32_t TDEMImageView::ClientHeight() const
{
    return ScrollBox_->viewport()->height();
}

void TDEMImageView::ScrollBy(int32_t dx, int32_t dy)
{
    ScrollBox_->horizontalScrollBar()->setValue(ScrollBox_->horizontalScrollBar()->value() + dx);
    ScrollBox_->verticalScrollBar()->setValue(ScrollBox_->verticalScrollBar()->value() + dy);
}

// The colour bar.

TColorBarView::TColorBarView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ColorBar1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    Bar_.SetColorCount(dc20);
    Bar_.LabelBars = true;
    Bar_.ScaleFactor = 1.0;
    Bar_.Adjustable = false;
    Bar_.AdjustEnds = false;
    Bar_.OnInvalidate = [this] { update(); };
}

QImage TColorBarView::ToImage() const
{
    if (width() <= 0 || height() <= 0)
        return {};
    TBitmap bitmap(width(), height(), pf24bit);
    TCanvas canvas(bitmap);
    canvas.Brush = TBrush{clWhite, bsSolid};
    canvas.FillRect(TRect{0, 0, width(), height()});
    TCanvasTextPainter text;
    PaintColorBar(canvas, Bar_, width(), height(), isEnabled(), &text);
    return BitmapToQImage(bitmap);
}

void TColorBarView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, ToImage());
}

} // namespace kv
