#include "core/drawing/sheet.h"

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

namespace tarnvel {
namespace {

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
constexpr Layout kA3 = {420, 297, 25, 10, 14, 30, 5, 12, 19, 14, 24, 38, 12, 2.0};
constexpr Layout kA4 = {297, 210, 20, 8, 12, 26, 3, 10, 17, 13, 22, 26, 8, 1.8};

constexpr double kNoteText = 2.0;    // drawing-area annotations
constexpr double kSampleMm = 0.5;    // the design line is sampled this finely on paper
// A dense ground line is thinned to columns as wide as the line is drawn:
// finer detail lies under the pen.
constexpr double kSheetResolutionMm = 0.25;
constexpr double kGridMm = 10;       // elevation grid spacing aims at this
constexpr std::size_t kMaxColumns = 2'000'000;
// Samples of the drawing closer than this share of their station are one place.
constexpr double kSamePlace = 1e-9;
double SamePlaceTolerance(double s) { return kSamePlace * std::max(1.0, std::abs(s)); }
// The finest detail a sheet must keep, on paper.
constexpr double kFinestMm = 0.1;
// Every backend keeps a text within its nominal width (the painter narrows a
// font that runs wider); where a text must fit a cell or miss another, its
// width is taken this much larger, so that neighbours keep a visible gap.
constexpr double kWidthMargin = 1.2;

double UnitMm(LengthUnit unit) {
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
constexpr double kTextClearance = 0.4;

// The box a text covers, with the width margin every layout here keeps.
PageBox BoxOf(const PageText& t) { return TextBounds(t, kWidthMargin); }

PageText Text(PagePoint at, std::string s, double height, TextHAlign h, TextVAlign v, double angle = 0) {
    PageText t;
    t.anchor = at;
    t.text = DrawnText(s);
    t.height = height;
    t.hAlign = h;
    t.vAlign = v;
    t.angle = angle;
    return t;
}

void AddLine(Page& page, PageRole role, std::vector<PagePoint> points, bool closed = false) {
    if (points.size() < 2) return;
    page.lines.push_back({role, std::move(points), closed});
}

// Everything about the sheets that does not change from one to the next.
class SheetBuilder {
public:
    SheetBuilder(const Profile& profile, const SheetOptions& options, const SheetGround* ground,
                 const HorizontalAlignment* horizontal)
        : profile_(profile), options_(options), ground_(ground && ground->at ? ground : nullptr),
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
    const SheetGround* ground_;
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

std::optional<SheetProblem> SheetBuilder::GatherColumns(const Station& fromLabel, const Station& toLabel) {
    const double interval = options_.interval;
    auto add = [&](const ProfileListingRow& row, BandKind kind) {
        columns_.push_back({row.internal, SheetStation(row.label), row.value.elevation, kind});
    };
    // The key points, each with the label the listing gives it.
    std::string refused;
    const ProfileListingResult keys = ListProfile(profile_, {fromLabel, toLabel, interval, true}, kMaxColumns,
                                                  [&](const ProfileListingRow& row) {
        switch (row.kind) {
            // The profile's ends get their own columns below.
            case ListingRowKind::Start:
            case ListingRowKind::End:
            case ListingRowKind::Interval:
            case ListingRowKind::Extreme: return;
            case ListingRowKind::Pvi: return add(row, BandKind::Pvi);
            case ListingRowKind::CurveStart:
            case ListingRowKind::CurveEnd: return add(row, BandKind::CurveEnd);
            case ListingRowKind::BreakBack:
            case ListingRowKind::BreakAhead: return add(row, BandKind::Break);
        }
    });
    if (!keys.ok) return SheetProblem{SheetProblemKind::Range, 0, keys};
    // The whole-interval labels run from a whole multiple of the interval.
    const Station firstWhole{std::ceil(fromLabel.value / interval - 1e-9) * interval, fromLabel.occurrence};
    const auto intervals = [&](const Station& first) {
        return ListProfile(profile_, {first, toLabel, interval, false}, kMaxColumns,
                           [&](const ProfileListingRow& row) {
            if (row.kind == ListingRowKind::Interval) add(row, BandKind::Interval);
        });
    };
    if (firstWhole.value <= toLabel.value || profile_.Chains().Breaks().size() > 0) {
        const std::size_t before = columns_.size();
        if (!intervals(firstWhole).ok) {
            // The whole label before the road's first cannot be placed (a
            // short chain's gap): the interval counts from the first label.
            columns_.resize(before);
            intervals(fromLabel);
        }
    }
    for (const double s : {from_, to_}) {
        const Station label = profile_.LabelOf(s);
        columns_.push_back({s, SheetStation(label), profile_.At(profile_.OnProfile(s)).elevation, BandKind::End});
    }
    if (horizontal_) {
        // Where a straight, curve or spiral meets the next (two straights in a
        // row meet at no key point of the band).
        const auto& pieces = horizontal_->pieces;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const bool lineBefore = i > 0 && pieces[i - 1].kind == HorizontalKind::Line;
            if (pieces[i].kind == HorizontalKind::Line && lineBefore) continue;
            for (const double s : {pieces[i].start, pieces[i].end})
                if (s > from_ && s < to_)
                    columns_.push_back({s, SheetStation(profile_.LabelOf(s)), profile_.At(s).elevation, BandKind::Horizontal});
        }
    }
    if (ground_)
        for (const double z : ground_->zeroPoints)
            if (z >= from_ && z <= to_)
                columns_.push_back({z, SheetStation(profile_.LabelOf(z)), profile_.At(z).elevation, BandKind::Zero});

    std::stable_sort(columns_.begin(), columns_.end(),
                     [](const Column& l, const Column& r) { return l.internal < r.internal; });
    // One column for one place: the more important kind names it, and a
    // chain break shows both of its labels.
    std::vector<Column> merged;
    for (auto& c : columns_) {
        if (!merged.empty() && std::abs(c.internal - merged.back().internal) <= 1e-9 * std::max(1.0, std::abs(c.internal))) {
            Column& m = merged.back();
            if (c.kind == BandKind::Break && m.kind == BandKind::Break && c.text != m.text) {
                m.text += "=" + c.text;
                continue;
            }
            if (c.kind < m.kind) {
                const bool keepBreak = m.kind == BandKind::Break;
                if (!keepBreak) m = c;
                else m.kind = std::min(m.kind, c.kind);
            } else if (c.kind == BandKind::Break) {
                m.text = c.text;
                m.kind = std::min(m.kind, c.kind);
            }
            continue;
        }
        merged.push_back(std::move(c));
    }
    columns_ = std::move(merged);
    return std::nullopt;
}

void SheetBuilder::TakeSamples() {
    samples_.clear();
    std::vector<std::pair<double, bool>> at;  // station, is a zero point
    if (!(a_ <= b_)) return;
    const auto n = static_cast<std::size_t>(std::ceil((b_ - a_) * xPerUnit_ / kSampleMm));
    for (std::size_t i = 0; i <= n; ++i)
        at.push_back({i == n ? b_ : a_ + (b_ - a_) * static_cast<double>(i) / static_cast<double>(std::max<std::size_t>(n, 1)), false});
    auto inside = [&](double s) { return s >= a_ && s <= b_; };
    // 填挖交界 too: a survey's noise about the design crosses it many times
    // within a column; the first and the last there bound what is shaded.
    std::vector<double> zeros;
    for (auto [c, end] = ColumnsIn(a_, b_); c != end; ++c) {
        if (c->kind == BandKind::Zero) zeros.push_back(c->internal);
        else at.push_back({c->internal, false});
    }
    for (const auto& e : profile_.Elements())
        for (const double s : {e.startStation, e.pviStation, e.endStation})
            if (inside(s)) at.push_back({s, false});
    if (ground_) {
        // The surveyed points as the paper shows them: a dense survey gives a
        // handful of points a column, not a vertex a point.
        const auto& gs = ground_->stations;
        const auto& gz = ground_->elevations;
        std::vector<std::size_t> kept;
        ColumnThinning thinning(kSheetResolutionMm, kept);
        for (auto i = static_cast<std::size_t>(std::lower_bound(gs.begin(), gs.end(), a_) - gs.begin());
             i < gs.size() && gs[i] <= b_; ++i)
            thinning.Add(i, (gs[i] - a_) * xPerUnit_, i < gz.size() ? gz[i] : ground_->at(gs[i]).value_or(0));
        thinning.Finish();
        for (const std::size_t i : kept) at.push_back({gs[i], false});
        for (const double s : ground_->zeroPoints)
            if (inside(s)) zeros.push_back(s);
    }
    std::sort(zeros.begin(), zeros.end());
    std::vector<std::size_t> keptZeros;
    ColumnThinning zeroThinning(kSheetResolutionMm, keptZeros);
    for (std::size_t i = 0; i < zeros.size(); ++i) zeroThinning.Add(i, (zeros[i] - a_) * xPerUnit_, 0);
    zeroThinning.Finish();
    for (const std::size_t i : keptZeros) at.push_back({zeros[i], true});
    std::sort(at.begin(), at.end());
    ProfileCursor cursor(profile_);
    for (const auto& [s, zero] : at) {
        if (!samples_.empty() && s - samples_.back().s <= SamePlaceTolerance(s)) {
            samples_.back().zero = samples_.back().zero || zero;
            continue;
        }
        LineSample sample;
        sample.s = s;
        sample.z = cursor.At(s).elevation;
        if (ground_) sample.g = ground_->at(s);
        sample.zero = zero;
        samples_.push_back(sample);
    }
    // The datum keeps each PVI's mark in the drawing area too, so that the
    // bracket and its notes have their room.
    std::size_t k = 0;
    for (const auto& e : profile_.Elements()) {
        if (e.pviStation < a_ || e.pviStation > b_) continue;
        while (k < samples_.size() && samples_[k].s < e.pviStation) ++k;
        if (k < samples_.size()) samples_[k].pvi = e.pviElevation;
    }
}

// The datum stays as long as both lines fit between the reserves; where they
// would leave the drawing area it steps, and the stretch after the step gets
// its own datum.
void SheetBuilder::ChooseDatums() {
    datumEnds_.clear();
    frame_->datums.clear();
    if (samples_.empty()) {
        frame_->datums.push_back({sheetFrom_, sheetTo_, 0});
        return;
    }
    const double usable = (bottom_ - top_ - layout_.topReserve - layout_.bottomReserve) / yPerUnit_;
    auto low = [](const LineSample& p) { return std::min({p.z, p.g.value_or(p.z), p.pvi.value_or(p.z)}); };
    auto high = [](const LineSample& p) { return std::max({p.z, p.g.value_or(p.z), p.pvi.value_or(p.z)}); };
    std::size_t first = 0;
    double lo = low(samples_[0]), hi = high(samples_[0]);
    auto close = [&](std::size_t last) {
        // The lines sit in the middle of the room between the reserves.
        const double room = (bottom_ - top_ - layout_.topReserve - layout_.bottomReserve) / yPerUnit_;
        const double below = layout_.bottomReserve / yPerUnit_ + std::max(0.0, room - (hi - lo)) / 2;
        const double datum = std::floor((lo - below) / gridStep_) * gridStep_;
        frame_->datums.push_back({samples_[first].s, samples_[last].s, datum});
        datumEnds_.push_back(last);
    };
    for (std::size_t i = 1; i < samples_.size(); ++i) {
        const double l = std::min(lo, low(samples_[i])), h = std::max(hi, high(samples_[i]));
        if (h - l > usable && i - 1 > first) {
            close(i - 1);
            first = i - 1;
            lo = std::min(low(samples_[i - 1]), low(samples_[i]));
            hi = std::max(high(samples_[i - 1]), high(samples_[i]));
        } else {
            lo = l;
            hi = h;
        }
    }
    close(samples_.size() - 1);
    frame_->datums.front().from = std::min(frame_->datums.front().from, sheetFrom_);
    frame_->datums.back().to = std::max(frame_->datums.back().to, sheetTo_);
}

void SheetBuilder::DrawGridAndRuler(Page& page) {
    const auto& datums = frame_->datums;
    for (std::size_t k = 0; k < datums.size(); ++k) {
        const SheetDatum& d = datums[k];
        const double x0 = k == 0 ? left_ : X(d.from), x1 = k + 1 == datums.size() ? right_ : X(d.to);
        const double rulerX = x0;
        const auto steps = static_cast<int>(std::floor((bottom_ - top_) / (gridStep_ * yPerUnit_) + 1e-9));
        for (int i = 0; i <= steps; ++i) {
            const double y = bottom_ - i * gridStep_ * yPerUnit_;
            AddLine(page, PageRole::Grid, {{x0, y}, {x1, y}});
            AddLine(page, PageRole::Frame, {{rulerX - (k == 0 ? 2.0 : 0.0), y}, {rulerX + (k == 0 ? 0.0 : 2.0), y}});
            const std::string label = SheetNumber(d.datum + i * gridStep_, SheetValue::Plain);
            if (y < top_ + kNoteText) continue;  // its label would cross the frame
            if (k == 0) Place(page, Text({rulerX - 3, y}, label, kNoteText, TextHAlign::Right, TextVAlign::Middle), false);
            else Place(page, Text({rulerX + 2.5, y}, label, 1.8, TextHAlign::Left, TextVAlign::Middle));
        }
        if (k > 0) {
            // The datum steps here: the ruler starts again with the new elevations.
            AddLine(page, PageRole::Frame, {{x0, top_}, {x0, bottom_}});
            Place(page, Text({x0 - 0.6, top_ + 2}, "高程基准 " + SheetNumber(d.datum, SheetValue::Plain), kNoteText,
                             TextHAlign::Right, TextVAlign::Bottom, 90));
        }
    }
    AddLine(page, PageRole::Frame, {{left_, top_}, {left_, bottom_}});
    for (auto [c, end] = ColumnsIn(sheetFrom_, sheetTo_); c != end; ++c)
        if (c->kind == BandKind::Interval && c->internal > sheetFrom_ && c->internal < sheetTo_)
            AddLine(page, PageRole::Grid, {{X(c->internal), top_}, {X(c->internal), bottom_}});
}

void SheetBuilder::RegisterLines() {
    std::size_t first = 0;
    for (std::size_t k = 0; k < datumEnds_.size(); ++k) {
        const SheetDatum& d = frame_->datums[k];
        const std::size_t last = datumEnds_[k];
        std::vector<PagePoint> design, ground;
        for (std::size_t i = first; i <= last; ++i) {
            design.push_back({X(samples_[i].s), Y(d, samples_[i].z)});
            if (samples_[i].g) ground.push_back({X(samples_[i].s), Y(d, *samples_[i].g)});
            if (!samples_[i].g || i == last) {
                space_->AddPolyline(ground);
                ground.clear();
            }
        }
        space_->AddPolyline(design);
        first = last;  // a datum step's sample belongs to both stretches, as in DrawLines
    }
    for (const auto& e : profile_.Elements())
        if (e.pviStation >= a_ && e.pviStation <= b_)
            space_->AddSegment({X(e.pviStation), Y(e.pviStation, e.pviElevation)}, {X(e.pviStation), LeaderTip(e)});
}

void SheetBuilder::DrawLines(Page& page) {
    std::size_t first = 0;
    for (std::size_t k = 0; k < datumEnds_.size(); ++k) {
        const SheetDatum& d = frame_->datums[k];
        const std::size_t last = datumEnds_[k];
        std::vector<PagePoint> design;
        for (std::size_t i = first; i <= last; ++i) design.push_back({X(samples_[i].s), Y(d, samples_[i].z)});
        if (ground_) {
            // Runs of samples with ground: the line, and fill and cut between the zero points.
            std::size_t i = first;
            while (i <= last) {
                if (!samples_[i].g) { ++i; continue; }
                std::size_t j = i;
                while (j + 1 <= last && samples_[j + 1].g) ++j;
                std::vector<PagePoint> line;
                for (std::size_t m = i; m <= j; ++m) line.push_back({X(samples_[m].s), Y(d, *samples_[m].g)});
                AddLine(page, PageRole::GroundLine, line);
                if (options_.shadeFillCut) {
                    std::size_t p = i;
                    while (p < j) {
                        std::size_t q = p + 1;
                        while (q < j && !samples_[q].zero) ++q;
                        double largest = 0;
                        PageArea area;
                        for (std::size_t m = p; m <= q; ++m) {
                            const double diff = samples_[m].z - *samples_[m].g;
                            if (std::abs(diff) > std::abs(largest)) largest = diff;
                            area.outline.push_back({X(samples_[m].s), Y(d, samples_[m].z)});
                        }
                        for (std::size_t m = q + 1; m-- > p;) area.outline.push_back({X(samples_[m].s), Y(d, *samples_[m].g)});
                        if (std::abs(largest) * yPerUnit_ > 0.01) {
                            area.role = largest > 0 ? PageRole::Fill : PageRole::Cut;
                            page.areas.push_back(std::move(area));
                        }
                        p = q;
                    }
                }
                i = j + 1;
            }
        }
        AddLine(page, PageRole::DesignLine, std::move(design));
        first = last;
    }
}

void SheetBuilder::DrawCurves(Page& page) {
    const auto& elements = profile_.Elements();
    for (const auto& e : elements) {
        if (e.pviStation < a_ || e.pviStation > b_) continue;
        const double xp = X(e.pviStation), yp = Y(e.pviStation, e.pviElevation);
        const bool hasCurve = e.length > 0;
        const double sign = e.crest ? -1 : 1;  // crest notes above the line, sag notes below
        const double yb = BracketY(e);
        if (hasCurve) {
            const double s0 = std::max(e.startStation, a_), s1 = std::min(e.endStation, b_);
            const double ys = Y(s0, profile_.At(s0).elevation), ye = Y(s1, profile_.At(s1).elevation);
            const double x0 = X(s0), x1 = X(s1);
            AddLine(page, PageRole::Curve, {{x0, yb}, {x1, yb}});
            if (s0 == e.startStation) AddLine(page, PageRole::Curve, {{x0, yb}, {x0, ys}});
            if (s1 == e.endStation) AddLine(page, PageRole::Curve, {{x1, yb}, {x1, ye}});
            if (s0 == e.startStation && s1 == e.endStation)
                AddLine(page, PageRole::Tangent, {{x0, ys}, {xp, yp}, {x1, ye}});
        }
        AddLine(page, PageRole::Curve, {{xp, yp}, {xp, LeaderTip(e)}});
        // The PVI's station on the left of its line, its elevation on the right,
        // reading upwards away from the line.
        const TextHAlign from = e.crest ? TextHAlign::Left : TextHAlign::Right;
        const double y0 = yb + sign * 1;
        Place(page, Text({xp - 0.5, y0}, SheetStation(profile_.LabelOf(e.pviStation)), kNoteText, from,
                         TextVAlign::Bottom, 90));
        Place(page, Text({xp + 0.5, y0}, SheetNumber(e.pviElevation, SheetValue::Elevation), kNoteText, from,
                         TextVAlign::Top, 90));
        if (!hasCurve) continue;
        std::vector<std::string> notes;
        if (!std::isnan(e.radius)) notes.push_back("R=" + SheetNumber(e.radius, SheetValue::Plain));
        if (std::abs(e.tangentIn - e.tangentOut) <= 1e-9 * e.length) {
            notes.push_back("T=" + SheetNumber(e.tangentIn, SheetValue::Length));
        } else {
            notes.push_back("T1=" + SheetNumber(e.tangentIn, SheetValue::Length));
            notes.push_back("T2=" + SheetNumber(e.tangentOut, SheetValue::Length));
        }
        notes.push_back("E=" + SheetNumber(e.external, SheetValue::Length));
        for (std::size_t i = 0; i < notes.size(); ++i)
            Place(page, Text({xp + 0.5 + kNoteText + 1.5, y0 + sign * (static_cast<double>(i) * (kNoteText + 1))}, notes[i], kNoteText,
                             TextHAlign::Left, e.crest ? TextVAlign::Bottom : TextVAlign::Top));
        if (e.extremeStation && *e.extremeStation >= a_ && *e.extremeStation <= b_) {
            const double xh = X(*e.extremeStation), yh = Y(*e.extremeStation, *e.extremeElevation);
            const double d = e.crest ? -1.2 : 1.2;  // a small triangle pointing away from the line
            AddLine(page, PageRole::Curve, {{xh, yh}, {xh - 0.8, yh + d}, {xh + 0.8, yh + d}}, true);
            space_->AddPolyline({{xh, yh}, {xh - 0.8, yh + d}, {xh + 0.8, yh + d}}, true);
            // Away from the line on the triangle's side, further out where
            // the design or ground line passes.
            const std::string text = std::string(ExtremeWord(e.crest)) + " " + SheetStation(profile_.LabelOf(*e.extremeStation));
            std::vector<PageText> candidates;
            for (int step = 0; step < 8; ++step)
                candidates.push_back(Text({xh, yh - d * (1.5 + step * 1.5)}, text, 1.8, TextHAlign::Centre,
                                          e.crest ? TextVAlign::Top : TextVAlign::Bottom));
            PlaceClear(page, candidates);
        }
    }
}

void SheetBuilder::DrawMarks(Page& page) {
    const Chainage& chains = profile_.Chains();
    const char* unit = LengthUnitSymbol(profile_.Model().unit);
    for (std::size_t i = 0; i < chains.Breaks().size(); ++i) {
        const double s = chains.BreakInternal(i);
        if (s < sheetFrom_ || s > sheetTo_ || s < a_ || s > b_) continue;
        const ChainBreak& br = chains.Breaks()[i];
        const double x = X(s);
        AddLine(page, PageRole::ChainBreak, {{x, top_}, {x, bottom_}});
        const double chain = br.back - br.ahead;
        const std::string text = "断链 " + SheetStation({br.back, 0}) + "=" + SheetStation({br.ahead, 0}) +
                                 (chain > 0 ? " 长链 " : " 短链 ") + SheetNumber(std::abs(chain), SheetValue::Length) + " " + unit;
        Place(page, Text({x - 0.5, bottom_ - 2}, text, kNoteText, TextHAlign::Left, TextVAlign::Bottom, 90));
    }
    const double ends[2] = {profile_.StartStation(), profile_.EndStation()};
    for (int k = 0; k < 2; ++k) {
        const double s = ends[k];
        if (s < a_ || s > b_) continue;
        const double z = profile_.At(s).elevation;
        const double x = X(s), y = Y(s, z);
        const bool up = y - top_ > 30;  // room above the line for the mark
        const double tip = up ? y - 20 : std::min(bottom_, y + 20);
        AddLine(page, PageRole::Curve, {{x, y}, {x, tip}});
        space_->AddSegment({x, y}, {x, tip});
        const TextHAlign along = up ? TextHAlign::Left : TextHAlign::Right;
        // Both texts along the leader on the side of the road (outside it the
        // drawing ends), the station next to the leader, the elevation beyond;
        // each as near the leader as the lines and texts around leave room.
        const double inward = k == 0 ? 1 : -1;
        const TextVAlign side = k == 0 ? TextVAlign::Top : TextVAlign::Bottom;
        double next = x + inward * 0.5;
        for (const std::string& text : {(k == 0 ? "起点 " : "终点 ") + SheetStation(profile_.LabelOf(s)),
                                        "H=" + SheetNumber(z, SheetValue::Elevation)}) {
            // Beside the leader first, further along it (away from the line
            // where the road or the ground climbs), then further aside.
            std::vector<PageText> candidates;
            for (int step = 0; step < 6; ++step)
                for (int lift = 0; lift < 4; ++lift)
                    candidates.push_back(Text({next + inward * step * kNoteText * 0.5, up ? y - 1 - 2.0 * lift : y + 1 + 2.0 * lift},
                                              text, kNoteText, along, side, 90));
            if (PlaceClear(page, candidates)) next = page.texts.back().anchor.x + inward * (kNoteText + 0.3);
        }
    }
}

void SheetBuilder::DrawBands(Page& page) {
    // The rules and the row names.
    double y = bandTop_;
    std::vector<double> rowTop;
    for (const auto& row : rows_) {
        AddLine(page, PageRole::Band, {{frameL_, y}, {frameR_, y}});
        rowTop.push_back(y);
        const double height = std::min(2.5, (layout_.labelColumn - 2) / std::max(1.0, PageTextWidth(row.name, kWidthMargin)));
        page.texts.push_back(Text({frameL_ + layout_.labelColumn / 2, y + row.height / 2}, row.name, height,
                                  TextHAlign::Centre, TextVAlign::Middle));
        y += row.height;
    }
    AddLine(page, PageRole::Band, {{left_, bandTop_}, {left_, titleTop_}});
    AddLine(page, PageRole::Band, {{right_, bandTop_}, {right_, titleTop_}});
    const double h = layout_.text;

    DrawGrades(page, rowTop[0], rows_[0].height);
    if (horizontal_) DrawHorizontal(page, rowTop.back(), rows_.back().height);

    // The station columns of this sheet, thinned where their texts would
    // collide: the more important kinds first, then in order along the road.
    std::vector<const Column*> candidates;
    for (auto [c, end] = ColumnsIn(sheetFrom_, sheetTo_); c != end; ++c) candidates.push_back(&*c);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Column* l, const Column* r) { return l->kind < r->kind; });
    // The ends, the chain breaks and every 变坡点 are always columns: where
    // one would collide, its texts move aside to the nearest free place
    // (its tick stays on its station); other columns give way.
    std::vector<double> kept;
    std::vector<std::pair<const Column*, double>> shown;  // the column and where its texts stand
    const double gap = h * 1.3;
    const auto clear = [&](double x) {
        return std::none_of(kept.begin(), kept.end(), [&](double k) { return std::abs(k - x) < gap; });
    };
    for (const Column* c : candidates) {
        // Where its texts will stand: a column on the sheet's first or last
        // station keeps them inside the band (as `vertical` below does).
        double x = std::clamp(X(c->internal), left_ + h / 2 + 0.5, right_ - h / 2 - 0.5);
        if (!clear(x)) {
            if (c->kind > BandKind::Pvi) continue;
            std::optional<double> aside;
            for (int step = 1; step <= 8 && !aside; ++step)
                for (const double d : {step * gap * 0.5, -step * gap * 0.5})
                    if (!aside && x + d >= left_ + h / 2 + 0.5 && x + d <= right_ - h / 2 - 0.5 && clear(x + d))
                        aside = x + d;
            if (!aside) continue;
            x = *aside;
        }
        kept.push_back(x);
        shown.emplace_back(c, x);
    }
    auto vertical = [&](std::size_t row, double x, const std::string& text) {
        const double bottom = rowTop[row] + rows_[row].height - 1;
        if (PageTextWidth(text, h) * kWidthMargin > rows_[row].height - 2) return;
        // A column on the sheet's first or last station keeps its texts
        // inside the band, clear of the rule.
        x = std::clamp(x, left_ + h / 2 + 0.5, right_ - h / 2 - 0.5);
        page.texts.push_back(Text({x, bottom}, text, h, TextHAlign::Left, TextVAlign::Middle, 90));
    };
    const std::size_t stationRow = stationRow_;
    for (const auto& [c, x] : shown) {
        vertical(1, x, SheetNumber(c->design, SheetValue::Elevation));
        if (ground_) {
            if (const auto g = ground_->at(c->internal)) {
                vertical(2, x, SheetNumber(*g, SheetValue::Elevation));
                const double diff = c->design - *g;
                const std::string amount = SheetNumber(std::abs(diff), SheetValue::Elevation);
                if (amount != SheetNumber(0, SheetValue::Elevation)) vertical(diff > 0 ? 3 : 4, x, amount);
            }
        }
        std::string label = c->text;
        if (PageTextWidth(label, h) * kWidthMargin > rows_[stationRow].height - 2) label = label.substr(label.find('=') + 1);
        vertical(stationRow, x, label);
        const double at = X(c->internal);
        AddLine(page, PageRole::Band, {{at, rowTop[stationRow]}, {at, rowTop[stationRow] + 1.5}});
    }
}

// 坡度/坡长: a diagonal per grade, rising or falling as the grade does.
void SheetBuilder::DrawGrades(Page& page, double top, double height) {
    const double h = layout_.text;
    const double t = top + 1, bo = top + height - 1;
    const auto& elements = profile_.Elements();
    std::vector<double> ends = {profile_.StartStation()};
    for (const auto& e : elements) ends.push_back(e.pviStation);
    ends.push_back(profile_.EndStation());
    for (std::size_t j = 0; j + 1 < ends.size(); ++j) {
        const double s0 = ends[j], s1 = ends[j + 1];
        const double c0 = std::max(s0, std::max(a_, sheetFrom_)), c1 = std::min(s1, std::min(b_, sheetTo_));
        if (!(c1 > c0)) continue;
        const double grade = j < elements.size() ? elements[j].gradeIn
                             : elements.empty() ? profile_.At(s0).grade : elements.back().gradeOut;
        // The diagonal follows the grade as written: one that reads 0.000 is
        // level, however small the remainder of its arithmetic.
        const std::string gradeText = SheetNumber(grade, SheetValue::Grade);
        const bool level = gradeText.find_first_not_of("-0.") == std::string::npos;
        const double y0 = level ? (t + bo) / 2 : grade > 0 ? bo : t;
        const double y1 = level ? (t + bo) / 2 : grade > 0 ? t : bo;
        auto yAt = [&](double s) { return y0 + (s - s0) / (s1 - s0) * (y1 - y0); };
        const PagePoint p0{X(c0), yAt(c0)}, p1{X(c1), yAt(c1)};
        AddLine(page, PageRole::Band, {p0, p1});
        if (s0 >= sheetFrom_ && s0 > profile_.StartStation()) AddLine(page, PageRole::Band, {{X(s0), t - 1}, {X(s0), bo + 1}});
        const double angle = std::atan2(y0 - y1, (s1 - s0) * xPerUnit_) * 180 / std::acos(-1.0);
        const double dx = p1.x - p0.x, dy = p1.y - p0.y, run = std::hypot(dx, dy);
        const PagePoint mid{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
        // Grade above the diagonal, length below it, where they fit along it.
        const double nx = dy / run, ny = -dx / run;  // the normal towards the text's top
        const std::string lengthText = SheetNumber(s1 - s0, SheetValue::Length);
        // A text must fit the diagonal's width on paper, not only its slant:
        // on a grade a few metres long the diagonal stands almost upright, and
        // text along it would run across the neighbouring grades' texts. A
        // grade too short for its grade text carries no texts in the band (the
        // 竖曲线要素表 gives every grade and length); one too short for its
        // length as well carries the grade alone.
        const double fit = std::min(run, std::abs(dx)) - 2;
        if (PageTextWidth(gradeText, h) * kWidthMargin <= fit) {
            PageText g = Text({mid.x + nx * 0.4, mid.y + ny * 0.4}, gradeText, h, TextHAlign::Centre, TextVAlign::Bottom, angle);
            page.texts.push_back(std::move(g));
            if (PageTextWidth(lengthText, h) * kWidthMargin <= fit)
                page.texts.push_back(Text({mid.x - nx * 0.4, mid.y - ny * 0.4}, lengthText, h, TextHAlign::Centre,
                                          TextVAlign::Top, angle));
        }
    }
}

// 直线及平曲线: the conventional band of the horizontal alignment. A straight
// runs along the row's middle, a circular curve steps up (turning right) or
// down (turning left) for its length, and a spiral slopes between the two;
// each curve is written with its radius and each spiral with its length.
void SheetBuilder::DrawHorizontal(Page& page, double top, double height) {
    const double middle = top + height / 2, step = height * 0.3, h = layout_.text;
    auto level = [&](double radius, HorizontalTurn turn) {
        if (std::isinf(radius)) return middle;
        return turn == HorizontalTurn::Right ? middle - step : middle + step;
    };
    std::vector<PagePoint> band;
    auto note = [&](double s0, double s1, double y, std::string text) {
        const double x = (X(s0) + X(s1)) / 2;
        PageText t = Text({x, y}, std::move(text), h, TextHAlign::Centre, TextVAlign::Middle);
        const PageBox box = BoxOf(t);
        // Inside the sheet's columns, and never across a neighbour's note.
        if (box.left >= left_ + 0.5 && box.right <= right_ - 0.5) Place(page, std::move(t), false);
    };
    // The pieces this sheet shows, found by their order along the road, so
    // that a long alignment costs each sheet only its own pieces.
    const auto& pieces = horizontal_->pieces;
    auto first = std::upper_bound(pieces.begin(), pieces.end(), a_,
                                  [](double s, const HorizontalPiece& p) { return s < p.end; });
    for (auto piece = first; piece != pieces.end() && piece->start < b_; ++piece) {
        const HorizontalPiece& p = *piece;
        const double c0 = std::max(p.start, a_), c1 = std::min(p.end, b_);
        if (!(c1 > c0)) continue;
        const double y0 = level(p.radiusStart, p.turn), y1 = level(p.radiusEnd, p.turn);
        auto yAt = [&](double s) { return y0 + (s - p.start) / (p.end - p.start) * (y1 - y0); };
        const PagePoint first{X(c0), yAt(c0)}, last{X(c1), yAt(c1)};
        if (!band.empty() && band.back() != first) {
            if (std::abs(band.back().x - first.x) > 1e-9) {  // a gap in the geometry: the band stops there
                AddLine(page, PageRole::Band, std::move(band));
                band.clear();
            }
        }
        band.push_back(first);
        band.push_back(last);
        const double away = y0 + y1 < 2 * middle ? 1 : -1;  // towards the middle from a raised or lowered curve
        switch (p.kind) {
            case HorizontalKind::Line: break;
            case HorizontalKind::Arc:
                note(c0, c1, y0 + away * step / 2, "R=" + SheetNumber(p.radiusStart, SheetValue::Plain));
                break;
            case HorizontalKind::Spiral: {
                // On the far side of the middle, clear of the sloping line.
                const double curved = std::isinf(p.radiusStart) ? y1 : y0;
                note(c0, c1, middle + (curved < middle ? 1 : -1) * step * 0.7,
                     "Ls=" + SheetNumber(p.Length(), SheetValue::Plain));
                break;
            }
        }
    }
    AddLine(page, PageRole::Band, std::move(band));
}

void SheetBuilder::DrawTitle(Page& page, std::size_t index, const std::string& name) {
    struct Cell {
        const char* name;
        std::string value;
        double share;
    };
    const bool drawing = index < sheets_;  // the table's pages have no scale
    const std::string scale = !drawing ? std::string() : "横 1:" + std::to_string(options_.horizontalScale) + "  竖 1:" +
                              std::to_string(options_.verticalScale);
    const std::string pageText = "第 " + std::to_string(index + 1) + " 页 共 " + std::to_string(totalPages_) + " 页";
    const std::array<Cell, 10> cells = {{{"设计单位", options_.designUnit, 0.15},
                                         {"项目名称", options_.project, 0.19},
                                         {"图名", name, 0.09},
                                         {"比例", scale, 0.12},
                                         {"设计", options_.designer, 0.07},
                                         {"复核", options_.checker, 0.07},
                                         {"审核", options_.approver, 0.07},
                                         {"图号", options_.drawingNumber, 0.08},
                                         {"日期", options_.date, 0.07},
                                         {"页次", pageText, 0.09}}};
    AddLine(page, PageRole::Frame, {{frameL_, titleTop_}, {frameR_, titleTop_}});
    double x = frameL_;
    const double width = frameR_ - frameL_;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const double w = cells[i].share * width;
        if (i > 0) AddLine(page, PageRole::Frame, {{x, titleTop_}, {x, frameB_}});
        page.texts.push_back(Text({x + 1, titleTop_ + 1}, cells[i].name, 1.8, TextHAlign::Left, TextVAlign::Top));
        if (!cells[i].value.empty()) {
            // A long value is written smaller, never across the cell's rule.
            const double fit = (w - 2) / std::max(1e-9, PageTextWidth(cells[i].value, kWidthMargin));
            page.texts.push_back(Text({x + w / 2, titleTop_ + layout_.titleHeight * 0.62}, cells[i].value,
                                      std::min(2.8, fit), TextHAlign::Centre, TextVAlign::Middle));
        }
        x += w;
    }
}

void SheetBuilder::StartPage(Page& page) {
    page = Page{};
    page.width = layout_.width;
    page.height = layout_.height;
    space_.emplace(PageBox{0, 0, layout_.width, layout_.height});
    AddLine(page, PageRole::Frame, {{frameL_, frameT_}, {frameR_, frameT_}, {frameR_, frameB_}, {frameL_, frameB_}}, true);
}

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

void SheetBuilder::Build(std::size_t index, Page& page, SheetFrame& frame) {
    StartPage(page);
    frame_ = &frame;
    sheetFrom_ = start_ + static_cast<double>(index) * length_;
    sheetTo_ = start_ + static_cast<double>(index + 1) * length_;
    // The last sheet reaches the end even where the division rounded it short.
    if (index + 1 == sheets_) sheetTo_ = std::max(sheetTo_, to_);
    a_ = std::max(sheetFrom_, from_);
    b_ = std::min(sheetTo_, to_);
    frame = SheetFrame{sheetFrom_, sheetTo_, left_, right_, top_, bottom_, xPerUnit_, yPerUnit_, {}};
    TakeSamples();
    ChooseDatums();

    DrawTitle(page, index, "纵断面图");
    DrawBands(page);
    if (!samples_.empty()) RegisterLines();
    DrawMarks(page);
    DrawCurves(page);
    DrawGridAndRuler(page);
    if (!samples_.empty()) DrawLines(page);
}

}  // namespace

