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
#include "core/drawing/sheet_builder.h"

namespace tarnvel {
namespace sheet_detail {

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
        const auto& gs = ground_->line->Stations();
        const auto& gz = ground_->line->Elevations();
        std::vector<std::size_t> kept;
        ColumnThinning thinning(kSheetResolutionMm, kept);
        for (auto i = static_cast<std::size_t>(std::lower_bound(gs.begin(), gs.end(), a_) - gs.begin());
             i < gs.size() && gs[i] <= b_; ++i)
            thinning.Add(i, (gs[i] - a_) * xPerUnit_, i < gz.size() ? gz[i] : ground_->line->At(gs[i]).value_or(0));
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
        if (ground_) sample.g = ground_->line->At(s);
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

}  // namespace sheet_detail

using sheet_detail::SheetBuilder;

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

std::optional<SheetProblem> SheetScalesProblem(int horizontal, int vertical) {
    if (std::find(kSheetHorizontalScales.begin(), kSheetHorizontalScales.end(), horizontal) == kSheetHorizontalScales.end())
        return SheetProblem{SheetProblemKind::HorizontalScale, static_cast<double>(horizontal), {}};
    // In 64 bits: 50 × a vertical scale near the int's limit must not overflow.
    const long long h = horizontal, v = vertical;
    if (v <= 0 || h < v || h > 50 * v) return SheetProblem{SheetProblemKind::VerticalScale, static_cast<double>(vertical), {}};
    return std::nullopt;
}

struct SheetPages::State {
    explicit State(const SheetOptions& o) : options(o) {}
    SheetOptions options;  // the builder refers to it
    std::optional<SheetBuilder> builder;
    std::size_t sheets = 0, total = 0, next = 0;
    SheetFrame frame;
};

SheetPages::SheetPages(const Profile& profile, const SheetOptions& options, const DrawnGround* ground,
                       const HorizontalAlignment* horizontal) {
    problem_ = Start(profile, options, ground, horizontal);
}

std::optional<SheetProblem> SheetPages::Start(const Profile& profile, const SheetOptions& options,
                                              const DrawnGround* ground, const HorizontalAlignment* horizontal) {
    auto refuse = [](SheetProblem problem) { return std::optional<SheetProblem>(std::move(problem)); };
    if (auto problem = SheetScalesProblem(options.horizontalScale, options.verticalScale)) return problem;
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

SheetSet BuildSheets(const Profile& profile, const SheetOptions& options, const DrawnGround* ground,
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
