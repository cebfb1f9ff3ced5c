#include "core/drawing/plot_page.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/drawing/label_layout.h"
#include "core/drawing/plot_axes.h"
#include "core/drawing/plot_legend.h"

namespace tarnvel {
namespace {

constexpr double k = kPlotMmPerPixel;
constexpr double kLineStep = kPlotLineStep;
constexpr double kClearance = kPlotClearance, kSideClearance = 1.5;
// Curves are sampled until no chord lies further than this from the curve,
// and never with more than two chords a pixel across.
constexpr double kSagPixels = 0.1;
constexpr double kChordsPerPixel = 2;
constexpr double kMaxChords = 8192;
// Polylines are cut into pieces of at most this many points: a painter
// strokes many short polylines faster than one that crosses the whole page.
constexpr std::size_t kRunPoints = 64;
constexpr double kMinTangentPixels = 4;
constexpr double kApartPixels = 12;
constexpr double kPviRadius = 3 * k, kSelectedRadius = 5 * k, kTickHalf = 6 * k;

struct Block {
    std::vector<std::string> lines;
    PageRole role = PageRole::Text;
    TextHAlign hAlign = TextHAlign::Centre;
};

double BlockWidth(const Block& block) {
    double width = 0;
    for (const auto& line : block.lines) width = std::max(width, PageTextWidth(line, kPlotTextHeight));
    return width;
}

PageBox BlockBox(const Block& block, double width, double x, double top) {
    double left = x;
    if (block.hAlign == TextHAlign::Centre) left -= width / 2;
    if (block.hAlign == TextHAlign::Right) left -= width;
    const double height = kLineStep * static_cast<double>(block.lines.size()) - (kLineStep - kPlotTextHeight);
    return {left, top, left + width, top + height};
}

double BlockHeight(std::size_t lines) { return kLineStep * static_cast<double>(lines) - (kLineStep - kPlotTextHeight); }

class Builder {
public:
    Builder(const Profile& profile, const ProfileDrawing& drawing, const ViewTransform& view, const DeviceRect& page,
            int selectedPvi, const DrawnGround* ground)
        : profile_(profile),
          drawing_(drawing),
          ground_(ground && ground->line && ground->line->Stations().size() >= 2 ? ground : nullptr),
          view_(view),
          device_(page),
          deviceFrame_(PlotFrame(page)),
          visible_(view.Visible(deviceFrame_)),
          selected_(selectedPvi),
          whole_{0, 0, page.width * k, page.height * k},
          frame_(PlotFrameOnPage(page)),
          space_(whole_) {
        page_.width = whole_.right;
        page_.height = whole_.bottom;
    }

    Page Build() {
        const PlotAxes axes = AxesFor(profile_, view_, deviceFrame_);
        Grid(axes);
        ChainLines();
        if (ground_) {
            FillAndCut();
            GroundLineRuns();
        }
        Lines(LineRole::Tangent, kNoPvi, PageRole::Tangent);
        Lines(LineRole::Design, kNoPvi, PageRole::DesignLine);
        if (selected_ != kNoPvi) Lines(LineRole::Design, selected_, PageRole::Highlight);
        Markers();
        if (ground_) ZeroMarks();
        page_.lines.push_back({PageRole::Frame,
                               {{frame_.left, frame_.top}, {frame_.right, frame_.top}, {frame_.right, frame_.bottom},
                                {frame_.left, frame_.bottom}},
                               true});
        EndLabels();
        // The legend takes a free place inside the frame before the labels
        // do; failing that, room above the frame once the axes have theirs.
        const bool legend = ground_ && PlaceLegendInFrame(page_, space_, frame_);
        AxisTexts(axes);
        ChainTexts();
        if (ground_ && !legend) PlaceLegendAboveFrame(page_, space_, frame_, whole_);
        for (const LabelRole role : {LabelRole::Pvi, LabelRole::Extreme, LabelRole::Grade}) Labels(role);
        return std::move(page_);
    }

private:
    PagePoint ToPage(DevicePoint d) const { return {(d.x - device_.left) * k, (d.y - device_.top) * k}; }
    PagePoint At(WorldPoint w) const { return ToPage(view_.ToDevice(w)); }
    bool InFrame(WorldPoint w) const {
        const PagePoint p = At(w);
        return p.x >= frame_.left && p.x <= frame_.right && p.y >= frame_.top && p.y <= frame_.bottom;
    }

