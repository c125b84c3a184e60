#include "data/interpol.h"

#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/StringList.h"
#include "platform/system/Files.h"

#include <exception>
#include <utility>

namespace vx {

namespace {

// The line through two points; with equal x it is horizontal through `end`, so that an end of a
// table with a repeated x does not divide by zero.
TInterpolLine LineThrough(const TInterpolPoint& p0, const TInterpolPoint& p1,
                          const TInterpolPoint& end) {
    if (p1.x == p0.x)
        return {0, end.y};
    const double slope = (p1.y - p0.y) / (p1.x - p0.x);
    return {slope, p0.y - p0.x * slope};
}

std::vector<TInterpolPoint> ReadTable(const std::string& fileName, char decimalSeparator) {
    std::vector<TInterpolPoint> points;
    TStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (const std::exception&) {
        return points;
    }
    for (const std::string& line : lines.Items()) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        TInterpolPoint p;
        if (TryStrToFloat(std::string_view(line).substr(0, tab), p.x, decimalSeparator) &&
            TryStrToFloat(std::string_view(line).substr(tab + 1), p.y, decimalSeparator))
            points.push_back(p);
    }
    return points;
}

} // namespace

TInterpolVect::TInterpolVect(const std::string& fileName, char decimalSeparator)
    : TInterpolVect(fileName, ReadTable(fileName, decimalSeparator)) {}

TInterpolVect::TInterpolVect(const std::string& fileName, std::vector<TInterpolPoint> points)
    : fileName_(fileName), points_(std::move(points)) {
    SetEndLines();
}

void TInterpolVect::SetEndLines() {
    const size_t n = points_.size();
    if (n < 2)
        return;
    firstLine_ = LineThrough(points_[0], points_[1], points_[0]);
    lastLine_ = LineThrough(points_[n - 2], points_[n - 1], points_[n - 1]);
}

double TInterpolVect::Eval(double x) const {
    if (points_.size() < 2)
        return 0;
    // File order, not sorted: the segment ending at the first point above x.
    for (size_t i = 0; i < points_.size(); ++i) {
        if (x < points_[i].x)
            return i == 0 ? firstLine_.At(x)
                          : LineThrough(points_[i - 1], points_[i], points_[i]).At(x);
    }
    return lastLine_.At(x);
}

double TInterpolBuff::Lookup(const std::string& fileName, double x) {
    std::shared_ptr<const TInterpolVect> table;
    {
        std::lock_guard lock(mutex_);
        for (const auto& t : tables_) {
            if (t->FileName() == fileName) {
                table = t;
                break;
            }
        }
        if (!table) {
            // Names stored in documents may differ in case from the file on disk.
            const std::string path = FindExistingPath(fileName);
            if (path.empty() || DirectoryExists(path))
                return 0;
            // INTL runs on the TCP thread too, while the GUI thread may change the settings.
            const char separator = PublishedFormatSettings().DecimalSeparator;
            auto points = TInterpolVect(path, separator).Points();
            table = std::make_shared<const TInterpolVect>(fileName, std::move(points));
            tables_.push_back(table);
        }
    }
    return table->Eval(x);
}

int TInterpolBuff::Count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(tables_.size());
}

void TInterpolBuff::Clear() {
    std::lock_guard lock(mutex_);
    tables_.clear();
}

TInterpolBuff& InterpolBuff() {
    static TInterpolBuff buff;
    return buff;
}

} // namespace vx
