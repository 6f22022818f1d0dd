#include "glview/GLLightControls.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr double GraphRange = 50;

} // namespace

// ---- TDirectionPicker ----

TDirectionPicker::TDirectionPicker(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(72, 72);
    setCursor(Qt::CrossCursor);
}

void TDirectionPicker::SetDirection(const Vector3D& direction)
{
    const double length = std::sqrt(DotProduct(direction, direction));
    Direction_ = length > 0 && std::isfinite(length) ? VectorScale(direction, 1 / length) : Vector3D{0, 0, -1};
    update();
}

QRectF TDirectionPicker::Disk() const
{
    const double side = std::min(width(), height()) - 8.0;
    return {(width() - side) / 2, (height() - side) / 2, side, side};
}

Vector3D TDirectionPicker::DirectionAt(const QPointF& point) const
{
    const QRectF disk = Disk();
    double x = (point.x() - disk.center().x()) / (disk.width() / 2);
    double y = -(point.y() - disk.center().y()) / (disk.height() / 2);
    const double r = std::hypot(x, y);
    if (r > 1) {
        x /= r;
        y /= r;
    }
    const double z = std::sqrt(std::max(0.0, 1 - x * x - y * y));
    return {x, y, Direction_.z > 0 ? z : -z};
}

void TDirectionPicker::Pick(const QPointF& point)
{
    Direction_ = DirectionAt(point);
    update();
    emit DirectionPicked(Direction_);
}

void TDirectionPicker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Pick(event->position());
}

void TDirectionPicker::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        Pick(event->position());
}

void TDirectionPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disk = Disk();
    QRadialGradient shade(disk.center(), disk.width() / 2);
    shade.setColorAt(0, QColor(235, 235, 235));
    shade.setColorAt(1, QColor(150, 150, 150));
    p.setBrush(shade);
    p.setPen(Qt::black);
    p.drawEllipse(disk);
    p.setPen(QColor(90, 90, 90));
    p.drawLine(QPointF(disk.left(), disk.center().y()), QPointF(disk.right(), disk.center().y()));
    p.drawLine(QPointF(disk.center().x(), disk.top()), QPointF(disk.center().x(), disk.bottom()));
    const QPointF tip(disk.center().x() + Direction_.x * disk.width() / 2,
                      disk.center().y() - Direction_.y * disk.height() / 2);
    // A filled marker on the near side, a hollow one on the far side.
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(disk.center(), tip);
    p.setBrush(Direction_.z > 0 ? QBrush(Qt::red) : QBrush(Qt::NoBrush));
    p.drawEllipse(tip, 4, 4);
}

// ---- TPositionGraph ----

TPositionGraph::TPositionGraph(const QString& title, bool downwards, QWidget* parent)
    : QWidget(parent), Title_(title), Downwards_(downwards)
{
    setMinimumSize(110, 110);
    setCursor(Qt::CrossCursor);
}

void TPositionGraph::SetMarker(const QPointF& marker)
{
    Marker_ = marker;
    update();
}

QRectF TPositionGraph::Plot() const
{
    const double top = fontMetrics().height() + 4;
    const double side = std::max(10.0, std::min(width() - 8.0, height() - top - 4));
    return {(width() - side) / 2, top, side, side};
}

QPointF TPositionGraph::GraphAt(const QPointF& point) const
{
    const QRectF plot = Plot();
    const double h = (point.x() - plot.left()) / plot.width() * 2 * GraphRange - GraphRange;
    const double fromTop = (point.y() - plot.top()) / plot.height() * 2 * GraphRange;
    return {h, Downwards_ ? fromTop - GraphRange : GraphRange - fromTop};
}

QPointF TPositionGraph::PointOf(const QPointF& graph) const
{
    const QRectF plot = Plot();
    const double x = plot.left() + (graph.x() + GraphRange) / (2 * GraphRange) * plot.width();
    const double fromTop = Downwards_ ? graph.y() + GraphRange : GraphRange - graph.y();
    return {x, plot.top() + fromTop / (2 * GraphRange) * plot.height()};
}

void TPositionGraph::Drag(const QPointF& point)
{
    Marker_ = GraphAt(point);
    update();
    emit MarkerDragged(Marker_.x(), Marker_.y());
}

void TPositionGraph::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Drag(event->position());
}

void TPositionGraph::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        Drag(event->position());
}

void TPositionGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF plot = Plot();
    p.drawText(QRectF(0, 0, width(), plot.top()), Qt::AlignCenter, Title_);
    p.fillRect(plot, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(plot);
    p.setPen(QColor(180, 180, 180));
    const QPointF origin = PointOf({0, 0});
    p.drawLine(QPointF(plot.left(), origin.y()), QPointF(plot.right(), origin.y()));
    p.drawLine(QPointF(origin.x(), plot.top()), QPointF(origin.x(), plot.bottom()));
    p.setClipRect(plot);
    p.setPen(Qt::red);
    p.setBrush(Qt::red);
    p.drawRect(QRectF(PointOf(Marker_) - QPointF(3, 3), QSizeF(6, 6)));
}

} // namespace kv