    // A tick the rounding of far-off numbers puts outside the frame is left out.
    void Grid(const PlotAxes& axes) {
        for (const auto& t : axes.stations) {
            const double x = At({t.position, 0}).x;
            if (x >= frame_.left && x <= frame_.right)
                page_.lines.push_back({PageRole::Grid, {{x, frame_.top}, {x, frame_.bottom}}, false});
        }
        for (const auto& t : axes.elevations) {
            const double y = At({0, t.position}).y;
            if (y >= frame_.top && y <= frame_.bottom)
                page_.lines.push_back({PageRole::Grid, {{frame_.left, y}, {frame_.right, y}}, false});
        }
    }

    void ChainLines() {
        for (const auto& c : drawing_.chainMarks) {
            const double x = At({c.station, 0}).x;
            if (!(x >= frame_.left && x <= frame_.right)) continue;
            std::vector<PagePoint> line{{x, frame_.top}, {x, frame_.bottom}};
            space_.AddPolyline(line);
            page_.lines.push_back({PageRole::ChainBreak, std::move(line), false});
        }
    }

    // A curve sampled afresh for this view: within the visible stations, as
    // finely as the pixels need and no finer.
    // The cursor walks the curves in order along the road.
    void SampleCurve(const CurveElementsRow& e, ProfileCursor& cursor, std::vector<WorldPoint>& out) const {
        const double lo = std::max(e.startStation, visible_.minStation);
        const double hi = std::min(e.endStation, visible_.maxStation);
        if (!(lo < hi)) return;
        const double pixelsPerUnit = view_.Scale() * view_.Exaggeration();
        const double split = std::clamp(e.pviStation, lo, hi);
        for (const auto& [from, to] : {std::pair{lo, split}, std::pair{split, hi}}) {
            if (!(to > from)) continue;
            const double zFrom = cursor.At(from).elevation;
            const double zMiddle = cursor.At(from + (to - from) / 2).elevation;
            const double zTo = cursor.At(to).elevation;
            // Within one piece the sag of a chord grows with the square of
            // its length; the factor 2 covers the arc.
            const double sag = std::fabs(zMiddle - (zFrom + zTo) / 2) * pixelsPerUnit;
            double chords = std::ceil(std::sqrt(2 * sag / kSagPixels));
            chords = std::min(chords, std::ceil((to - from) * view_.Scale() * kChordsPerPixel));
            if (!std::isfinite(chords)) chords = 1;
            const int n = static_cast<int>(std::clamp(chords, 1.0, kMaxChords));
            if (out.empty()) out.push_back({from, zFrom});
            for (int i = 1; i < n; ++i) {
                const double s = from + (to - from) * i / n;
                out.push_back({s, cursor.At(s).elevation});
            }
            out.push_back({to, zTo});
        }
    }

    // The lines of one role (of one PVI, or of all), cut to the frame and
    // decimated, as runs of page points.
    void Lines(LineRole role, int onlyPvi, PageRole pageRole) {
        std::vector<PagePoint> run;
        std::vector<WorldPoint> sampled;
        ProfileCursor cursor(profile_);
        auto flush = [&] {
            if (run.size() >= 2) Emit(Thinned(run, k), pageRole);
            run.clear();
        };
        for (const auto& line : drawing_.lines) {
            if (line.role != role || line.points.size() < 2) continue;
            if (onlyPvi != kNoPvi && line.pvi != onlyPvi) continue;
            if (line.points.back().station < visible_.minStation || line.points.front().station > visible_.maxStation)
                continue;
            // A tangent narrower than a few pixels is lost in its curve's stroke.
            if (role == LineRole::Tangent &&
                (line.points.back().station - line.points.front().station) * view_.Scale() < kMinTangentPixels)
                continue;
            std::span<const WorldPoint> points(line.points.begin(), line.points.size());
            if (role == LineRole::Design && line.pvi != kNoPvi &&
                line.pvi < static_cast<int>(profile_.Elements().size())) {
                sampled.clear();
                SampleCurve(profile_.Elements()[static_cast<std::size_t>(line.pvi)], cursor, sampled);
                if (sampled.size() < 2) continue;
                points = sampled;
            }
            DevicePoint a = view_.ToDevice(points.front());
            for (std::size_t i = 1; i < points.size(); ++i) {
                const DevicePoint b = view_.ToDevice(points[i]);
                AddClipped(a, b, run, flush);
                a = b;
            }
            // Tangents are separate lines; the design line runs on from one piece to the next.
            if (role == LineRole::Tangent) flush();
        }
        flush();
    }

