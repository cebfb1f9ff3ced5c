#include "core/drawing/plan_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <tuple>

#include "core/drawing/label_layout.h"
#include "core/drawing/sheet.h"
#include "core/drawing/view_transform.h"
#include "core/profile/units.h"
#include "core/text/plan_text.h"

namespace tarnvel {
namespace {

// A chord of length c on a curve of curvature k strays about c²k/8 from it;
// elements are cut into chords short enough for the page's tolerance, and
// never into more than this many (a view zoomed far into a long arc).
constexpr double kMaxChords = 100000;
// Element extents are sampled this finely and grown by the chords' sag.
constexpr double kExtentChordAngle = 0.05;  // radians

double MaxCurvature(const PlanElement& e) { return std::max(std::fabs(e.k0), std::fabs(e.k1)); }

int ChordsFor(const PlanElement& e, double tolerance) {
    const double k = MaxCurvature(e);
    if (e.kind == PlanElementKind::Line || k == 0) return 1;
    const double chord = std::sqrt(8 * tolerance / k);
    const double n = std::ceil(e.length / chord);
    return std::isfinite(n) ? static_cast<int>(std::clamp(n, 1.0, kMaxChords)) : 1;
}

void Take(PlanExtent& box, const PlanPoint& p) {
    box.minNorth = std::min(box.minNorth, p.north);
    box.maxNorth = std::max(box.maxNorth, p.north);
    box.minEast = std::min(box.minEast, p.east);
    box.maxEast = std::max(box.maxEast, p.east);
}

PlanExtent Grown(PlanExtent box, double by) {
    return {box.minNorth - by, box.minEast - by, box.maxNorth + by, box.maxEast + by};
}

PlanExtent Empty() { return {INFINITY, INFINITY, -INFINITY, -INFINITY}; }

// Cuts a segment to the box, as the plot cuts its lines; false when nothing
// of it is inside.
bool Clip(PagePoint& a, PagePoint& b, const PageBox& box) {
    DevicePoint p{a.x, a.y}, q{b.x, b.y};
    if (!ClipSegment(p, q, {box.left, box.top, box.right - box.left, box.bottom - box.top})) return false;
    a = {p.x, p.y};
    b = {q.x, q.y};
    return true;
}

bool Inside(const PageBox& box, const PagePoint& p) {
    return p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom;
}

// The page direction to the right of an azimuth (clockwise from north; y runs down).
PagePoint RightOf(double azimuth) { return {std::cos(azimuth), std::sin(azimuth)}; }

PagePoint Plus(PagePoint p, PagePoint d, double by) { return {p.x + d.x * by, p.y + d.y * by}; }

std::vector<PagePoint> Circle(PagePoint c, double r, int sides = 16) {
    std::vector<PagePoint> points;
    for (int i = 0; i < sides; ++i) {
        const double a = 2 * std::numbers::pi * i / sides;
        points.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return points;
}

// A nice length for a ruler: 1, 2 or 5 times a power of ten, at least `least`.
double NiceLength(double least) {
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= least) return f * power;
    return 10 * power;
}

class PlanBuilder {
public:
    PlanBuilder(const Plan& plan, const PlanFigure& figure, const PlanViewport& view, Page& page, double textHeight,
                double tolerance)
        : plan_(plan),
          figure_(figure),
          view_(view),
          page_(page),
          th_(textHeight),
          tolerance_(tolerance / view.mmPerUnit),
          clip_(view.frame),
          visible_(Grown(view.Visible(), 2 * textHeight / view.mmPerUnit)),
          space_(view.frame) {}

