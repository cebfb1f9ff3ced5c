#pragma once
// The inside of the 纵断面图 sheets, shared by the files that make them: the
// paper's layout, the builder that draws one sheet at a time (sheet.cpp: the
// drawing area and the title block), its band table (sheet_bands.cpp: the
// station columns and the rows under the drawing) and the elements table's
// pages (sheet_table.cpp). Not for use outside them.

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/drawing/label_layout.h"
#include "core/drawing/profile_drawing.h"
#include "core/drawing/sheet.h"
#include "core/profile/profile_listing.h"

namespace tarnvel::sheet_detail {

// The sizes of one paper, in mm of the printed sheet.
struct Layout {
    double width, height;
    double marginLeft, margin;  // the frame: wider on the left for binding
    double titleHeight;
    double labelColumn;  // the band's row names and the elevation ruler
    double rightGap;     // between the drawing area and the frame
    double gradeRow, valueRow, fillRow, stationRow;
    double topReserve, bottomReserve;  // room for curve annotations above and below the lines
    double text;                       // height of the band's texts
};
// The band rows are tall enough for an elevation of 9999.999, a fill of
// 99.999 and a station of K999+999.999 written across them.
inline constexpr Layout kA3 = {420, 297, 25, 10, 14, 30, 5, 12, 19, 14, 24, 38, 12, 2.0};
inline constexpr Layout kA4 = {297, 210, 20, 8, 12, 26, 3, 10, 17, 13, 22, 26, 8, 1.8};

inline constexpr double kNoteText = 2.0;    // drawing-area annotations
inline constexpr double kSampleMm = 0.5;    // the design line is sampled this finely on paper
// A dense ground line is thinned to columns as wide as the line is drawn:
// finer detail lies under the pen.
inline constexpr double kSheetResolutionMm = 0.25;
inline constexpr double kGridMm = 10;       // elevation grid spacing aims at this
inline constexpr std::size_t kMaxColumns = 2'000'000;
// Samples of the drawing closer than this share of their station are one place.
inline constexpr double kSamePlace = 1e-9;
inline double SamePlaceTolerance(double s) { return kSamePlace * std::max(1.0, std::abs(s)); }
// The finest detail a sheet must keep, on paper.
inline constexpr double kFinestMm = 0.1;
// Every backend keeps a text within its nominal width (the painter narrows a
// font that runs wider); where a text must fit a cell or miss another, its
// width is taken this much larger, so that neighbours keep a visible gap.
inline constexpr double kWidthMargin = 1.2;

inline double UnitMm(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::Metre: return 1000;
        case LengthUnit::Foot: return 304.8;
        case LengthUnit::USSurveyFoot: return 1200.0 / 3937.0 * 1000;
    }
    return 1000;
}

// A station column of the band, in order of importance where two collide.
enum class BandKind { End = 0, Break = 1, Pvi = 2, CurveEnd = 3, Horizontal = 4, Zero = 5, Interval = 6 };

struct Column {
    double internal = 0;
    std::string text;
    double design = 0;
    BandKind kind = BandKind::Interval;
};

struct LineSample {
    double s = 0, z = 0;
    std::optional<double> g;
    std::optional<double> pvi;  // a PVI's elevation, off the line above a crest or below a sag
    bool zero = false;  // a 填挖交界
};

// Texts placed on a sheet keep at least this gap between them, so that two
// neighbours never read as one.
inline constexpr double kTextClearance = 0.4;

// The box a text covers, with the width margin every layout here keeps.
inline PageBox BoxOf(const PageText& t) { return TextBounds(t, kWidthMargin); }

inline PageText Text(PagePoint at, std::string s, double height, TextHAlign h, TextVAlign v, double angle = 0) {
    PageText t;
    t.anchor = at;
    t.text = DrawnText(s);
    t.height = height;
    t.hAlign = h;
    t.vAlign = v;
    t.angle = angle;
    return t;
}

inline void AddLine(Page& page, PageRole role, std::vector<PagePoint> points, bool closed = false) {
    if (points.size() < 2) return;
    page.lines.push_back({role, std::move(points), closed});
}

