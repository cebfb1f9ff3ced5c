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

// Texts that are written in blocks are handed on at about this size.
constexpr std::size_t kBlockBytes = 1 << 16;

void AppendBlock(std::string& all, std::string& block) {
    all += block;
    block.clear();
}

}  // namespace

std::string StationText(const Station& label, const TextOptions& options) {
    return FormatStation(label, options.stations, ColumnDecimals(ColumnKind::Station, options));
}

std::string ElevationText(double elevation, const TextOptions& options) {
    return FixedText(elevation, ColumnDecimals(ColumnKind::Elevation, options));
}

void WriteElementsCsv(const Profile& profile, const TextOptions& options, const BlockSink& spill) {
    const std::vector<ElementsColumn> columns = CsvElementsColumns();
    std::string out = HeaderLine<CurveElementsRow>(columns, true, ',', options.lineEnd);
    // No cell can hold a comma, a quote or a line break (numbers, station
    // labels, fixed words), so none needs quoting.
    const CellContext context{profile, options, true};
    profile.ForEachElement([&](const CurveElementsRow& e) {
        AppendRow<CurveElementsRow>(out, columns, e, context, ',');
        out += options.lineEnd;
        if (out.size() >= kBlockBytes) spill(out);
    });
    spill(out);
}

std::string ElementsCsv(const Profile& profile, const TextOptions& options) {
    std::string all;
    WriteElementsCsv(profile, options, [&](std::string& block) { AppendBlock(all, block); });
    return all;
}

std::vector<std::vector<std::string>> ElementsTableCells(const Profile& profile, const TextOptions& options) {
    const auto columns = ElementsColumns();
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header;
    for (const ElementsColumn& column : columns) header.emplace_back(column.chinese);
    rows.push_back(std::move(header));
    const CellContext context{profile, options, false};
    profile.ForEachElement([&](const CurveElementsRow& e) {
        std::vector<std::string> cells;
        cells.reserve(columns.size());
        for (const ElementsColumn& column : columns) cells.push_back(CellText(column, e, context));
        rows.push_back(std::move(cells));
    });
    return rows;
}

void WriteElementsTableText(const Profile& profile, const TextOptions& options, const BlockSink& spill) {
    // Two passes over the rows, so that no row is kept: the first measures
    // every column (as AppendAlignedTable does), the second writes. A cell is
    // made into one reused buffer each time, never a string of its own.
    const auto columns = ElementsColumns();
    const CellContext context{profile, options, false};
    std::vector<std::size_t> widths(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) widths[i] = DisplayWidth(columns[i].chinese);
    std::string cell;
    profile.ForEachElement([&](const CurveElementsRow& e) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            cell.clear();
            columns[i].append(cell, e, context);
            widths[i] = std::max(widths[i], DisplayWidth(cell));
        }
    });

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
    // Cells right-aligned, two blanks between them, no blanks at a line's end.
    const auto endLine = [&](std::size_t lineStart) {
        const std::size_t kept = out.find_last_not_of(' ');
        out.erase(kept == std::string::npos || kept < lineStart ? lineStart : kept + 1);
        out += options.lineEnd;
    };
    std::size_t lineStart = out.size();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) out += "  ";
        AppendPadded(out, columns[i].chinese, widths[i], true);
    }
    endLine(lineStart);
    profile.ForEachElement([&](const CurveElementsRow& e) {
        lineStart = out.size();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) out += "  ";
            cell.clear();
            columns[i].append(cell, e, context);
            AppendPadded(out, cell, widths[i], true);
        }
        endLine(lineStart);
        if (out.size() >= kBlockBytes) spill(out);
    });
    if (profile.ElementCount() == 0) {
        out += "（没有变坡点）";
        out += options.lineEnd;
    }
    spill(out);
}

std::string ElementsTableText(const Profile& profile, const TextOptions& options) {
    std::string all;
    WriteElementsTableText(profile, options, [&](std::string& block) { AppendBlock(all, block); });
    return all;
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
