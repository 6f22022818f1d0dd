#pragma once
// The application event filter behind the message-queue queries (see MessageQueue.h).

#include "platform/gui/MessageQueue.h"

#include <QObject>

#include <memory>
#include <vector>

namespace kv {

class TInputPeeker : public QObject {
public:
    // The one peeker of the running application, installed on first use.
    static TInputPeeker& Instance();

    // Runs the queue once, holding input back, and posts the held events again. Returns what was
    // held, in queue order.
    std::vector<TWaitingInput> Peek();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct THeld {
        QPointer<QObject> Receiver;
        std::unique_ptr<QEvent> Event;
        TWaitingInput Input;
        bool Reported; // wheel, touch and the like are held but not asked about
    };

    bool peeking_ = false;
    std::vector<THeld> held_;
};

// The widget an event for `receiver` reaches: the receiver itself, or for an event sent to a
// top-level window, its focus widget (keys) or the widget under the pointer (mouse).
QObject* InputTarget(QObject* receiver, const QEvent& event);

} // namespace kv