// Everything about the sheets that does not change from one to the next.
class SheetBuilder {
public:
    SheetBuilder(const Profile& profile, const SheetOptions& options, const DrawnGround* ground,
                 const HorizontalAlignment* horizontal)
        : profile_(profile), options_(options), ground_(ground && ground->line ? ground : nullptr),
          horizontal_(horizontal && !horizontal->pieces.empty() ? horizontal : nullptr),
          layout_(options.paper == SheetPaper::A4 ? kA4 : kA3) {
        const double unitMm = UnitMm(profile.Model().unit);
        xPerUnit_ = unitMm / options.horizontalScale;
        yPerUnit_ = unitMm / options.verticalScale;
        frameL_ = layout_.marginLeft;
        frameT_ = layout_.margin;
        frameR_ = layout_.width - layout_.margin;
        frameB_ = layout_.height - layout_.margin;
        titleTop_ = frameB_ - layout_.titleHeight;
        rows_ = {{"坡度(%)/坡长(" + std::string(LengthUnitSymbol(profile.Model().unit)) + ")", layout_.gradeRow},
                 {"设计高程", layout_.valueRow}};
        if (ground_) {
            rows_.push_back({"地面高程", layout_.valueRow});
            rows_.push_back({"填高", layout_.fillRow});
            rows_.push_back({"挖深", layout_.fillRow});
        }
        stationRow_ = rows_.size();
        rows_.push_back({"里程桩号", layout_.stationRow});
        if (horizontal_) rows_.push_back({"直线及平曲线", layout_.fillRow});
        double bands = 0;
        for (const auto& r : rows_) bands += r.height;
        bandTop_ = titleTop_ - bands;
        left_ = frameL_ + layout_.labelColumn;
        right_ = frameR_ - layout_.rightGap;
        top_ = frameT_;
        bottom_ = bandTop_;
        gridStep_ = NiceStep(kGridMm / yPerUnit_);
    }

    std::optional<SheetProblem> Plan(double from, double to) {
        from_ = from;
        to_ = to;
        // Places closer than SamePlace's tolerance are drawn as one: where
        // that is more than the paper shows, the drawing would lose its
        // detail without a word (at 10^12 all of it).
        const double largest = std::max(std::abs(from), std::abs(to));
        if (SamePlaceTolerance(largest) * xPerUnit_ > kFinestMm)
            return SheetProblem{SheetProblemKind::StationsTooLarge, largest, {}, kFinestMm / xPerUnit_ / kSamePlace};
        const double interval = options_.interval;
        const double widthUnits = (right_ - left_) / xPerUnit_;
        const double round = widthUnits >= 15 * interval ? 5 * interval : interval;
        length_ = std::floor(widthUnits / round) * round;
        if (!(length_ > 0)) return SheetProblem{SheetProblemKind::Interval, interval, {}};
        start_ = std::floor(from / round) * round;
        const double count = std::max(1.0, std::ceil((to - start_) / length_ - 1e-9));
        // A road too long for the paper is said as the sheets it would take;
        // only then is the interval too fine for the columns.
        if (count > static_cast<double>(kMaxSheets)) return SheetProblem{SheetProblemKind::TooManySheets, count, {}};
        if ((to - from) / interval > static_cast<double>(kMaxColumns))
            return SheetProblem{SheetProblemKind::Interval, interval, {}};
        sheets_ = static_cast<std::size_t>(count);
        return std::nullopt;
    }

    std::optional<SheetProblem> GatherColumns(const Station& fromLabel, const Station& toLabel);

    std::size_t Sheets() const { return sheets_; }
    void Build(std::size_t index, Page& page, SheetFrame& frame);

    // The 竖曲线要素表 on pages of its own after the drawing sheets; every
    // page counts in 第 N 页 共 M 页.
    std::size_t PlanTable();
    void BuildTable(std::size_t index, Page& page);
    void SetTotalPages(std::size_t total) { totalPages_ = total; }

private:
    struct Row {
        std::string name;
        double height;
    };

    double X(double s) const { return left_ + (s - sheetFrom_) * xPerUnit_; }
    // The columns from `from` to `to`, inclusive (columns_ is in order along the road).
    std::pair<std::vector<Column>::const_iterator, std::vector<Column>::const_iterator> ColumnsIn(double from,
                                                                                                  double to) const {
        const auto first = std::lower_bound(columns_.begin(), columns_.end(), from,
                                            [](const Column& c, double s) { return c.internal < s; });
        const auto last = std::upper_bound(first, columns_.end(), to,
                                           [](double s, const Column& c) { return s < c.internal; });
        return {first, last};
    }
    const SheetDatum& DatumAt(double s) const {
        for (const auto& d : frame_->datums)
            if (s <= d.to) return d;
        return frame_->datums.back();
    }
    double Y(const SheetDatum& d, double z) const { return bottom_ - (z - d.datum) * yPerUnit_; }
    double Y(double s, double z) const { return Y(DatumAt(s), z); }