    void Draw(std::optional<double> marked) {
        TangentLine();
        CentreLine();
        Ticks();
        KeyMarks();
        NorthArrow();
        ScaleBar();
        // The chosen station before the labels, which keep clear of it.
        if (marked) Mark(*marked);
        for (const Label& label : keyLabels_) PlaceAlong(label);
        JdLabels();
        for (const Label& label : tickLabels_) PlaceAlong(label);
    }

private:
    // A text along a direction from a point (a main point, a tick's end),
    // turned to read from the left or from below. A main point's label may
    // take the other side of the line where its own is taken: the QZ label
    // of a curve points straight at its JD.
    struct Label {
        PagePoint base;       // the point on the line (or the tick's end)
        PagePoint direction;  // unit, on the page
        double mark = 0;      // the length of the mark drawn with the label, 0: none
        std::string text;
        double height = 0;
        PageRole role = PageRole::Text;
        bool eitherSide = false;
    };

    PagePoint At(const PlanPoint& p) const { return view_.ToPage(p); }

    // A polyline cut to the frame, as runs of page points.
    void Emit(const std::vector<PagePoint>& points, PageRole role, bool register_) {
        std::vector<PagePoint> run;
        auto flush = [&] {
            if (run.size() >= 2) {
                if (register_) space_.AddPolyline(run);
                page_.lines.push_back({role, std::move(run), false});
            }
            run.clear();
        };
        for (std::size_t i = 1; i < points.size(); ++i) {
            PagePoint a = points[i - 1], b = points[i];
            if (!Clip(a, b, clip_)) {
                flush();
                continue;
            }
            if (!run.empty() && !(run.back() == a)) flush();
            if (run.empty()) run.push_back(a);
            run.push_back(b);
        }
        flush();
    }

    void TangentLine() {
        const auto& line = figure_.tangentLine;
        if (line.size() < 2) return;
        std::vector<PagePoint> points;
        for (const PlanPoint& p : line) points.push_back(At(p));
        Emit(points, PageRole::PlanTangent, false);
        for (std::size_t i = 1; i + 1 < line.size(); ++i) {
            const PagePoint p = points[i];
            const double r = th_ * 0.3;
            if (!clip_.Contains({p.x - r, p.y - r, p.x + r, p.y + r})) continue;
            page_.lines.push_back({PageRole::PlanTangent, Circle(p, r), true});
            space_.AddBox({p.x - r, p.y - r, p.x + r, p.y + r});
        }
    }

    static PageRole RoleOf(PlanElementKind kind) {
        switch (kind) {
            case PlanElementKind::Line: return PageRole::PlanStraight;
            case PlanElementKind::Arc: return PageRole::PlanArc;
            case PlanElementKind::Spiral: return PageRole::PlanSpiral;
        }
        return PageRole::PlanStraight;
    }

    bool Shown(std::size_t element) const { return figure_.elements[element].Meets(visible_); }

    void CentreLine() {
        const auto& elements = plan_.Elements();
        std::vector<PagePoint> points;
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (!Shown(i)) continue;
            const PlanElement& e = elements[i];
            const int n = ChordsFor(e, tolerance_);
            points.clear();
            for (int j = 0; j <= n; ++j) {
                const double s = j == n ? e.End() : e.start + e.length * j / n;
                points.push_back(At(plan_.AtInElement(i, s).at));
            }
            Emit(points, RoleOf(e.kind), true);
        }
    }

    // The stretches of the road the view shows, as internal station ranges.
    std::vector<std::pair<double, double>> ShownStretches() const {
        std::vector<std::pair<double, double>> stretches;
        const auto& elements = plan_.Elements();
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (!Shown(i)) continue;
            if (!stretches.empty() && stretches.back().second >= elements[i].start)
                stretches.back().second = elements[i].End();
            else
                stretches.push_back({elements[i].start, elements[i].End()});
        }
        return stretches;
    }

