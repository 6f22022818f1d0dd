#pragma once
// The questions long drawings ask of the user-interface thread's queue, over Qt's event queue:
// is a key, mouse or timer event waiting (so the drawing should stop), and processing what waits.
//
// Peeking runs the queue once with a filter on the application: input events (keys, mouse,
// wheel, touch) and the ticks of QTimer objects are held back instead of delivered, noted, and
// posted again afterwards in their order, so the next processing of events still delivers them
// (to the window they were meant for, once each; a timer's repeated ticks count once). Other
// events (paints, posted calls) are delivered as a short processing of events would. Keyboard
// shortcuts of a held key press are not looked up again when it is delivered.
// Needs a running QApplication; without one these throw EKorvelaError.

#include <QEvent>
#include <QPointer>

#include <optional>
#include <vector>

class QObject;
class QWidget;

namespace kv {

// Kinds of waiting input; combine them with |.
enum TInputKind : unsigned {
    ikKey = 1,         // key presses and releases
    ikMouseMove = 2,   // mouse moves
    ikMouseButton = 4, // mouse button presses, releases and double clicks
    ikTimer = 8,       // ticks of QTimer objects
};

struct TWaitingInput {
    TInputKind Kind;
    QEvent::Type Type;
    int Key = 0;              // Qt::Key of a key event
    QPointer<QObject> Target; // the widget (or object) the event is meant for
};

// Whether input of any of the kinds waits for `window` (the widget or any widget inside it; any
// window when null). Waiting input stays queued. False while a peek is already running.
bool InputWaiting(unsigned kinds, const QObject* window = nullptr);

// Every input waiting for `window` (any window when null), in the order it arrived, left in the
// queue. Empty while a peek is already running.
std::vector<TWaitingInput> WaitingInput(const QObject* window = nullptr);

// The first input waiting for `window` (any window when null), left in the queue.
std::optional<TWaitingInput> PeekInput(const QObject* window = nullptr);

// Delivers every waiting event, input included.
void ProcessMessages();

// Ends a mouse capture (a widget's grab of the mouse), if any.
void ReleaseCapture();

} // namespace kv