    bool InDrawing(const PageBox& box) const {
        return box.left >= left_ - 1e-9 && box.right <= right_ + 1e-9 && box.top >= top_ && box.bottom <= bottom_;
    }

    bool Place(Page& page, PageText text, bool inDrawing = true) {
        const PageBox placed = BoxOf(text);
        if (inDrawing && !InDrawing(placed)) return false;
        if (!space_->FreeOfBoxes(placed.Grown(kTextClearance))) return false;
        space_->AddBox(placed);
        page.texts.push_back(std::move(text));
        return true;
    }

    // The first of `candidates` that lies in the drawing clear of the texts
    // placed and of the lines registered (the design and ground lines, the
    // leaders): the place of a label beside a line of its own.
    bool PlaceClear(Page& page, const std::vector<PageText>& candidates) {
        for (const PageText& text : candidates) {
            const PageBox placed = BoxOf(text);
            if (!InDrawing(placed)) continue;
            if (!space_->Free(placed.Grown(kTextClearance))) continue;
            space_->AddBox(placed);
            page.texts.push_back(text);
            return true;
        }
        return false;
    }
    // The design line, the ground line and the PVIs' leaders of this sheet,
    // for PlaceClear.
    void RegisterLines();
    // Where a PVI's notes start: the curve's bracket 6 mm off the line (on
    // the side of a crest or sag), or 6 mm off the PVI without a curve.
    double BracketY(const CurveElementsRow& e) const {
        const double yp = Y(e.pviStation, e.pviElevation);
        if (!(e.length > 0)) return std::clamp(yp + (e.crest ? -6.0 : 6.0), top_ + 1, bottom_ - 1);
        const double s0 = std::max(e.startStation, a_), s1 = std::min(e.endStation, b_);
        const double ys = Y(s0, profile_.At(s0).elevation), ye = Y(s1, profile_.At(s1).elevation);
        return std::clamp(e.crest ? std::min({ys, ye, yp}) - 6 : std::max({ys, ye, yp}) + 6, top_ + 1, bottom_ - 1);
    }
    // The end of a PVI's leader, 16 mm beyond its bracket.
    double LeaderTip(const CurveElementsRow& e) const {
        return std::clamp(BracketY(e) + (e.crest ? -16.0 : 16.0), top_, bottom_);
    }

    void TakeSamples();
    void ChooseDatums();
    void DrawGridAndRuler(Page& page);
    void DrawLines(Page& page);
    void DrawCurves(Page& page);
    void DrawMarks(Page& page);
    void DrawBands(Page& page);
    void DrawGrades(Page& page, double top, double height);
    void DrawHorizontal(Page& page, double top, double height);
    void DrawTitle(Page& page, std::size_t index, const std::string& name);
    void StartPage(Page& page);

    const Profile& profile_;
    const SheetOptions& options_;
    const DrawnGround* ground_;
    const HorizontalAlignment* horizontal_;
    Layout layout_;
    double xPerUnit_ = 0, yPerUnit_ = 0, gridStep_ = 1;
    double frameL_ = 0, frameT_ = 0, frameR_ = 0, frameB_ = 0, titleTop_ = 0, bandTop_ = 0;
    double left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
    std::vector<Row> rows_;
    std::size_t stationRow_ = 0;
    double from_ = 0, to_ = 0, start_ = 0, length_ = 0;
    std::size_t sheets_ = 0, totalPages_ = 0;
    // The elements table: its cells (the header first), column widths, text
    // height, row height and rows per page.
    std::vector<std::vector<std::string>> table_;
    std::vector<double> tableWidths_;
    double tableText_ = 2.5, tableRow_ = 5, tableTop_ = 0, tableLeft_ = 0;
    std::size_t tableRows_ = 1, tablePages_ = 0;
    std::vector<Column> columns_;

    // The sheet being built.
    double sheetFrom_ = 0, sheetTo_ = 0, a_ = 0, b_ = 0;  // a_…b_: the part with a design line
    SheetFrame* frame_ = nullptr;
    std::vector<LineSample> samples_;
    std::vector<std::size_t> datumEnds_;  // index of each datum stretch's last sample
    std::optional<PageSpace> space_;
};

}  // namespace tarnvel::sheet_detail
