#pragma once

// What the painters share about the pixels of lines.

#include <QPoint>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vx {

// The device pixel of a logical pixel under a scaling transform: the one that holds its
// centre. Rounding its corner instead puts the last column or row of a picture shown smaller
// than half its size one past the picture's edge, where it is lost.
inline QPoint DevicePixel(const QTransform& t, const QPoint& p) {
    return QPoint(static_cast<int>(std::floor((p.x() + 0.5) * t.m11() + t.dx())),
                  static_cast<int>(std::floor((p.y() + 0.5) * t.m22() + t.dy())));
}

// Shrinks each run of points on one vertical (or horizontal) line to its first, its
// extremes and its last point, without repeating a point; returns the points kept.
// Round-capped segments along one line cover together what the segment between their
// extremes covers, and within one pixel column a solid hairline covers exactly the pixels
// from the lowest to the highest of its points there: either way the same pixels remain.
template <bool Vertical>
size_t KeepLineExtremes(QPoint* pts, size_t count) {
    auto along = [](const QPoint& q) { return Vertical ? q.x() : q.y(); };
    auto across = [](const QPoint& q) { return Vertical ? q.y() : q.x(); };
    size_t out = 0;
    size_t i = 0;
    while (i < count) {
        size_t j = i + 1;
        size_t lo = i, hi = i;
        while (j < count && along(pts[j]) == along(pts[i])) {
            if (across(pts[j]) < across(pts[lo]))
                lo = j;
            if (across(pts[j]) > across(pts[hi]))
                hi = j;
            ++j;
        }
        const QPoint first = pts[i], last = pts[j - 1];
        const QPoint a = pts[std::min(lo, hi)], b = pts[std::max(lo, hi)];
        pts[out++] = first;
        for (const QPoint& q : {a, b, last})
            if (pts[out - 1] != q)
                pts[out++] = q;
        i = j;
    }
    return out;
}

} // namespace vx