    // The segment a–b cut to the frame, added to the run; where the line
    // left the frame and comes back, `flush` ends the run and a new one begins.
    template <typename Flush>
    void AddClipped(DevicePoint a, DevicePoint b, std::vector<PagePoint>& run, Flush&& flush) const {
        if (!ClipSegment(a, b, deviceFrame_)) {
            flush();
            return;
        }
        const PagePoint pa = ToPage(a);
        if (run.empty() || !(run.back() == pa)) {
            if (!run.empty() && (std::fabs(run.back().x - pa.x) > 1e-9 || std::fabs(run.back().y - pa.y) > 1e-9))
                flush();
            run.push_back(pa);
        }
        run.push_back(ToPage(b));
    }

    void Emit(const std::vector<PagePoint>& points, PageRole role) {
        if (role != PageRole::Highlight) space_.AddPolyline(points);
        for (std::size_t from = 0; from + 1 < points.size(); from += kRunPoints - 1) {
            const std::size_t to = std::min(points.size(), from + kRunPoints);
            page_.lines.push_back({role, {points.begin() + static_cast<std::ptrdiff_t>(from),
                                          points.begin() + static_cast<std::ptrdiff_t>(to)},
                                   false});
        }
    }

    // The ground's points in view and one on either side, so that the line
    // runs on to the frame.
    std::pair<std::size_t, std::size_t> GroundInView() const {
        const auto& s = ground_->line->Stations();
        auto first = std::upper_bound(s.begin(), s.end(), visible_.minStation);
        auto last = std::lower_bound(first, s.end(), visible_.maxStation);
        const auto from = static_cast<std::size_t>(first - s.begin());
        const auto to = static_cast<std::size_t>(last - s.begin());
        return {from == 0 ? 0 : from - 1, std::min(to + 1, s.size())};
    }

    void GroundLineRuns() {
        const auto& s = ground_->line->Stations();
        const auto& z = ground_->line->Elevations();
        const auto [from, to] = GroundInView();
        if (to - from < 2) return;
        std::vector<PagePoint> run;
        auto flush = [&] {
            if (run.size() >= 2) Emit(Thinned(run, k), PageRole::GroundLine);
            run.clear();
        };
        DevicePoint a = view_.ToDevice({s[from], z[from]});
        for (std::size_t i = from + 1; i < to; ++i) {
            const DevicePoint b = view_.ToDevice({s[i], z[i]});
            AddClipped(a, b, run, flush);
            a = b;
        }
        flush();
    }

