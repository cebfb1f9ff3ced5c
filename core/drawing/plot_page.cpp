#include "core/drawing/plot_page.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/drawing/label_layout.h"
#include "core/drawing/plot_axes.h"

namespace tarnvel {
namespace {

constexpr double k = kPlotMmPerPixel;
constexpr double kLineStep = kPlotTextHeight * 1.2;  // from one line of a label to the next
// Placed texts keep this far from each other and from the lines, so that
// nothing even touches.
constexpr double kClearance = 0.4, kSideClearance = 1.5;
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

TextHAlign PageAlign(HAlign h) {
    return h == HAlign::Left ? TextHAlign::Left : h == HAlign::Right ? TextHAlign::Right : TextHAlign::Centre;
}

// Keeps, of each run of points within one column of the output's
// resolution, the first, the lowest, the highest and the last: the line
// still covers every pixel it covered, with a handful of points a column
// however many the profile gave.
std::vector<PagePoint> Decimated(const std::vector<PagePoint>& in, double resolution) {
    std::vector<PagePoint> out;
    out.reserve(std::min<std::size_t>(in.size(), 4096));
    auto keep = [&out](const PagePoint& p) {
        if (out.empty() || !(out.back() == p)) out.push_back(p);
    };
    std::size_t i = 0;
    while (i < in.size()) {
        const double column = std::floor(in[i].x / resolution);
        std::size_t j = i + 1, low = i, high = i;
        while (j < in.size() && std::floor(in[j].x / resolution) == column) {
            if (in[j].y < in[low].y) low = j;
            if (in[j].y > in[high].y) high = j;
            ++j;
        }
        keep(in[i]);
        keep(in[std::min(low, high)]);
        keep(in[std::max(low, high)]);
        keep(in[j - 1]);
        i = j;
    }
    return out;
}

// Cuts a segment to the box (Liang and Barsky); false when nothing of it is inside.
bool Clip(DevicePoint& a, DevicePoint& b, const DeviceRect& box) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return false;
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0, t1 = 1;
    auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, a.x - box.left) || !edge(dx, box.left + box.width - a.x) || !edge(-dy, a.y - box.top) ||
        !edge(dy, box.top + box.height - a.y))
        return false;
    const DevicePoint start = a;
    if (t0 > 0) a = {start.x + dx * t0, start.y + dy * t0};
    if (t1 < 1) b = {start.x + dx * t1, start.y + dy * t1};
    return true;
}

class Builder {
public:
    Builder(const Profile& profile, const ProfileDrawing& drawing, const ViewTransform& view, const DeviceRect& page,
            int selectedPvi)
        : profile_(profile),
          drawing_(drawing),
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
        Lines(LineRole::Tangent, kNoPvi, PageRole::Tangent);
        Lines(LineRole::Design, kNoPvi, PageRole::DesignLine);
        if (selected_ != kNoPvi) Lines(LineRole::Design, selected_, PageRole::Highlight);
        Markers();
        page_.lines.push_back({PageRole::Frame,
                               {{frame_.left, frame_.top}, {frame_.right, frame_.top}, {frame_.right, frame_.bottom},
                                {frame_.left, frame_.bottom}},
                               true});
        EndLabels();
        AxisTexts(axes);
        ChainTexts();
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
    void SampleCurve(const CurveElementsRow& e, std::vector<WorldPoint>& out) const {
        const double lo = std::max(e.startStation, visible_.minStation);
        const double hi = std::min(e.endStation, visible_.maxStation);
        if (!(lo < hi)) return;
        const double pixelsPerUnit = view_.Scale() * view_.Exaggeration();
        const double split = std::clamp(e.pviStation, lo, hi);
        for (const auto& [from, to] : {std::pair{lo, split}, std::pair{split, hi}}) {
            if (!(to > from)) continue;
            const double zFrom = profile_.At(from).elevation, zTo = profile_.At(to).elevation;
            const double zMiddle = profile_.At(from + (to - from) / 2).elevation;
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
                out.push_back({s, profile_.At(s).elevation});
            }
            out.push_back({to, zTo});
        }
    }

    // The lines of one role (of one PVI, or of all), cut to the frame and
    // decimated, as runs of page points.
    void Lines(LineRole role, int onlyPvi, PageRole pageRole) {
        std::vector<PagePoint> run;
        std::vector<WorldPoint> sampled;
        auto flush = [&] {
            if (run.size() >= 2) Emit(Decimated(run, k), pageRole);
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
            const std::vector<WorldPoint>* points = &line.points;
            if (role == LineRole::Design && line.pvi != kNoPvi &&
                line.pvi < static_cast<int>(profile_.Elements().size())) {
                sampled.clear();
                SampleCurve(profile_.Elements()[static_cast<std::size_t>(line.pvi)], sampled);
                if (sampled.size() < 2) continue;
                points = &sampled;
            }
            DevicePoint a = view_.ToDevice(points->front());
            for (std::size_t i = 1; i < points->size(); ++i) {
                const DevicePoint b = view_.ToDevice((*points)[i]);
                DevicePoint ca = a, cb = b;
                if (Clip(ca, cb, deviceFrame_)) {
                    const PagePoint pa = ToPage(ca);
                    if (run.empty() || !(run.back() == pa)) {
                        // Where the line left the frame and comes back, a new run begins.
                        if (!run.empty() && (std::fabs(run.back().x - pa.x) > 1e-9 || std::fabs(run.back().y - pa.y) > 1e-9))
                            flush();
                        run.push_back(pa);
                    }
                    run.push_back(ToPage(cb));
                } else {
                    flush();
                }
                a = b;
            }
            // Tangents are separate lines; the design line runs on from one piece to the next.
            if (role == LineRole::Tangent) flush();
        }
        flush();
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
    bool PlaceLabel(const DrawingLabel& label, PageRole role) {
        const PagePoint anchor = At(label.anchor);
        const double gap = std::fabs(label.offsetY) * k;
        const double height = BlockHeight(label.lines.size());
        const bool above = label.vAlign == VAlign::Above;
        Block block{label.lines, role, PageAlign(label.hAlign)};
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

    void Labels(LabelRole role) {
        for (const auto& label : drawing_.labels) {
            if (label.role != role || label.lines.empty() || !InFrame(label.anchor) || !StandsApart(label)) continue;
            PageRole pageRole = PageRole::Text;
            if (role == LabelRole::Pvi && label.pvi == selected_ && selected_ != kNoPvi) pageRole = PageRole::Highlight;
            PlaceLabel(label, pageRole);
        }
    }

    // 起点 and 终点 are never left out while the point is in view: where no
    // place beside the point is free, the label moves up or down the page
    // above the point, over the frame if need be, and at last over a line.
    void EndLabels() {
        for (const auto& label : drawing_.labels) {
            if (label.role != LabelRole::EndPoint || label.lines.empty() || !InFrame(label.anchor)) continue;
            if (PlaceLabel(label, PageRole::Text)) continue;
            const PagePoint anchor = At(label.anchor);
            const Block block{label.lines, PageRole::Text, PageAlign(label.hAlign)};
            const double height = BlockHeight(label.lines.size());
            const double start = anchor.y - std::fabs(label.offsetY) * k - height;
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
              int selectedPvi) {
    return Builder(profile, drawing, view, page, selectedPvi).Build();
}

}  // namespace tarnvel
