#pragma once
// The Lighting dialog's pickers. TDirectionPicker: a unit direction picked on a sphere drawn as
// its disk; the point under the mouse gives x and y (y up), and the hemisphere switch the sign of
// z. TPositionGraph: a square graph from -50 to 50 on both axes with one red marker; dragging with
// the left button moves the marker and reports the graph coordinates under the mouse.

#include "gl/Vector.h"

#include <QPointF>
#include <QWidget>

namespace kv {

class TDirectionPicker : public QWidget {
    Q_OBJECT

public:
    explicit TDirectionPicker(QWidget* parent = nullptr);

    // A unit vector; a zero vector shows as (0, 0, -1).
    Vector3D Direction() const { return Direction_; }
    // Stores the direction normalised, without signalling.
    void SetDirection(const Vector3D& direction);
    // The unit direction for a point of the widget: x and y from the disk, z on the side of the
    // current direction's z (towards -z when it is 0); a point outside the disk lies on its rim.
    Vector3D DirectionAt(const QPointF& point) const;
    QSize sizeHint() const override { return {96, 96}; }

signals:
    void DirectionPicked(const Vector3D& direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QRectF Disk() const;
    void Pick(const QPointF& point);

    Vector3D Direction_{0, 0, -1};
};

class TPositionGraph : public QWidget {
    Q_OBJECT

public:
    // `downwards`: the vertical axis runs from 50 at the bottom to -50 at the top.
    TPositionGraph(const QString& title, bool downwards, QWidget* parent = nullptr);

    QPointF Marker() const { return Marker_; }
    // Moves the marker, without signalling.
    void SetMarker(const QPointF& marker);
    // The graph coordinates of a widget point (not limited to the axes' range).
    QPointF GraphAt(const QPointF& point) const;
    QSize sizeHint() const override { return {140, 140}; }

signals:
    void MarkerDragged(double horizontal, double vertical);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QRectF Plot() const;
    QPointF PointOf(const QPointF& graph) const;
    void Drag(const QPointF& point);

    QString Title_;
    bool Downwards_ = false;
    QPointF Marker_;
};

} // namespace kv
