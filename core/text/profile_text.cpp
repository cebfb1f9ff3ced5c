#include "core/text/profile_text.h"

#include <algorithm>
#include <span>
#include <vector>

#include "core/calculator/number_text.h"
#include "core/text/text_width.h"

namespace tarnvel {
namespace {

// The cells of a row, `separator` between them.
template <typename Row>
void AppendRow(std::string& out, std::span<const OutputColumn<Row>> columns, const Row& row,
               const CellContext& context, char separator) {
    bool first = true;
    for (const OutputColumn<Row>& column : columns) {
        if (!first) out += separator;
        first = false;
        column.append(out, row, context);
    }
}

template <typename Row>
std::string HeaderLine(std::span<const OutputColumn<Row>> columns, bool english, char separator,
                       std::string_view lineEnd) {
    std::string out;
    for (const OutputColumn<Row>& column : columns) {
        if (!out.empty()) out += separator;
        out += english ? column.key : column.chinese;
    }
    out += lineEnd;
    return out;
}

// The CSV has the columns with an English key.
std::vector<ElementsColumn> CsvElementsColumns() {
    std::vector<ElementsColumn> columns;
    for (const ElementsColumn& column : ElementsColumns())
        if (!column.key.empty()) columns.push_back(column);
    return columns;
}

}  // namespace

std::string StationText(const Station& label, const TextOptions& options) {
    return FormatStation(label, options.stations, ColumnDecimals(ColumnKind::Station, options));
}

std::string ElevationText(double elevation, const TextOptions& options) {
    return FixedText(elevation, ColumnDecimals(ColumnKind::Elevation, options));
}

std::string ElementsCsv(const Profile& profile, const TextOptions& options) {
    const std::vector<ElementsColumn> columns = CsvElementsColumns();
    std::string out = HeaderLine<CurveElementsRow>(columns, true, ',', options.lineEnd);
    // No cell can hold a comma, a quote or a line break (numbers, station
    // labels, fixed words), so none needs quoting.
    const CellContext context{profile, options, true};
    for (const CurveElementsRow& e : profile.Elements()) {
        AppendRow<CurveElementsRow>(out, columns, e, context, ',');
        out += options.lineEnd;
    }
    return out;
}

std::vector<std::vector<std::string>> ElementsTableCells(const Profile& profile, const TextOptions& options) {
    const auto columns = ElementsColumns();
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header;
    for (const ElementsColumn& column : columns) header.emplace_back(column.chinese);
    rows.push_back(std::move(header));
    const CellContext context{profile, options, false};
    for (const CurveElementsRow& e : profile.Elements()) {
        std::vector<std::string> cells;
        cells.reserve(columns.size());
        for (const ElementsColumn& column : columns) cells.push_back(CellText(column, e, context));
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::string ElementsTableText(const Profile& profile, const TextOptions& options) {
    const std::vector<std::vector<std::string>> rows = ElementsTableCells(profile, options);
    const std::string_view unit = LengthUnitName(profile.Model().unit);
    std::string out = "竖曲线要素表";
    out += options.lineEnd;
    if (!profile.Model().name.empty()) {
        out += "纵断面：";
        out += profile.Model().name;
        out += options.lineEnd;
    }
    out += "单位：桩号、高程、长度为";
    out += unit;
    out += "，纵坡为%";
    out += options.lineEnd;
    AppendAlignedTable(out, rows, options.lineEnd);
    if (profile.Elements().empty()) {
        out += "（没有变坡点）";
        out += options.lineEnd;
    }
    return out;
}

std::string ListingTextHeader(const TextOptions& options) {
    return HeaderLine(ListingColumns(options.ground), false, '\t', options.lineEnd);
}

void AppendListingText(std::string& out, const Profile& profile, const ProfileListingRow& row,
                       const TextOptions& options) {
    AppendRow(out, ListingColumns(options.ground), row, CellContext{profile, options, false}, '\t');
    // Empty cells at the end (a plain station has no note) leave no tabs behind.
    while (!out.empty() && out.back() == '\t') out.pop_back();
    out += options.lineEnd;
}

std::string ListingCsvHeader(const TextOptions& options, bool chineseHeaders) {
    return HeaderLine(ListingColumns(options.ground), !chineseHeaders, ',', options.lineEnd);
}

void AppendListingCsv(std::string& out, const Profile& profile, const ProfileListingRow& row,
                      const TextOptions& options) {
    AppendRow(out, ListingColumns(options.ground), row, CellContext{profile, options, false}, ',');
    out += options.lineEnd;
}

}  // namespace tarnvel
