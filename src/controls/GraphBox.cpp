#include "controls/GraphBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Room for the tick labels left of and below the plot area.
constexpr int LeftMargin = 44;
constexpr int BottomMargin = 22;
constexpr int OuterMargin = 10;

QString TickText(double value, double step)
{
    // As many decimals as the step needs, and no "-0".
    const int decimals = std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
    if (std::abs(value) < step * 1e-6)
        value = 0.0;
    return QString::number(value, 'f', decimals);
}

} // namespace

TAxisRange RoundedAxisRange(double lowest, double highest, int maxSteps)
{
    if (!std::isfinite(lowest) || !std::isfinite(highest))
        return {};
    if (lowest > highest)
        std::swap(lowest, highest);
    maxSteps = std::max(maxSteps, 1);
    const double span = highest - lowest;
    const double rough = (span > 0.0 ? span : std::max(std::abs(lowest), 1.0)) / maxSteps;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough)
            break;
    }
    TAxisRange range{std::floor(lowest / step) * step, std::ceil(highest / step) * step, step};
    if (range.Max <= range.Min) {
        range.Min -= step;
        range.Max += step;
    }
    return range;
}

TGraphBox::TGraphBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setMouseTracking(true);
    setMinimumSize(200, 120);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Qt::white);
    colors.setColor(QPalette::WindowText, Qt::black);
    setPalette(colors);
}

void TGraphBox::Clear()
{
    Series_.clear();
    update();
}

void TGraphBox::SetXAxis(double min, double max, int gridLines)
{
    XMin_ = min;
    XMax_ = max > min ? max : min + 1.0;
    XGridLines_ = std::max(gridLines, 1);
    update();
}

void TGraphBox::FitYAxis(double lowest, double highest)
{
    YAxis_ = RoundedAxisRange(lowest, highest, 5);
    update();
}

void TGraphBox::AddSeries(TGraphSeries series)
{
    Series_.push_back(std::move(series));
    update();
}

QRect TGraphBox::PlotArea() const
{
    const QRect inside = contentsRect();
    return inside.adjusted(LeftMargin, OuterMargin, -OuterMargin, -BottomMargin);
}

QPointF TGraphBox::ToGraph(QPointF pixel) const
{
    const QRect area = PlotArea();
    const double fx = (pixel.x() - area.left()) / std::max(area.width() - 1, 1);
    const double fy = (area.bottom() - pixel.y()) / std::max(area.height() - 1, 1);
    return {XMin_ + fx * (XMax_ - XMin_), YAxis_.Min + fy * (YAxis_.Max - YAxis_.Min)};
}

QPointF TGraphBox::ToPixel(QPointF point) const
{
    const QRect area = PlotArea();
    const double fx = (point.x() - XMin_) / (XMax_ - XMin_);
    const double fy = (point.y() - YAxis_.Min) / (YAxis_.Max - YAxis_.Min);
    return {area.left() + fx * (area.width() - 1), area.bottom() - fy * (area.height() - 1)};
}

void TGraphBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = PlotArea();
    if (area.width() < 2 || area.height() < 2)
        return;
    DrawAxes(painter, area);
    painter.setClipRect(area);
    for (const TGraphSeries& series : Series_) {
        if (series.Points.empty())
            continue;
        QPainterPath path(ToPixel(series.Points.front()));
        for (size_t i = 1; i < series.Points.size(); ++i)
            path.lineTo(ToPixel(series.Points[i]));
        painter.setPen(QPen(series.Color, series.LineWidth));
        painter.drawPath(path);
    }
}

void TGraphBox::DrawAxes(QPainter& painter, const QRect& area) const
{
    const QPen gridPen(QColor(200, 200, 200), 1, Qt::DotLine);
    const QPen axisPen(Qt::black, 1);
    const QFontMetrics metrics = painter.fontMetrics();

    const double xStep = (XMax_ - XMin_) / XGridLines_;
    for (int i = 0; i <= XGridLines_; ++i) {
        const double x = XMin_ + i * xStep;
        const int px = int(std::lround(ToPixel({x, YAxis_.Min}).x()));
        painter.setPen(gridPen);
        painter.drawLine(px, area.top(), px, area.bottom());
        painter.setPen(axisPen);
        const QString text = TickText(x, std::abs(xStep) < 1.0 ? xStep : 1.0);
        painter.drawText(QRect(px - 40, area.bottom() + 3, 80, BottomMargin - 3), Qt::AlignHCenter | Qt::AlignTop,
                         text);
    }
    const int ySteps = int(std::lround((YAxis_.Max - YAxis_.Min) / YAxis_.Step));
    for (int i = 0; i <= ySteps; ++i) {
        const double y = YAxis_.Min + i * YAxis_.Step;
        const int py = int(std::lround(ToPixel({XMin_, y}).y()));
        painter.setPen(gridPen);
        painter.drawLine(area.left(), py, area.right(), py);
        painter.setPen(axisPen);
        painter.drawText(QRect(contentsRect().left(), py - metrics.height() / 2, LeftMargin - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, TickText(y, YAxis_.Step));
    }
    painter.setPen(axisPen);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.bottomLeft(), area.topLeft());
}

void TGraphBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF point = ToGraph(event->position());
    emit GraphMouseMove(point.x(), point.y());
    QFrame::mouseMoveEvent(event);
}

} // namespace kv
