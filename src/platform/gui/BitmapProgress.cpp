#include "platform/gui/BitmapProgress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace kv {

TBitmapProgress::TBitmapProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("BitmapProgress"));
    setWindowTitle(QStringLiteral("Loading Bitmap"));
    Bar_ = new QProgressBar(this);
    Bar_->setObjectName(QStringLiteral("ProgressBar"));
    Bar_->setRange(0, 100);
    Bar_->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Bar_);
    setFixedSize(171, 35);
}

void TBitmapProgress::Open()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    // The decoder blocks the event loop next, so the window must be on screen before it starts:
    // the window system exposes a new window a round trip later, which one pass of the queue may
    // not see. A short bound keeps a slow window system from delaying the load.
    QElapsedTimer waited;
    waited.start();
    do
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 250);
}

void TBitmapProgress::Report(int stage, int percent)
{
    if (stage == bsStarting)
        Bar_->setValue(0);
    else if (stage == bsRunning)
        Bar_->setValue(std::clamp(percent, 0, 100));
    if (isVisible())
        Bar_->repaint();
}

int TBitmapProgress::Position() const
{
    return Bar_->value();
}

} // namespace kv