    // Fill and cut between the two lines, one area for each stretch between
    // zero points, sampled about once a pixel column: at the grid of columns,
    // at the ground's points and the design's breaks where they are no
    // denser than the columns, and at the ends of each stretch.
    void FillAndCut() {
        const double lo = std::max(ground_->line->StartStation(), visible_.minStation);
        const double hi = std::min(ground_->line->EndStation(), visible_.maxStation);
        const double scale = view_.Scale();
        const double columns = std::ceil((hi - lo) * scale);
        if (!(lo < hi) || !std::isfinite(columns)) return;
        const auto n = static_cast<std::size_t>(std::clamp(columns, 1.0, 1e5));
        const double narrowest = 0.25 / scale;  // a stretch narrower than a quarter pixel shows no area

        auto& stretches = ground_->stretches;
        const auto firstStretch = std::lower_bound(stretches.begin(), stretches.end(), lo,
                                                   [](const FillCutStretch& st, double v) { return st.to < v; });
        std::vector<const FillCutStretch*> shaded;
        std::vector<double> at;
        for (auto st = firstStretch; st != stretches.end() && st->from <= hi; ++st) {
            const double a = std::max(st->from, lo), b = std::min(st->to, hi);
            if (st->sign == FillCutSign::OnGround || !(b - a >= narrowest)) continue;
            shaded.push_back(&*st);
            at.push_back(a);
            at.push_back(b);
        }
        if (shaded.empty()) return;
        for (std::size_t i = 0; i <= n; ++i)
            at.push_back(i == n ? hi : lo + (hi - lo) * static_cast<double>(i) / static_cast<double>(n));
        const auto& gs = ground_->line->Stations();
        const auto g0 = std::upper_bound(gs.begin(), gs.end(), lo), g1 = std::lower_bound(g0, gs.end(), hi);
        if (static_cast<std::size_t>(g1 - g0) <= 2 * n) at.insert(at.end(), g0, g1);
        const auto& rows = profile_.Elements();
        const auto r0 = std::lower_bound(rows.begin(), rows.end(), lo,
                                         [](const CurveElementsRow& r, double v) { return r.endStation < v; });
        const auto r1 = std::upper_bound(r0, rows.end(), hi,
                                         [](double v, const CurveElementsRow& r) { return v < r.startStation; });
        if (static_cast<std::size_t>(r1 - r0) <= n)
            for (auto r = r0; r != r1; ++r)
                for (const double s : {r->startStation, r->pviStation, r->endStation})
                    if (s > lo && s < hi) at.push_back(s);
        std::sort(at.begin(), at.end());
        at.erase(std::unique(at.begin(), at.end()), at.end());

        struct Sample {
            double s;
            DevicePoint design, ground;
        };
        std::vector<Sample> samples;
        samples.reserve(at.size());
        ProfileCursor design(profile_);
        GroundCursor ground(*ground_->line);
        for (const double s : at) {
            const std::optional<double> g = ground.At(s);
            if (!g) continue;
            samples.push_back({s, view_.ToDevice({s, design.At(s).elevation}), view_.ToDevice({s, *g})});
        }
        std::size_t i = 0;
        std::vector<DevicePoint> outline;
        for (const FillCutStretch* st : shaded) {
            const double a = std::max(st->from, lo), b = std::min(st->to, hi);
            while (i < samples.size() && samples[i].s < a) ++i;
            std::size_t j = i;
            while (j < samples.size() && samples[j].s <= b) ++j;
            if (j - i < 2) continue;
            outline.clear();
            for (std::size_t m = i; m < j; ++m) outline.push_back(samples[m].design);
            for (std::size_t m = j; m-- > i;) outline.push_back(samples[m].ground);
            std::vector<PagePoint> area;
            for (const DevicePoint& d : ClipPolygon(outline, deviceFrame_)) area.push_back(ToPage(d));
            if (area.size() >= 3)
                page_.areas.push_back({st->sign == FillCutSign::Fill ? PageRole::Fill : PageRole::Cut, std::move(area)});
            i = j == 0 ? 0 : j - 1;  // the next stretch starts where this one ends
        }
    }

    // Each 填挖交界 on the design line as a small diamond; one that would
    // touch the mark before it is left out.
    void ZeroMarks() {
        const auto& zeros = ground_->zeroPoints;
        auto z = std::lower_bound(zeros.begin(), zeros.end(), visible_.minStation);
        ProfileCursor design(profile_);
        double lastX = -INFINITY;
        for (; z != zeros.end() && *z <= visible_.maxStation; ++z) {
            const PagePoint p = At({*z, design.At(*z).elevation});
            if (!(p.x >= frame_.left && p.x <= frame_.right && p.y >= frame_.top && p.y <= frame_.bottom)) continue;
            if (p.x - lastX < 2 * kZeroMarkRadius) continue;
            const PageBox box{p.x - kZeroMarkRadius, p.y - kZeroMarkRadius, p.x + kZeroMarkRadius, p.y + kZeroMarkRadius};
            if (!whole_.Contains(box)) continue;
            lastX = p.x;
            space_.AddBox(box);
            page_.lines.push_back({PageRole::GroundLine, ZeroMarkOutline(p), true});
        }
    }