    // Ticks every interval to the left of the line, longer at the hundreds
    // and the kilometres; the hundreds carry their digit (百米桩), the
    // kilometres their station (公里桩). A class of ticks closer than a
    // millimetre on the page is left out, and the walk takes the finest
    // class drawn, so a view of a whole long road walks its kilometres only.
    void Ticks() {
        const double m = view_.mmPerUnit;
        double step = 0;
        for (const double s : {kPlanTickInterval, 100.0, 1000.0})
            if (step == 0 && s * m >= 1.0) step = s;
        if (step == 0) return;
        const Chainage& chains = plan_.Chains();
        PlanCursor cursor(plan_);
        for (const auto& [a, b] : ShownStretches()) {
            for (std::size_t r = chains.RegionOf(a); r < chains.RegionCount(); ++r) {
                const double low = std::max(a, r == 0 ? -INFINITY : chains.BreakInternal(r - 1));
                const double high = std::min(b, r + 1 < chains.RegionCount() ? chains.BreakInternal(r) : INFINITY);
                if (low > high) break;
                const double labelLow = chains.ToLabel(low).value;
                const double first = std::ceil(labelLow / step - 1e-9);
                const double last = std::floor((labelLow + (high - low)) / step + 1e-9);
                for (double n = first; n <= last; ++n) {
                    const double label = n * step;
                    const double internal = std::clamp(chains.InternalInRegion(label, r), low, high);
                    Tick(cursor.At(internal), label, chains.LabelInRegion(label, r));
                }
            }
        }
    }

    void Tick(const PlanPose& pose, double label, const Station& shown) {
        const PagePoint p = At(pose.at);
        if (!Inside(clip_, p)) return;
        const long long whole = std::llround(label);
        const bool km = whole % 1000 == 0, hundred = whole % 100 == 0;
        const double length = th_ * (km ? 1.4 : hundred ? 0.9 : 0.5);
        const PagePoint right = RightOf(pose.azimuth);
        const PagePoint out{-right.x, -right.y};
        const PagePoint end = Plus(p, out, length);
        std::vector<PagePoint> tick{p, end};
        space_.AddPolyline(tick);
        page_.lines.push_back({PageRole::PlanTick, std::move(tick), false});
        if (km) {
            tickLabels_.insert(tickLabels_.begin() + static_cast<std::ptrdiff_t>(kmLabels_++),
                               {end, out, 0, SheetStation(shown), th_});
        } else if (hundred && 100 * view_.mmPerUnit >= th_ * 1.5) {
            const long long digit = ((whole % 1000) + 1000) % 1000 / 100;
            tickLabels_.push_back({end, out, 0, std::to_string(digit), th_ * 0.8});
        }
    }

    // Each main point: a short line to the right of the centre line and its
    // name and station beyond it, reading outwards.
    void KeyMarks() {
        for (const PlanKeyPoint& key : plan_.KeyPoints()) {
            const PlanPose pose = plan_.At(key.internal);
            const PagePoint p = At(pose.at);
            if (!Inside(clip_, p)) continue;
            std::string text = PlanKeyName(key.kind);
            text += ' ';
            text += SheetStation(plan_.LabelOf(key.internal));
            keyLabels_.push_back({p, RightOf(pose.azimuth), th_ * 1.2, std::move(text), th_, PageRole::Text, true});
        }
    }

    PageText Turned(const Label& label) const {
        double angle = std::atan2(-label.direction.y, label.direction.x) * 180 / std::numbers::pi;
        TextHAlign align = TextHAlign::Left;
        if (angle > 90 || angle <= -90) {
            angle += angle > 0 ? -180 : 180;
            align = TextHAlign::Right;
        }
        return {label.role, Plus(label.base, label.direction, label.mark + th_ * 0.3), label.text, label.height, angle,
                align, TextVAlign::Middle};
    }

    // A turned text as a chain of squares along its middle line: the upright
    // box around a slanting text would cover the line it stands beside.
    static std::vector<PageBox> Squares(const PageText& text) {
        const double width = PageTextWidth(text.text, text.height), h = text.height;
        const double a = text.angle * std::numbers::pi / 180;
        const PagePoint u{std::cos(a), -std::sin(a)};
        const PagePoint start = text.hAlign == TextHAlign::Right ? Plus(text.anchor, u, -width) : text.anchor;
        std::vector<PageBox> boxes;
        for (double t = h / 2; ; t += h / 2) {
            const PagePoint c = Plus(start, u, std::min(t, width - h / 2));
            boxes.push_back({c.x - h / 2, c.y - h / 2, c.x + h / 2, c.y + h / 2});
            if (t >= width - h / 2) break;
        }
        return boxes;
    }

