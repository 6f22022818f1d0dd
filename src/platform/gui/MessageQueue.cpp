#include "platform/gui/MessageQueue.h"

#include "GUIApplication.h"
#include "InputPeeker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>

namespace kv {

namespace {

std::optional<TInputKind> KindOf(QObject* receiver, const QEvent& event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return ikKey;
    case QEvent::MouseMove:
        return ikMouseMove;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return ikMouseButton;
    case QEvent::Timer:
        if (qobject_cast<QTimer*>(receiver) != nullptr)
            return ikTimer;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool Reaches(const TWaitingInput& input, const QObject* window)
{
    if (window == nullptr)
        return true;
    for (QObject* object = input.Target.data(); object != nullptr; object = object->parent())
        if (object == window)
            return true;
    return false;
}

} // namespace

QObject* InputTarget(QObject* receiver, const QEvent& event)
{
    auto* window = qobject_cast<QWindow*>(receiver);
    if (window == nullptr)
        return receiver;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() != window)
            continue;
        if (event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease) {
            QWidget* focus = QApplication::focusWidget();
            return focus != nullptr && focus->window() == widget ? focus : widget;
        }
        if (const auto* mouse = dynamic_cast<const QMouseEvent*>(&event))
            if (QWidget* child = widget->childAt(mouse->position().toPoint()))
                return child;
        return widget;
    }
    return receiver;
}

TInputPeeker& TInputPeeker::Instance()
{
    static QPointer<TInputPeeker> peeker;
    if (!peeker) {
        peeker = new TInputPeeker;
        peeker->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(peeker);
    }
    return *peeker;
}

bool TInputPeeker::eventFilter(QObject* watched, QEvent* event)
{
    if (!peeking_ || watched == this)
        return false;
    const std::optional<TInputKind> kind = KindOf(watched, *event);
    if (!kind && !event->isInputEvent())
        return false;
    // Held back. Repeated ticks of one timer count once; anything else waits in its order.
    if (event->type() == QEvent::Timer) {
        const int id = static_cast<QTimerEvent*>(event)->timerId();
        for (const THeld& held : held_)
            if (held.Receiver == watched && held.Event->type() == QEvent::Timer &&
                static_cast<QTimerEvent*>(held.Event.get())->timerId() == id)
                return true;
    }
    TWaitingInput input{kind.value_or(ikKey), event->type(), 0, InputTarget(watched, *event)};
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        input.Key = static_cast<QKeyEvent*>(event)->key();
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone()), input, kind.has_value()});
    return true;
}

std::vector<TWaitingInput> TInputPeeker::Peek()
{
    std::vector<TWaitingInput> waiting;
    if (peeking_)
        return waiting;
    peeking_ = true;
    held_.clear();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    peeking_ = false;
    std::vector<THeld> held = std::move(held_);
    held_.clear();
    for (THeld& item : held) {
        if (!item.Receiver)
            continue;
        if (item.Reported)
            waiting.push_back(item.Input);
        QCoreApplication::postEvent(item.Receiver.data(), item.Event.release());
    }
    return waiting;
}

bool InputWaiting(unsigned kinds, const QObject* window)
{
    RequireGUIApplication("Looking at waiting input");
    for (const TWaitingInput& input : TInputPeeker::Instance().Peek())
        if ((input.Kind & kinds) != 0 && Reaches(input, window))
            return true;
    return false;
}

std::vector<TWaitingInput> WaitingInput(const QObject* window)
{
    RequireGUIApplication("Looking at waiting input");
    std::vector<TWaitingInput> waiting = TInputPeeker::Instance().Peek();
    std::erase_if(waiting, [window](const TWaitingInput& input) { return !Reaches(input, window); });
    return waiting;
}

std::optional<TWaitingInput> PeekInput(const QObject* window)
{
    RequireGUIApplication("Looking at waiting input");
    for (const TWaitingInput& input : TInputPeeker::Instance().Peek())
        if (Reaches(input, window))
            return input;
    return std::nullopt;
}

void ProcessMessages()
{
    RequireGUIApplication("Processing waiting events");
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ReleaseCapture()
{
    RequireGUIApplication("Releasing the mouse");
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

} // namespace kv