    static std::vector<PagePoint> Octagon(PagePoint c, double r) {
        std::vector<PagePoint> points;
        for (int i = 0; i < 8; ++i) {
            const double a = (i + 0.5) * 3.14159265358979323846 / 4;
            points.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
        }
        return points;
    }

    // Marks drawn on top of one another say nothing more: a mark whose box
    // another mark already covers is left out.
    void Markers() {
        PageSpace marks(frame_);
        for (const auto& m : drawing_.markers) {
            if (!InFrame(m.at)) continue;
            const PagePoint p = At(m.at);
            const double r = m.kind == MarkerKind::Pvi ? kPviRadius : kTickHalf;
            const PageBox box{p.x - r, p.y - r, p.x + r, p.y + r};
            const bool selected = m.pvi == selected_ && m.kind == MarkerKind::Pvi &&
                                  whole_.Contains(box.Grown(kSelectedRadius - r));
            // A mark near the frame may reach over it, never off the page.
            if (!whole_.Contains(box) || (!selected && !marks.FreeOfBoxes(box))) continue;
            marks.AddBox(box);
            space_.AddBox(box);
            switch (m.kind) {
                case MarkerKind::Pvi:
                    page_.lines.push_back({PageRole::Curve, Octagon(p, kPviRadius), true});
                    if (selected) page_.lines.push_back({PageRole::Highlight, Octagon(p, kSelectedRadius), true});
                    break;
                case MarkerKind::CurveStart:
                case MarkerKind::CurveEnd:
                    page_.lines.push_back({PageRole::Curve, {{p.x, p.y - kTickHalf}, {p.x, p.y + kTickHalf}}, false});
                    break;
                case MarkerKind::HighPoint:
                case MarkerKind::LowPoint: {
                    const double s = m.kind == MarkerKind::HighPoint ? -1 : 1;  // the tip points away from the curve
                    page_.lines.push_back(
                        {PageRole::Curve, {p, {p.x - 4 * k, p.y - s * 7 * k}, {p.x + 4 * k, p.y - s * 7 * k}}, true});
                    break;
                }
            }
        }
    }

    // Places a block of lines with its top at `top` when the place is within
    // `area` and free; lines are avoided unless `overLines`.
    bool TryPlace(const Block& block, double x, double top, const PageBox& area, bool overLines = false) {
        return TryPlace(block, BlockWidth(block), x, top, area, overLines);
    }
    bool TryPlace(const Block& block, double width, double x, double top, const PageBox& area, bool overLines = false) {
        const PageBox box = BlockBox(block, width, x, top);
        if (!area.Contains(box)) return false;
        // Wider apart side by side than above each other, so that two labels
        // on one line never read as one.
        const PageBox clear{box.left - kSideClearance, box.top - kClearance, box.right + kSideClearance,
                            box.bottom + kClearance};
        if (!space_.FreeOfBoxes(clear) || (!overLines && !space_.FreeOfSegments(clear))) return false;
        space_.AddBox(box);
        for (std::size_t i = 0; i < block.lines.size(); ++i)
            page_.texts.push_back({block.role, {x, top + kLineStep * static_cast<double>(i)}, block.lines[i],
                                   kPlotTextHeight, 0, block.hAlign, TextVAlign::Top});
        return true;
    }

    // The places a label of the drawing may take, best first: on its own
    // side of the point, then further out, then on the other side, each
    // centred on the point and then beside it.
    bool PlaceLabel(const DrawingLabel& label, std::vector<std::string> lines, PageRole role) {
        const PagePoint anchor = At(label.anchor);
        const double gap = std::fabs(label.offsetY) * k;
        const double height = BlockHeight(lines.size());
        const bool above = label.vAlign == TextVAlign::Bottom;
        Block block{std::move(lines), role, label.hAlign};
        const TextHAlign first = block.hAlign;
        const double width = BlockWidth(block);
        for (const bool up : {above, !above}) {
            for (const double out : {0.0, 1.5, 3.0}) {
                const double distance = gap + out * kLineStep;
                const double top = up ? anchor.y - distance - height : anchor.y + distance;
                for (const TextHAlign h : {first, TextHAlign::Centre, TextHAlign::Left, TextHAlign::Right}) {
                    if (h != first && h == TextHAlign::Centre && first == TextHAlign::Centre) continue;
                    block.hAlign = h;
                    const double x = h == TextHAlign::Left ? anchor.x + 1 : h == TextHAlign::Right ? anchor.x - 1 : anchor.x;
                    if (TryPlace(block, width, x, top, frame_)) return true;
                }
            }
        }
        return false;
    }