std::string SheetNumber(double value, SheetValue kind) {
    switch (kind) {
        case SheetValue::Elevation:
        case SheetValue::Length: return FixedText(value, 3);
        case SheetValue::Grade: return FixedText(value, kDrawingGradeDecimals);
        case SheetValue::Plain: return NumberToText(RoundTo3(value));
    }
    return FixedText(value, 3);
}

std::string SheetStation(const Station& label) {
    std::string text = FormatStation(RoundTo3(label.value), StationStyle::K, 3);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (label.occurrence >= 1) text += "(" + std::to_string(label.occurrence) + ")";
    return text;
}

struct SheetPages::State {
    explicit State(const SheetOptions& o) : options(o) {}
    SheetOptions options;  // the builder refers to it
    std::optional<SheetBuilder> builder;
    std::size_t sheets = 0, total = 0, next = 0;
    SheetFrame frame;
};

SheetPages::SheetPages(const Profile& profile, const SheetOptions& options, const SheetGround* ground,
                       const HorizontalAlignment* horizontal) {
    problem_ = Start(profile, options, ground, horizontal);
}

std::optional<SheetProblem> SheetPages::Start(const Profile& profile, const SheetOptions& options,
                                              const SheetGround* ground, const HorizontalAlignment* horizontal) {
    auto refuse = [](SheetProblem problem) { return std::optional<SheetProblem>(std::move(problem)); };
    const int h = options.horizontalScale, v = options.verticalScale;
    if (h != 500 && h != 1000 && h != 2000 && h != 5000)
        return refuse({SheetProblemKind::HorizontalScale, static_cast<double>(h), {}});
    if (v <= 0 || h < v || h > 50 * v) return refuse({SheetProblemKind::VerticalScale, static_cast<double>(v), {}});
    if (!(options.interval > 0) || !std::isfinite(options.interval))
        return refuse({SheetProblemKind::Interval, options.interval, {}});

    const auto& points = profile.Model().points;
    const Station fromLabel = options.from.value_or(points.front().station);
    const Station toLabel = options.to.value_or(points.back().station);
    double from = 0, to = 0;
    try {
        from = profile.OnProfile(profile.InternalOf(fromLabel));
        to = profile.OnProfile(profile.InternalOf(toLabel));
    } catch (const StationError& e) {
        ProfileListingResult range;
        range.ok = false;
        range.fault = ListingFault::StationOff;
        range.station = e.fault();
        return refuse({SheetProblemKind::Range, 0, range});
    }
    if (!(to > from)) {
        ProfileListingResult range;
        range.ok = false;
        range.fault = ListingFault::ToBeforeFrom;
        range.from = fromLabel;
        range.to = toLabel;
        return refuse({SheetProblemKind::Range, 0, range});
    }

    auto state = std::make_unique<State>(options);
    SheetBuilder& builder = state->builder.emplace(profile, state->options, ground, horizontal);
    if (auto problem = builder.Plan(from, to)) return refuse(std::move(*problem));
    if (auto problem = builder.GatherColumns(fromLabel, toLabel)) return refuse(std::move(*problem));
    const std::size_t tablePages = options.elementsTable ? builder.PlanTable() : 0;
    state->sheets = builder.Sheets();
    state->total = state->sheets + tablePages;
    if (state->total > kMaxSheets) return refuse({SheetProblemKind::TooManySheets, static_cast<double>(state->total), {}});
    builder.SetTotalPages(state->total);
    state_ = std::move(state);
    return std::nullopt;
}

SheetPages::~SheetPages() = default;

std::size_t SheetPages::Count() const { return state_ ? state_->total : 0; }

bool SheetPages::Next(Page& page) {
    if (!state_ || state_->next == state_->total) return false;
    const std::size_t i = state_->next++;
    if (i < state_->sheets) state_->builder->Build(i, page, state_->frame);
    else state_->builder->BuildTable(i - state_->sheets, page);
    return true;
}

const SheetFrame* SheetPages::Frame() const {
    return state_ && state_->next > 0 && state_->next <= state_->sheets ? &state_->frame : nullptr;
}

SheetSet BuildSheets(const Profile& profile, const SheetOptions& options, const SheetGround* ground,
                     const HorizontalAlignment* horizontal) {
    SheetSet set;
    SheetPages pages(profile, options, ground, horizontal);
    if (pages.Problem()) {
        set.problem = pages.Problem();
        return set;
    }
    set.pages.resize(pages.Count());
    for (Page& page : set.pages) {
        pages.Next(page);
        if (const SheetFrame* frame = pages.Frame()) set.frames.push_back(*frame);
    }
    return set;
}

}  // namespace tarnvel
