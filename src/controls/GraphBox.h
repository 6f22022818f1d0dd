#pragma once
// TGraphBox: a line chart on a white, lowered panel: axes with numbered ticks, grid lines, any
// number of series as polylines, and the graph coordinates under the mouse (GraphMouseMove).
// The owner sets the axes' ranges and the series; the box only draws and maps coordinates.

#include <QColor>
#include <QFrame>
#include <QPointF>

#include <vector>

namespace kv {

// An axis range widened outwards to round numbers for ticks: its bounds are multiples of Step,
// which is 1, 2 or 5 times a power of ten. A range without extent is widened by one step each way.
struct TAxisRange {
    double Min = 0.0;
    double Max = 1.0;
    double Step = 1.0;
};
TAxisRange RoundedAxisRange(double lowest, double highest, int maxSteps);

struct TGraphSeries {
    std::vector<QPointF> Points;
    QColor Color = Qt::red;
    int LineWidth = 1;
};

class TGraphBox : public QFrame {
    Q_OBJECT

public:
    explicit TGraphBox(QWidget* parent);

    // Removes every series.
    void Clear();
    // The x axis from min to max with that many grid lines between its ends.
    void SetXAxis(double min, double max, int gridLines);
    // The y axis fitted to the values from lowest to highest (rounded outwards to tick steps).
    void FitYAxis(double lowest, double highest);
    void AddSeries(TGraphSeries series);

    const std::vector<TGraphSeries>& Series() const { return Series_; }
    double XMin() const { return XMin_; }
    double XMax() const { return XMax_; }
    const TAxisRange& YAxis() const { return YAxis_; }

    // The rectangle inside the axes, in widget pixels.
    QRect PlotArea() const;
    // Graph coordinates of a widget pixel and back.
    QPointF ToGraph(QPointF pixel) const;
    QPointF ToPixel(QPointF point) const;

signals:
    // Graph coordinates of the mouse over the box.
    void GraphMouseMove(double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void DrawAxes(class QPainter& painter, const QRect& area) const;

    std::vector<TGraphSeries> Series_;
    double XMin_ = 0.0;
    double XMax_ = 1.0;
    int XGridLines_ = 5;
    TAxisRange YAxis_;
};

} // namespace kv