    // The station of PVI i, where the start counts as PVI −1 and the end as
    // the PVI after the last.
    double PviStation(int i) const {
        const auto& elements = profile_.Elements();
        if (i < 0) return profile_.StartStation();
        if (i >= static_cast<int>(elements.size())) return profile_.EndStation();
        return elements[static_cast<std::size_t>(i)].pviStation;
    }

    // A label is shown only where what it describes stands apart on the
    // page: a PVI from its neighbours, a grade by its length. A view of a
    // thousand PVIs a pixel apart shows the line, not texts of points no one
    // could tell apart.
    bool StandsApart(const DrawingLabel& label) const {
        const double scale = view_.Scale();
        if (label.role == LabelRole::Grade)
            return (PviStation(label.pvi + 1) - PviStation(label.pvi)) * scale >= kApartPixels;
        return (PviStation(label.pvi) - PviStation(label.pvi - 1)) * scale >= kApartPixels &&
               (PviStation(label.pvi + 1) - PviStation(label.pvi)) * scale >= kApartPixels;
    }

    // A label's text is written only once its place is known to be in view.
    // Only the slots of the PVIs in view (and two beyond on each side, whose
    // grades or curves may reach in) are looked at, and a label that cannot
    // stand apart is not made at all: the first view of a long road shows it
    // whole, with its PVIs a fraction of a pixel apart.
    void Labels(LabelRole role) {
        const auto& elements = profile_.Elements();
        const double pad = std::max((visible_.maxStation - visible_.minStation) * 1e-6, 1e-3);
        const auto firstIn = std::lower_bound(elements.begin(), elements.end(), visible_.minStation - pad,
                                              [](const CurveElementsRow& e, double s) { return e.pviStation < s; });
        const auto pastIn = std::upper_bound(firstIn, elements.end(), visible_.maxStation + pad,
                                             [](double s, const CurveElementsRow& e) { return s < e.pviStation; });
        const auto firstSlot = static_cast<std::size_t>(std::max<std::ptrdiff_t>(firstIn - elements.begin() - 2, 0));
        const std::size_t slots = std::min(LabelSlots(profile_, role),
                                           static_cast<std::size_t>(pastIn - elements.begin()) + 2);
        for (std::size_t slot = firstSlot; slot < slots; ++slot) {
            DrawingLabel apart;  // what StandsApart reads: the role and the PVI
            apart.role = role;
            apart.pvi = static_cast<int>(slot) - (role == LabelRole::Grade ? 1 : 0);
            if (!StandsApart(apart)) continue;
            const auto label = LabelAt(profile_, role, slot);
            if (!label || !InFrame(label->anchor)) continue;
            auto lines = LabelLines(profile_, *label);
            if (lines.empty()) continue;
            PageRole pageRole = PageRole::Text;
            if (role == LabelRole::Pvi && label->pvi == selected_ && selected_ != kNoPvi) pageRole = PageRole::Highlight;
            PlaceLabel(*label, std::move(lines), pageRole);
        }
    }

