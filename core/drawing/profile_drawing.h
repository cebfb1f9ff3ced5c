#pragma once
// A profile as a drawing: plain primitives in world coordinates (internal
// station along x, elevation along y), computed once from the profile's
// numbers. The window paints them, the command line writes them as SVG, and
// the geometry is tested without either.
//
// Lines live in world coordinates and stretch with the view; markers, ticks
// and labels are anchored at a world point and drawn at a fixed size on the
// screen, so that text and symbols never stretch with the exaggeration.
//
// Every primitive names the PVI it belongs to as an index into
// Profile::Elements() (the first PVI is 0), or kNoPvi.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/drawing/page.h"
#include "core/profile/profile.h"

namespace tarnvel {

inline constexpr int kNoPvi = -1;

struct WorldPoint {
    double station = 0;  // internal
    double elevation = 0;
};

enum class LineRole {
    Design,   // the design line: grades and curves
    Tangent,  // the grade lines extended through a PVI over its curve (dashed)
};

// The points of one line of the drawing, held in place: a grade line has
// two, a curve and its tangents three, and a file of a million PVIs makes
// three million lines, too many for an allocation each.
class LinePoints {
public:
    static constexpr std::size_t kCapacity = 3;
    LinePoints() = default;
    LinePoints(std::initializer_list<WorldPoint> points) {
        for (const WorldPoint& p : points) push_back(p);
    }
    // A point past the capacity is not kept: no line of the drawing has one.
    void push_back(const WorldPoint& p) {
        if (size_ < kCapacity) points_[size_++] = p;
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const WorldPoint* begin() const { return points_.data(); }
    const WorldPoint* end() const { return points_.data() + size_; }
    const WorldPoint& front() const { return points_[0]; }
    const WorldPoint& back() const { return points_[size_ - 1]; }
    const WorldPoint& operator[](std::size_t i) const { return points_[i]; }

private:
    std::array<WorldPoint, kCapacity> points_{};
    std::uint8_t size_ = 0;
};

struct DrawingPolyline {
    LineRole role = LineRole::Design;
    int pvi = kNoPvi;
    LinePoints points;
};

enum class MarkerKind {
    Pvi,         // a small circle
    CurveStart,  // a short tick across the design line
    CurveEnd,
    HighPoint,   // a small triangle
    LowPoint,
};

struct DrawingMarker {
    MarkerKind kind = MarkerKind::Pvi;
    int pvi = kNoPvi;
    WorldPoint at;
};

enum class LabelRole { Pvi, EndPoint, Grade, Extreme };

// A label of the drawing as numbers: what it describes and where it stands.
// Its text is written by LabelLines only for the labels a page shows, so
// that a drawing holds no text for the thousands of points a view leaves
// out (on a file of a million PVIs, the texts were the bulk of the drawing).
struct DrawingLabel {
    LabelRole role = LabelRole::Pvi;
    int pvi = kNoPvi;  // for a grade: the PVI it starts at (kNoPvi for the first grade)
    WorldPoint anchor;
    double offsetX = 0, offsetY = 0;  // screen pixels, y down, from the anchor
    // Where the text sits relative to its anchor, as on a page: a text
    // above its point has its box's bottom there.
    TextHAlign hAlign = TextHAlign::Centre;
    TextVAlign vAlign = TextVAlign::Bottom;
    std::size_t slot = 0;  // as given to LabelAt
};

// A chain break (断链) marked on the station axis with both its labels.
struct DrawingChainMark {
    double station = 0;       // internal
    std::string back;         // the label behind, K notation
    std::string ahead;        // the label ahead
    std::string description;  // "长链 50.000 m" or "短链 20.000 m"
};

struct WorldBox {
    double minStation = 0, maxStation = 0;
    double minElevation = 0, maxElevation = 0;
};

struct ProfileDrawing {
    std::vector<DrawingPolyline> lines;
    std::vector<DrawingMarker> markers;
    std::vector<DrawingChainMark> chainMarks;
    WorldBox extent;      // of every line and marker
    std::string unit;     // "m", "ft", "ftUS"
    bool Empty() const { return lines.empty(); }
};

// A curve of the design line is held as its start, the PVI's station and its
// end, each on the curve; every output samples the curves it shows at its own
// resolution from the profile, so that the drawing of any file stays small
// (under a kilobyte a PVI) and no curve is drawn coarser than its page shows.
ProfileDrawing BuildDrawing(const Profile& profile);

// The labels of one role, slot by slot in the order a page places them:
// PVI i for Pvi and Extreme (no label where PVI i's curve has no high or
// low point), grade i from the start for Grade, the start then the end for
// EndPoint. Each is made from the profile's numbers when asked for.
std::size_t LabelSlots(const Profile& profile, LabelRole role);
std::optional<DrawingLabel> LabelAt(const Profile& profile, LabelRole role, std::size_t slot);
// The text of a label, top to bottom, UTF-8.
std::vector<std::string> LabelLines(const Profile& profile, const DrawingLabel& label);

// Ticks for the station axis between two internal stations: whole multiples
// of `step` in the labels (K1+100, K1+200, …), region by region between chain
// breaks, so that a tick's text is the label written on the drawings.
struct AxisTick {
    double position = 0;  // internal station, or elevation for the other axis
    std::string text;
};
std::vector<AxisTick> StationTicks(const Profile& profile, double from, double to, double step);
// Ticks at whole multiples of `step` between two elevations, with plain text.
std::vector<AxisTick> ElevationTicks(double from, double to, double step);
// A step of 1, 2 or 5 × 10^n, at least `minimum` (the axes' ticks, the
// sheet's grid); 1 for a minimum that is not a positive number.
double NiceStep(double minimum);

}  // namespace tarnvel
