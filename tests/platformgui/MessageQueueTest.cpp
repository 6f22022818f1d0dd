#include "platform/gui/MessageQueue.h"
#include "GUITestApp.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace kv {
namespace {

// A widget that counts what reaches it.
class TCountingWidget : public QWidget {
public:
    using QWidget::QWidget;
    int Keys = 0;
    int Buttons = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++Keys; }
    void mousePressEvent(QMouseEvent*) override { ++Buttons; }
};

void PostKey(QWidget& widget, int key)
{
    QCoreApplication::postEvent(&widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, "a"));
}

TEST(MessageQueue, APeekedKeyPressStaysQueuedUntilEventsAreProcessed)
{
    test::GUITestApp();
    ProcessMessages();
    QWidget window;
    auto* editor = new TCountingWidget(&window);
    TCountingWidget other;
    EXPECT_FALSE(InputWaiting(ikKey | ikMouseButton | ikMouseMove));

    PostKey(*editor, Qt::Key_A);
    EXPECT_TRUE(InputWaiting(ikKey));
    EXPECT_EQ(editor->Keys, 0);
    EXPECT_TRUE(InputWaiting(ikKey, &window)); // a widget inside the window
    EXPECT_FALSE(InputWaiting(ikKey, &other));
    EXPECT_FALSE(InputWaiting(ikMouseButton | ikMouseMove | ikTimer));
    const std::optional<TWaitingInput> waiting = PeekInput(editor);
    ASSERT_TRUE(waiting.has_value());
    EXPECT_EQ(waiting->Kind, ikKey);
    EXPECT_EQ(waiting->Key, Qt::Key_A);
    EXPECT_EQ(editor->Keys, 0);

    ProcessMessages();
    EXPECT_EQ(editor->Keys, 1);
    EXPECT_FALSE(InputWaiting(ikKey));
    ProcessMessages();
    EXPECT_EQ(editor->Keys, 1);
}

TEST(MessageQueue, MouseButtonsAndMovesAreToldApart)
{
    test::GUITestApp();
    ProcessMessages();
    TCountingWidget widget;
    QCoreApplication::postEvent(&widget, new QMouseEvent(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1),
                                                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    EXPECT_FALSE(InputWaiting(ikMouseMove | ikKey));
    EXPECT_TRUE(InputWaiting(ikMouseButton, &widget));
    EXPECT_EQ(widget.Buttons, 0);
    ProcessMessages();
    EXPECT_EQ(widget.Buttons, 1);
}

// Everything waiting for a window, in order and only for that window: a key release ahead of a
// mouse press does not hide the press.
TEST(MessageQueue, WaitingInputListsAllOfAWindowsInputInOrder)
{
    test::GUITestApp();
    ProcessMessages();
    QWidget window;
    auto* inside = new TCountingWidget(&window);
    TCountingWidget other;
    QCoreApplication::postEvent(inside, new QKeyEvent(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier));
    QCoreApplication::postEvent(&other, new QKeyEvent(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier));
    QCoreApplication::postEvent(inside, new QMouseEvent(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    const std::vector<TWaitingInput> waiting = WaitingInput(&window);
    ASSERT_EQ(waiting.size(), 2u);
    EXPECT_EQ(waiting[0].Type, QEvent::KeyRelease);
    EXPECT_EQ(waiting[0].Key, Qt::Key_B);
    EXPECT_EQ(waiting[1].Type, QEvent::MouseButtonPress);
    EXPECT_EQ(WaitingInput().size(), 3u);
    EXPECT_EQ(WaitingInput(&window).size(), 2u) << "still queued";
    ProcessMessages();
    EXPECT_EQ(inside->Buttons, 1);
    EXPECT_EQ(other.Keys, 1);
    EXPECT_TRUE(WaitingInput().empty());
}

TEST(MessageQueue, TimerTicksWaitOnceAndAreDeliveredLater)
{
    test::GUITestApp();
    ProcessMessages();
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    QThread::msleep(30);
    EXPECT_TRUE(InputWaiting(ikTimer));
    QThread::msleep(30);
    EXPECT_TRUE(InputWaiting(ikTimer));
    EXPECT_FALSE(InputWaiting(ikKey));
    EXPECT_EQ(ticks, 0);
    // The held tick once (a dozen fell due), perhaps followed by the one due now.
    ProcessMessages();
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 2);
    timer.stop();
}

TEST(MessageQueue, ReleaseCaptureEndsAMouseGrab)
{
    test::GUITestApp();
    QWidget widget;
    widget.show();
    widget.grabMouse();
    EXPECT_EQ(QWidget::mouseGrabber(), &widget);
    ReleaseCapture();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    ReleaseCapture(); // nothing to release: no harm
}

} // namespace
} // namespace kv