    // 起点 and 终点 are never left out while the point is in view: where no
    // place beside the point is free, the label moves up or down the page
    // above the point, over the frame if need be, and at last over a line.
    void EndLabels() {
        for (std::size_t slot = 0; slot < LabelSlots(profile_, LabelRole::EndPoint); ++slot) {
            const auto label = LabelAt(profile_, LabelRole::EndPoint, slot);
            if (!label || !InFrame(label->anchor)) continue;
            auto lines = LabelLines(profile_, *label);
            if (lines.empty() || PlaceLabel(*label, lines, PageRole::Text)) continue;
            const PagePoint anchor = At(label->anchor);
            const double height = BlockHeight(lines.size());
            const Block block{std::move(lines), PageRole::Text, label->hAlign};
            const double start = anchor.y - std::fabs(label->offsetY) * k - height;
            const int steps = static_cast<int>(std::ceil(whole_.Height() / kLineStep * 2)) + 1;
            bool placed = false;
            for (const bool overLines : {false, true}) {
                for (int i = 0; i <= steps && !placed; ++i) {
                    const double shift = (i + 1) / 2 * kLineStep * 0.5 * (i % 2 ? -1 : 1);
                    placed = TryPlace(block, anchor.x, start + shift, whole_, overLines);
                }
                if (placed) break;
            }
        }
    }

    void AxisTexts(const PlotAxes& axes) {
        for (const auto& t : axes.stations)
            TryPlace({{t.text}, PageRole::Text, TextHAlign::Centre}, At({t.position, 0}).x, frame_.bottom + 1, whole_, true);
        for (const auto& t : axes.elevations)
            TryPlace({{t.text}, PageRole::Text, TextHAlign::Right}, frame_.left - 1.5,
                     At({0, t.position}).y - kPlotTextHeight / 2, whole_, true);
        TryPlace({{"桩号"}, PageRole::Text, TextHAlign::Centre}, frame_.left + frame_.Width() / 2,
                 frame_.bottom + 1 + kLineStep, whole_, true);
        TryPlace({{"高程 (" + drawing_.unit + ")"}, PageRole::Text, TextHAlign::Right}, frame_.left - 1.5,
                 frame_.top - 1 - kPlotTextHeight, whole_, true);
    }

    // A chain break's two labels and its length above the frame; where breaks
    // lie close together the later one moves up, or is left out.
    void ChainTexts() {
        for (const auto& c : drawing_.chainMarks) {
            const double x = At({c.station, 0}).x;
            if (!(x >= frame_.left && x <= frame_.right)) continue;
            const Block block{{c.back + "=" + c.ahead, c.description}, PageRole::ChainBreak, TextHAlign::Centre};
            const double top = frame_.top - 0.5 - BlockHeight(2);
            TryPlace(block, x, top, whole_, true);
        }
    }

    const Profile& profile_;
    const ProfileDrawing& drawing_;
    const DrawnGround* ground_;
    ViewTransform view_;
    DeviceRect device_, deviceFrame_;
    WorldBox visible_;
    int selected_;
    PageBox whole_, frame_;
    PageSpace space_;
    Page page_;
};

}  // namespace

ViewTransform FitPlotView(const WorldBox& extent, const DeviceRect& page, double exaggeration) {
    const DeviceRect frame = PlotFrame(page);
    // A margin inside the frame keeps the end points and their labels clear of it.
    constexpr double margin = 24;
    const DeviceRect inner{frame.left + margin, frame.top + margin, std::max(1.0, frame.width - 2 * margin),
                           std::max(1.0, frame.height - 2 * margin)};
    return ViewTransform::Fit(extent, inner, exaggeration);
}

PageBox PlotFrameOnPage(const DeviceRect& page) {
    const DeviceRect f = PlotFrame(page);
    return {(f.left - page.left) * k, (f.top - page.top) * k, (f.left - page.left + f.width) * k,
            (f.top - page.top + f.height) * k};
}

Page PlotPage(const Profile& profile, const ProfileDrawing& drawing, const ViewTransform& view, const DeviceRect& page,
              int selectedPvi, const DrawnGround* ground) {
    return Builder(profile, drawing, view, page, selectedPvi, ground).Build();
}

WorldBox PlotExtent(const ProfileDrawing& drawing, const DrawnGround* ground) {
    WorldBox box = drawing.extent;
    if (!ground || !ground->line || ground->line->Stations().empty() || drawing.Empty()) return box;
    box.minStation = std::min(box.minStation, ground->line->StartStation());
    box.maxStation = std::max(box.maxStation, ground->line->EndStation());
    box.minElevation = std::min(box.minElevation, ground->minElevation);
    box.maxElevation = std::max(box.maxElevation, ground->maxElevation);
    return box;
}

}  // namespace tarnvel
