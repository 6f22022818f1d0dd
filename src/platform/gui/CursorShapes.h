#pragma once
// The program's cursors (platform/Cursors.h) as Qt's cursor shapes.

#include "platform/Cursors.h"

#include <Qt>

class QWidget;

namespace kv {

Qt::CursorShape CursorShape(TCursor cursor);

// Shows the cursor over the widget; crDefault gives the widget back its parent's cursor.
void SetCursor(QWidget& widget, TCursor cursor);

// The hourglass over the whole application while it lives.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace kv