    bool PlaceAlong(Label label) {
        for (int side = 0; side < (label.eitherSide ? 2 : 1); ++side) {
            if (side == 1) label.direction = {-label.direction.x, -label.direction.y};
            const PageText text = Turned(label);
            if (!clip_.Contains(TextBounds(text))) continue;
            const std::vector<PageBox> boxes = Squares(text);
            if (!std::all_of(boxes.begin(), boxes.end(), [&](const PageBox& box) { return space_.Free(box); })) continue;
            for (const PageBox& box : boxes) space_.AddBox(box);
            if (label.mark > 0)
                page_.lines.push_back({PageRole::PlanKey, {label.base, Plus(label.base, label.direction, label.mark)}, false});
            page_.texts.push_back(text);
            return true;
        }
        return false;
    }

    // JD names beside their points, where there is room.
    void JdLabels() {
        const auto& line = figure_.tangentLine;
        for (std::size_t i = 1; i + 1 < line.size(); ++i) {
            const CurveTableRow& row = figure_.intersections[i - 1];
            const std::string name = row.name.empty() ? "JD" + std::to_string(row.point) : row.name;
            const PagePoint p = At(row.at);
            if (!Inside(clip_, p)) continue;
            const double gap = th_ * 0.5;
            for (const auto& [h, v, dx, dy] :
                 {std::tuple{TextHAlign::Left, TextVAlign::Bottom, gap, -gap}, std::tuple{TextHAlign::Right, TextVAlign::Bottom, -gap, -gap},
                  std::tuple{TextHAlign::Left, TextVAlign::Top, gap, gap}, std::tuple{TextHAlign::Right, TextVAlign::Top, -gap, gap}}) {
                const PageText text{PageRole::Text, {p.x + dx, p.y + dy}, name, th_, 0, h, v};
                const PageBox box = TextBounds(text);
                if (!clip_.Contains(box) || !space_.Free(box)) continue;
                space_.AddBox(box);
                page_.texts.push_back(text);
                break;
            }
        }
    }

    // The first corner of the frame (right, then left; top, then bottom)
    // where a box of this size covers no line.
    std::optional<PagePoint> FreeCorner(double w, double h, bool topFirst) {
        const double pad = th_;
        std::vector<PagePoint> corners;
        const double top = clip_.top + pad, bottom = clip_.bottom - pad - h;
        const double leftX = clip_.left + pad, rightX = clip_.right - pad - w;
        for (const double y : topFirst ? std::array{top, bottom} : std::array{bottom, top})
            for (const double x : topFirst ? std::array{rightX, leftX} : std::array{leftX, rightX})
                corners.push_back({x, y});
        for (const PagePoint& c : corners) {
            const PageBox box{c.x, c.y, c.x + w, c.y + h};
            if (clip_.Contains(box) && space_.Free(box)) {
                space_.AddBox(box);
                return c;
            }
        }
        return std::nullopt;
    }

    void NorthArrow() {
        const double w = th_ * 1.6, h = th_ * 5;
        const auto corner = FreeCorner(w, h, true);
        if (!corner) return;
        const double x = corner->x + w / 2, top = corner->y + th_ * 1.2, head = top + w * 1.6;
        page_.texts.push_back({PageRole::Text, {x, corner->y}, "N", th_, 0, TextHAlign::Centre, TextVAlign::Top});
        page_.lines.push_back({PageRole::Frame, {{x, top}, {x - w / 2, head}, {x + w / 2, head}}, true});
        page_.areas.push_back({PageRole::Frame, {{x, top}, {x + w / 2, head}, {x, head}}});
        page_.lines.push_back({PageRole::Frame, {{x, head}, {x, corner->y + h}}, false});
    }

