#pragma once

#include "platform/graphics/Colors.h"
#include "platform/ui/Controls.h"

#include <QWidget>

#include <vector>

namespace vx {

// One line of a chart: points joined in the order added, drawn in Color.
class TChartSeries : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)

public:
    TChartSeries(QObject* parent, const QString& name);

    struct Point {
        double X = 0;
        double Y = 0;
    };

    QString Title() const { return title_; }
    void SetTitle(const QString& title);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    void Clear();
    void AddXY(double x, double y);
    int Count() const { return static_cast<int>(points_.size()); }
    const Point& Points(int i) const { return points_.at(static_cast<size_t>(i)); }
    const std::vector<Point>& AllPoints() const { return points_; }

signals:
    void Changed();

private:
    QString title_;
    TColor color_ = clBlack;
    std::vector<Point> points_;
};

// One axis. Automatic spans the points of every series; otherwise Minimum..Maximum.
class TChartAxis : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)

public:
    TChartAxis(QObject* parent, const QString& name);

    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool automatic);
    double Minimum() const { return minimum_; }
    void SetMinimum(double minimum);
    double Maximum() const { return maximum_; }
    void SetMaximum(double maximum);
    QString Title() const { return title_; }
    void SetTitle(const QString& title);

signals:
    void Changed();

private:
    bool automatic_ = true;
    double minimum_ = 0;
    double maximum_ = 0;
    QString title_;
};

// A plot of two line series over a bottom and a left axis: frame, ticks with their numbers,
// axis titles and a legend of the series' titles.
class TChart : public QWidget {
    Q_OBJECT

public:
    explicit TChart(QWidget* parent = nullptr, const QString& name = {});

    TChartSeries* Series1;
    TChartSeries* Series2;
    TChartAxis* BottomAxis;
    TChartAxis* LeftAxis;

    // The range an axis shows now: its limits, or the span of the points when automatic.
    void AxisRange(const TChartAxis* axis, double& min, double& max) const;
    // The plotting area inside the frame, in client pixels.
    QRect PlotRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// About five steps of 1, 2 or 5 times a power of ten over the range; the first tick at or
// above min.
std::vector<double> ChartTicks(double min, double max);

} // namespace vx
