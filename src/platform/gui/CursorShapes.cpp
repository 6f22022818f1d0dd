#include "platform/gui/CursorShapes.h"

#include <QGuiApplication>
#include <QWidget>

namespace kv {

Qt::CursorShape CursorShape(TCursor cursor)
{
    switch (cursor) {
    case crDefault:
        return Qt::ArrowCursor;
    case crCross:
        return Qt::CrossCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crHourGlass:
        return Qt::WaitCursor;
    }
    return Qt::ArrowCursor;
}

void SetCursor(QWidget& widget, TCursor cursor)
{
    if (cursor == crDefault)
        widget.unsetCursor();
    else
        widget.setCursor(CursorShape(cursor));
}

TWaitCursor::TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

TWaitCursor::~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }

} // namespace kv