    // A ruler of a round length between 15 and 40 mm, with its length written above it.
    void ScaleBar() {
        const double m = view_.mmPerUnit;
        const double length = NiceLength(15 * th_ / 3 / m);
        const double w = length * m, h = th_ * 2.2;
        const auto corner = FreeCorner(w, h, false);
        if (!corner) return;
        const double y = corner->y + h, x0 = corner->x, x1 = corner->x + w;
        const double tick = th_ * 0.5;
        page_.lines.push_back({PageRole::Frame, {{x0, y - tick}, {x0, y}, {x1, y}, {x1, y - tick}}, false});
        page_.lines.push_back({PageRole::Frame, {{(x0 + x1) / 2, y - tick * 0.6}, {(x0 + x1) / 2, y}}, false});
        page_.areas.push_back({PageRole::Frame, {{x0, y - tick * 0.35}, {(x0 + x1) / 2, y - tick * 0.35}, {(x0 + x1) / 2, y}, {x0, y}}});
        page_.texts.push_back({PageRole::Text, {(x0 + x1) / 2, y - tick - th_ * 0.1},
                               SheetNumber(length, SheetValue::Plain) + " " + std::string(LengthUnitSymbol(plan_.Unit())),
                               th_ * 0.9, 0, TextHAlign::Centre, TextVAlign::Bottom});
    }

    // A station chosen elsewhere: a line across the road and its label.
    void Mark(double internal) {
        PlanPose pose;
        try {
            pose = plan_.At(internal);
        } catch (const StationError&) {
            return;
        }
        const PagePoint p = At(pose.at);
        if (!Inside(clip_, p)) return;
        const PagePoint right = RightOf(pose.azimuth);
        const double half = th_ * 2;
        page_.lines.push_back({PageRole::Highlight, {Plus(p, right, -half), Plus(p, right, half)}, false});
        page_.lines.push_back({PageRole::Highlight, Circle(p, th_ * 0.45), true});
        // On the left, where the main points' labels are not.
        const PageText text = Turned({p, {-right.x, -right.y}, half, SheetStation(plan_.LabelOf(internal)), th_,
                                      PageRole::Highlight});
        for (const PageBox& box : Squares(text)) space_.AddBox(box);
        page_.texts.push_back(text);
    }

    const Plan& plan_;
    const PlanFigure& figure_;
    PlanViewport view_;
    Page& page_;
    double th_;
    double tolerance_;  // in the route's unit
    PageBox clip_;
    PlanExtent visible_;
    PageSpace space_;
    std::vector<Label> keyLabels_, tickLabels_;  // kilometre labels first
    std::size_t kmLabels_ = 0;
};

// The table as rules and centred texts, in blocks side by side of at most
// `rowsPerBlock` rows under a header of their own; returns its width.
double DrawTable(Page& page, const std::vector<std::vector<std::string>>& cells, double left, double top,
                 double height, std::size_t rowsPerBlock, bool draw) {
    const std::size_t columns = cells.front().size();
    std::vector<double> widths(columns, 0);
    for (const auto& row : cells)
        for (std::size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], PageTextWidth(row[c], height) + 2 * height);
    double blockWidth = 0;
    for (const double w : widths) blockWidth += w;
    const double rowHeight = height * 2, gap = height * 2;
    const std::size_t rows = cells.size() - 1;
    const std::size_t blocks = std::max<std::size_t>(1, (rows + rowsPerBlock - 1) / rowsPerBlock);
    if (!draw) return static_cast<double>(blocks) * blockWidth + static_cast<double>(blocks - 1) * gap;
    for (std::size_t b = 0; b < blocks; ++b) {
        const double x0 = left + static_cast<double>(b) * (blockWidth + gap);
        std::vector<std::size_t> shown = {0};
        for (std::size_t r = 1 + b * rowsPerBlock; r <= std::min(rows, (b + 1) * rowsPerBlock); ++r) shown.push_back(r);
        const double bottom = top + static_cast<double>(shown.size()) * rowHeight;
        for (std::size_t r = 0; r <= shown.size(); ++r) {
            const double y = top + static_cast<double>(r) * rowHeight;
            page.lines.push_back({r <= 1 || r == shown.size() ? PageRole::Frame : PageRole::Band,
                                  {{x0, y}, {x0 + blockWidth, y}}, false});
        }
        double x = x0;
        for (std::size_t c = 0; c <= columns; ++c) {
            page.lines.push_back({c == 0 || c == columns ? PageRole::Frame : PageRole::Band, {{x, top}, {x, bottom}}, false});
            if (c == columns) break;
            for (std::size_t r = 0; r < shown.size(); ++r)
                page.texts.push_back({PageRole::Text, {x + widths[c] / 2, top + (static_cast<double>(r) + 0.5) * rowHeight},
                                      cells[shown[r]][c], height, 0, TextHAlign::Centre, TextVAlign::Middle});
            x += widths[c];
        }
    }
    return static_cast<double>(blocks) * blockWidth + static_cast<double>(blocks - 1) * gap;
}

}  // namespace

