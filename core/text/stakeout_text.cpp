#include "core/text/stakeout_text.h"

#include <cmath>

#include "core/calculator/number_text.h"
#include "core/text/check_text.h"

namespace tarnvel {
namespace {

// A fixed-point text without the zeros that say nothing: "7.500" → "7.5",
// "K1+260.000" → "K1+260".
void DropTrailingZeros(std::string& text, std::size_t from) {
    if (text.find('.', from) == std::string::npos) return;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
}

}  // namespace

std::string StakeoutName(const Station& label, double offset, const TextOptions& options) {
    std::string name = FormatStation(label.value, StationStyle::K, ColumnDecimals(ColumnKind::Station, options));
    DropTrailingZeros(name, 0);
    if (label.occurrence >= 1) name += "(" + std::to_string(label.occurrence) + ")";
    if (offset == 0) return name;
    name += offset < 0 ? "左" : "右";
    const std::size_t at = name.size();
    AppendFixedText(name, std::fabs(offset), ColumnDecimals(ColumnKind::Length, options));
    DropTrailingZeros(name, at);
    return name;
}

void AppendStakeoutRow(std::string& out, const StakeoutPoint& point, const TextOptions& options) {
    out += CsvCellText(StakeoutName(point.label, point.offset, options));
    out += ",,";
    AppendFixedText(out, point.at.east, ColumnDecimals(ColumnKind::Length, options));
    out += ',';
    AppendFixedText(out, point.at.north, ColumnDecimals(ColumnKind::Length, options));
    out += ',';
    if (point.elevation) AppendFixedText(out, *point.elevation, ColumnDecimals(ColumnKind::Elevation, options));
    out += options.lineEnd;
}

void ForEachStakeoutPoint(const PlanListingRow& row, std::span<const double> offsets,
                          std::optional<double> centreElevation,
                          const std::function<void(const StakeoutPoint&)>& sink) {
    StakeoutPoint point;
    point.label = row.label;
    for (double offset : offsets) {
        point.offset = offset;
        point.at = offset == 0 ? row.pose.at : OffsetPoint(row.pose, offset);
        point.elevation = offset == 0 ? centreElevation : std::nullopt;
        sink(point);
    }
}

std::optional<std::pair<double, double>> OffsetsNamedAlike(std::span<const double> offsets,
                                                           const TextOptions& options) {
    for (std::size_t i = 0; i < offsets.size(); ++i)
        for (std::size_t j = i + 1; j < offsets.size(); ++j)
            if (offsets[i] != offsets[j] &&
                StakeoutName({}, offsets[i], options) == StakeoutName({}, offsets[j], options))
                return std::pair{offsets[i], offsets[j]};
    return std::nullopt;
}

}  // namespace tarnvel
