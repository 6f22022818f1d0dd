#pragma once
// The controls of the "DEM Reader" page: the map picture with its selection box, and the
// elevation colour bar. Both paint pictures drawn by mapview onto our own bitmaps; the widgets
// only show them and forward the mouse.

#include "mapview/Colorbar.h"
#include "mapview/SelectBox.h"
#include "platform/Bitmap.h"

#include <QImage>
#include <QWidget>

class QScrollArea;

namespace kv {

// Labels of the colour bar through Qt's font engine (platform/gui CanvasText).
class TCanvasTextPainter : public TTextPainter {
public:
    TPoint TextExtent(const TCanvas& canvas, const std::string& text) override;
    void TextOut(TCanvas& canvas, int32_t x, int32_t y, const std::string& text) override;
};

// The map picture (DEMImage): one pixel per picture pixel, the widget exactly as large as the
// picture, inside the scrolling window (DEMScrollBox). The selection box (OverClipBox) is drawn
// into the picture itself and follows the mouse. The topo editor's picture (TopoImage) is the
// same control under its own name.
class TDEMImageView : public QWidget, private TScrollHost {
    Q_OBJECT

public:
    explicit TDEMImageView(QScrollArea* scrollBox, const QString& objectName = QStringLiteral("DEMImage"));

    // The picture the map is drawn into; call PictureChanged after drawing.
    TBitmap& Picture() { return Picture_; }
    const TBitmap& Picture() const { return Picture_; }
    // Resizes the widget to the picture and repaints.
    void PictureChanged();
    // Repaints after the picture's pixels changed (the box shown, hidden or moved).
    void Refresh();

    TSelectionBox& OverClipBox() { return OverClipBox_; }

    // The picture as an image, as it is on screen (with the selection box if it is shown).
    QImage ToImage() const;

signals:
    // After every mouse press, move and release, with the picture pixel under the mouse.
    void MouseAction(int x, int y);
    // Before a mouse move reaches the selection box.
    void CursorMoved(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TPoint SurfaceOffset() const override;
    int32_t ClientWidth() const override;
    int32_t ClientHeight() const override;
    void ScrollBy(int32_t dx, int32_t dy) override;
    void AfterMouse(int x, int y);

    QScrollArea* ScrollBox_;
    TBitmap Picture_;
    QImage Image_; // a copy of a picture that is not in 32 bits (the map always is)
    TSelectionBox OverClipBox_;
};

// The colour bar control (ColorBar1 on the DEM page): paints its TColorBar with labels.
class TColorBarView : public QWidget {
    Q_OBJECT

public:
    explicit TColorBarView(QWidget* parent);

    TColorBar& Bar() { return Bar_; }
    const TColorBar& Bar() const { return Bar_; }

    // The bar as painted at the widget's size.
    QImage ToImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColorBar Bar_;
};

} // namespace kv
