// The 竖曲线要素表 on pages of their own after the drawing sheets.
#include "core/drawing/sheet_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/calculator/number_text.h"
#include "core/drawing/label_layout.h"
#include "core/drawing/profile_drawing.h"
#include "core/profile/profile_listing.h"
#include "core/text/messages.h"
#include "core/text/output_vocabulary.h"
#include "core/text/profile_text.h"

namespace tarnvel::sheet_detail {

std::size_t SheetBuilder::PlanTable() {
    // A table on the sheet writes stations as every table does: K notation
    // with three decimals (the drawing's labels drop the zeros they do not need).
    TextOptions options;
    options.stations = StationStyle::K;
    table_ = ElementsTableCells(profile_, options);
    const std::size_t columns = table_.front().size();
    // Each column as wide as its widest text; the text as large as lets the
    // whole table fit across the page, at most the band's size.
    std::vector<double> natural(columns, 0);
    for (const auto& row : table_)
        for (std::size_t i = 0; i < columns; ++i) natural[i] = std::max(natural[i], PageTextWidth(row[i], 1) * kWidthMargin);
    double sum = 0;
    for (const double w : natural) sum += w;
    const double pad = 1.6, width = frameR_ - frameL_ - 8;
    tableText_ = std::min(2.5, (width - pad * static_cast<double>(columns)) / std::max(sum, 1e-9));
    tableWidths_.clear();
    double used = 0;
    for (const double w : natural) used += w * tableText_ + pad;
    for (const double w : natural)  // what is left is shared out, so the table spans the page
        tableWidths_.push_back(w * tableText_ + pad + (width - used) / static_cast<double>(columns));
    tableLeft_ = frameL_ + 4;
    tableRow_ = tableText_ * 2.2;
    tableTop_ = frameT_ + 16;
    const double room = titleTop_ - 4 - tableTop_ - tableRow_;  // below the header
    tableRows_ = static_cast<std::size_t>(std::max(1.0, std::floor(room / tableRow_)));
    const std::size_t rows = table_.size() - 1;
    tablePages_ = std::max<std::size_t>(1, (rows + tableRows_ - 1) / tableRows_);
    return tablePages_;
}

void SheetBuilder::BuildTable(std::size_t index, Page& page) {
    StartPage(page);
    DrawTitle(page, sheets_ + index, "竖曲线要素表");
    const double middle = (frameL_ + frameR_) / 2;
    page.texts.push_back(Text({middle, frameT_ + 8}, "竖曲线要素表", 5, TextHAlign::Centre, TextVAlign::Bottom));
    std::string note = "单位：桩号、高程、长度为" + std::string(LengthUnitName(profile_.Model().unit)) + "，纵坡为%";
    if (!profile_.Model().name.empty()) note = "纵断面：" + profile_.Model().name + "    " + note;
    page.texts.push_back(Text({tableLeft_, tableTop_ - 1.5}, note, 2.5, TextHAlign::Left, TextVAlign::Bottom));

    // The header on every page, then this page's rows.
    const std::size_t first = 1 + index * tableRows_;
    const std::size_t last = std::min(table_.size(), first + tableRows_);
    std::vector<const std::vector<std::string>*> rows = {&table_.front()};
    for (std::size_t r = first; r < last; ++r) rows.push_back(&table_[r]);
    double right = tableLeft_;
    for (const double w : tableWidths_) right += w;
    const double bottom = tableTop_ + static_cast<double>(rows.size()) * tableRow_;
    for (std::size_t r = 0; r <= rows.size(); ++r) {
        const double y = tableTop_ + static_cast<double>(r) * tableRow_;
        AddLine(page, r == 0 || r == 1 || r == rows.size() ? PageRole::Frame : PageRole::Band, {{tableLeft_, y}, {right, y}});
    }
    double x = tableLeft_;
    for (std::size_t c = 0; c <= tableWidths_.size(); ++c) {
        AddLine(page, c == 0 || c == tableWidths_.size() ? PageRole::Frame : PageRole::Band, {{x, tableTop_}, {x, bottom}});
        if (c == tableWidths_.size()) break;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::string& cell = (*rows[r])[c];
            if (cell.empty()) continue;
            const double y = tableTop_ + (static_cast<double>(r) + 0.5) * tableRow_;
            page.texts.push_back(Text({x + tableWidths_[c] / 2, y}, cell, tableText_, TextHAlign::Centre, TextVAlign::Middle));
        }
        x += tableWidths_[c];
    }
}

}  // namespace tarnvel::sheet_detail