PlanExtent PlanViewport::Visible() const {
    const PlanPoint a = ToWorld({frame.left, frame.bottom}), b = ToWorld({frame.right, frame.top});
    return {a.north, a.east, b.north, b.east};
}

PageWorld PlanViewport::World(LengthUnit unit) const {
    const double u = 1 / mmPerUnit;
    return {centre.east - (frame.left + frame.right) / 2 * u, centre.north + (frame.top + frame.bottom) / 2 * u, u, unit};
}

PlanFigure MakePlanFigure(const Plan& plan) {
    PlanFigure figure;
    figure.extent = Empty();
    if (plan.FromTable()) {
        figure.intersections = plan.CurveTable();
    } else if (const std::optional<IntersectionTable> table = RecoverIntersections(plan)) {
        if (const std::optional<Plan> recovered = Plan::Resolve(*table)) figure.intersections = recovered->CurveTable();
    }
    const auto& elements = plan.Elements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const PlanElement& e = elements[i];
        const double turn = std::fabs(e.k0 + e.k1) / 2 * e.length;
        const int n = e.kind == PlanElementKind::Line ? 1 : static_cast<int>(std::clamp(std::ceil(turn / kExtentChordAngle), 1.0, 4096.0));
        PlanExtent box = Empty();
        for (int j = 0; j <= n; ++j) Take(box, plan.AtInElement(i, j == n ? e.End() : e.start + e.length * j / n).at);
        const double chord = e.length / n;
        box = Grown(box, chord * chord * MaxCurvature(e) / 8 + RoundingTolerance(plan.Unit()));
        figure.elements.push_back(box);
        Take(figure.extent, {box.minNorth, box.minEast});
        Take(figure.extent, {box.maxNorth, box.maxEast});
    }
    if (!figure.intersections.empty()) {
        figure.tangentLine.push_back(plan.At(plan.StartStation()).at);
        for (const CurveTableRow& row : figure.intersections) {
            figure.tangentLine.push_back(row.at);
            Take(figure.extent, row.at);
        }
        figure.tangentLine.push_back(plan.At(plan.EndStation()).at);
    }
    if (elements.empty()) figure.extent = {};
    return figure;
}

PlanViewport FitPlanViewport(const PlanFigure& figure, const PageBox& frame) {
    const PlanExtent& e = figure.extent;
    const double margin = std::min(15.0, std::min(frame.Width(), frame.Height()) / 6);
    const double w = std::max(e.maxEast - e.minEast, 1.0), h = std::max(e.maxNorth - e.minNorth, 1.0);
    PlanViewport view;
    view.frame = frame;
    view.centre = {(e.minNorth + e.maxNorth) / 2, (e.minEast + e.maxEast) / 2};
    view.mmPerUnit = std::max(1e-12, std::min((frame.Width() - 2 * margin) / w, (frame.Height() - 2 * margin) / h));
    return view;
}

Page PlanViewPage(const Plan& plan, const PlanFigure& figure, const PlanViewport& view, double width, double height,
                  const PlanViewOptions& options) {
    Page page;
    page.width = width;
    page.height = height;
    PlanBuilder(plan, figure, view, page, options.textHeight, options.chordTolerance).Draw(options.marked);
    return page;
}

