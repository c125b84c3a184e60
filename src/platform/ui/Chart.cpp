#include "platform/ui/Chart.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx {

namespace {

QColor ToQColor(TColor c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

constexpr int kMargin = 8;

} // namespace

TChartSeries::TChartSeries(QObject* parent, const QString& name) : QObject(parent) {
    setObjectName(name);
}

void TChartSeries::SetTitle(const QString& title) {
    title_ = title;
    emit Changed();
}

void TChartSeries::SetColor(TColor color) {
    color_ = color;
    emit Changed();
}

void TChartSeries::Clear() {
    points_.clear();
    emit Changed();
}

void TChartSeries::AddXY(double x, double y) {
    points_.push_back({x, y});
    emit Changed();
}

TChartAxis::TChartAxis(QObject* parent, const QString& name) : QObject(parent) {
    setObjectName(name);
}

void TChartAxis::SetAutomatic(bool automatic) {
    automatic_ = automatic;
    emit Changed();
}

void TChartAxis::SetMinimum(double minimum) {
    minimum_ = minimum;
    emit Changed();
}

void TChartAxis::SetMaximum(double maximum) {
    maximum_ = maximum;
    emit Changed();
}

void TChartAxis::SetTitle(const QString& title) {
    title_ = title;
    emit Changed();
}

std::vector<double> ChartTicks(double min, double max) {
    std::vector<double> ticks;
    if (!std::isfinite(min) || !std::isfinite(max) || !(max > min))
        return {min};
    const double raw = (max - min) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) {
            step = m * power;
            break;
        }
    const double first = std::ceil(min / step - 1e-9) * step;
    for (int i = 0; i <= 20; ++i) {
        const double t = first + i * step;
        if (t > max + step * 1e-9)
            break;
        // -0 and sums like 0.30000000000000004 print as the tick they stand for.
        ticks.push_back(std::abs(t) < step * 1e-9 ? 0.0 : t);
    }
    return ticks;
}

TChart::TChart(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    Series1 = new TChartSeries(this, "Series1");
    Series2 = new TChartSeries(this, "Series2");
    BottomAxis = new TChartAxis(this, "BottomAxis");
    LeftAxis = new TChartAxis(this, "LeftAxis");
    for (TChartSeries* s : {Series1, Series2})
        connect(s, &TChartSeries::Changed, this, qOverload<>(&QWidget::update));
    for (TChartAxis* a : {BottomAxis, LeftAxis})
        connect(a, &TChartAxis::Changed, this, qOverload<>(&QWidget::update));
}

void TChart::AxisRange(const TChartAxis* axis, double& min, double& max) const {
    if (!axis->Automatic()) {
        min = axis->Minimum();
        max = axis->Maximum();
        return;
    }
    min = std::numeric_limits<double>::infinity();
    max = -min;
    const bool x = axis == BottomAxis;
    for (const TChartSeries* s : {Series1, Series2})
        for (const TChartSeries::Point& p : s->AllPoints()) {
            const double v = x ? p.X : p.Y;
            min = std::min(min, v);
            max = std::max(max, v);
        }
    if (min > max)
        min = max = 0;
}

QRect TChart::PlotRect() const {
    const QFontMetrics fm(font());
    const int left = kMargin + fm.height() + fm.horizontalAdvance("-0.00000") + 6;
    const int top = kMargin + fm.height() + 6;
    const int bottom = height() - kMargin - 2 * fm.height() - 8;
    const int right = width() - kMargin - fm.horizontalAdvance("0000") / 2;
    return QRect(QPoint(left, top), QPoint(std::max(left + 1, right), std::max(top + 1, bottom)));
}

void TChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics fm(font());
    const QRect plot = PlotRect();
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    AxisRange(BottomAxis, xmin, xmax);
    AxisRange(LeftAxis, ymin, ymax);
    // A range of no width is drawn as one unit wide around its value.
    const double xspan = xmax > xmin ? xmax - xmin : 1;
    const double yspan = ymax > ymin ? ymax - ymin : 1;
    const double x0 = xmax > xmin ? xmin : xmin - 0.5;
    const double y0 = ymax > ymin ? ymin : ymin - 0.5;
    auto px = [&](double x) { return plot.left() + (x - x0) / xspan * plot.width(); };
    auto py = [&](double y) { return plot.bottom() - (y - y0) / yspan * plot.height(); };

    painter.setPen(Qt::black);
    painter.drawRect(plot);
    for (double t : ChartTicks(xmin, xmax)) {
        const double x = px(t);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
        const QString text = QString::number(t, 'g', 6);
        painter.drawText(
            QPointF(x - fm.horizontalAdvance(text) / 2.0, plot.bottom() + 5 + fm.ascent()), text);
    }
    for (double t : ChartTicks(ymin, ymax)) {
        const double y = py(t);
        painter.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        const QString text = QString::number(t, 'g', 6);
        painter.drawText(
            QPointF(plot.left() - 6 - fm.horizontalAdvance(text), y + fm.ascent() / 2.0), text);
    }
    painter.drawText(
        QRect(plot.left(), height() - kMargin - fm.height(), plot.width(), fm.height()),
        Qt::AlignHCenter, BottomAxis->Title());
    painter.save();
    painter.translate(kMargin, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-plot.height() / 2, 0, plot.height(), fm.height()), Qt::AlignHCenter,
                     LeftAxis->Title());
    painter.restore();

    painter.save();
    painter.setClipRect(plot.adjusted(1, 1, 0, 0));
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const TChartSeries* s : {Series1, Series2}) {
        const auto& points = s->AllPoints();
        if (points.empty())
            continue;
        painter.setPen(QPen(ToQColor(s->Color()), 2));
        QPainterPath path(QPointF(px(points.front().X), py(points.front().Y)));
        for (size_t i = 1; i < points.size(); ++i)
            path.lineTo(px(points[i].X), py(points[i].Y));
        if (points.size() == 1)
            path.lineTo(path.currentPosition() + QPointF(1, 0));
        painter.drawPath(path);
    }
    painter.restore();

    // The legend, top right above the plot.
    int x = plot.right();
    for (const TChartSeries* s : {Series2, Series1}) {
        const QString title = s->Title();
        x -= fm.horizontalAdvance(title);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, kMargin + fm.ascent()), title);
        x -= 22;
        painter.setPen(QPen(ToQColor(s->Color()), 2));
        painter.drawLine(QPointF(x, kMargin + fm.height() / 2.0),
                         QPointF(x + 16, kMargin + fm.height() / 2.0));
        x -= 12;
    }
}

} // namespace vx
