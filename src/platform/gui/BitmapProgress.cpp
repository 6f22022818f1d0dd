#include "platform/gui/BitmapProgress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

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
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