double PaperMmPerUnit(LengthUnit unit, int scale) {
    const UnitInfo& info = InfoOf(UnitOf(unit));
    return 1000.0 * static_cast<double>(info.toMetreNumerator) / static_cast<double>(info.toMetreDenominator) / scale;
}

PlanSheet BuildPlanSheet(const Plan& plan, const PlanFigure& figure, const PlanSheetOptions& options) {
    constexpr double kMargin = 10, kText = 2.5, kPad = 25, kTolerance = 0.01;
    const double m = PaperMmPerUnit(plan.Unit(), std::max(1, options.scale));
    const PlanExtent& e = figure.extent;
    const double titleHeight = kText * 4;
    const double drawWidth = std::max((e.maxEast - e.minEast) * m + 2 * kPad, 160.0);
    const double drawHeight = std::max((e.maxNorth - e.minNorth) * m + 2 * kPad, 120.0);

    TextOptions text;
    const std::vector<std::vector<std::string>> cells = CurveElementCells(figure.intersections, text);
    const bool table = cells.size() > 1;
    const double gap = kText * 2, tableTop = kMargin + titleHeight + gap + kText * 3;
    const double rowRoom = kMargin + titleHeight + drawHeight - gap - tableTop;
    const auto rowsPerBlock = static_cast<std::size_t>(std::max(5.0, std::floor(rowRoom / (kText * 2)) - 1));

    PlanSheet sheet;
    Page& page = sheet.page;
    const double tableWidth = table ? DrawTable(page, cells, 0, 0, kText, rowsPerBlock, false) : 0;
    page.width = 2 * kMargin + drawWidth + (table ? tableWidth + 2 * gap : 0);
    page.height = std::max(2 * kMargin + titleHeight + drawHeight,
                           tableTop + (static_cast<double>(std::min(rowsPerBlock, cells.size() - 1)) + 1) * kText * 2 + gap + kMargin);
    const PageBox outer{kMargin, kMargin, page.width - kMargin, page.height - kMargin};
    const PageBox frame{kMargin, kMargin + titleHeight, kMargin + drawWidth, outer.bottom};
    sheet.view = {frame, {(e.minNorth + e.maxNorth) / 2, (e.minEast + e.maxEast) / 2}, m};
    page.world = sheet.view.World(plan.Unit());

    page.lines.push_back({PageRole::Frame, {{outer.left, outer.top}, {outer.right, outer.top}, {outer.right, outer.bottom}, {outer.left, outer.bottom}}, true});
    page.lines.push_back({PageRole::Frame, {{outer.left, frame.top}, {outer.right, frame.top}}, false});
    if (table) page.lines.push_back({PageRole::Frame, {{frame.right, frame.top}, {frame.right, frame.bottom}}, false});
    const std::string title = options.title.empty() ? std::string("平面图") : options.title;
    page.texts.push_back({PageRole::Text, {(outer.left + outer.right) / 2, kMargin + titleHeight / 2}, title, kText * 2, 0,
                          TextHAlign::Centre, TextVAlign::Middle});
    page.texts.push_back({PageRole::Text, {outer.right - kText, kMargin + titleHeight / 2},
                          "比例 1:" + std::to_string(options.scale), kText * 1.2, 0, TextHAlign::Right, TextVAlign::Middle});
    if (table) {
        const double left = frame.right + gap;
        page.texts.push_back({PageRole::Text, {left, tableTop - kText}, "曲线要素表", kText * 1.4, 0, TextHAlign::Left,
                              TextVAlign::Bottom});
        page.texts.push_back({PageRole::Text, {left + tableWidth, tableTop - kText},
                              "单位：" + std::string(LengthUnitName(plan.Unit())), kText, 0, TextHAlign::Right,
                              TextVAlign::Bottom});
        DrawTable(page, cells, left, tableTop, kText, rowsPerBlock, true);
    }
    PlanBuilder(plan, figure, sheet.view, page, kText, kTolerance).Draw(std::nullopt);
    return sheet;
}

}  // namespace tarnvel
