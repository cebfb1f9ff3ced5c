#include "core/drawing/profile_drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/calculator/number_text.h"
#include "core/text/output_vocabulary.h"

namespace tarnvel {
namespace {

constexpr double kLabelGap = 10;  // pixels between a point and its label

std::string KText(const Profile& profile, double internal) {
    return FormatStation(profile.LabelOf(internal), StationStyle::K, 3);
}

// A curve is kept as its start, the PVI's station and its end, each on the
// curve: enough to find it in a view and to bound it, since the curve lies
// within the triangle of its tangents, which the drawing holds too. Every
// output samples the curves it shows at its own resolution (plot_page.h), so
// a sampled copy here would only cost memory: on a file of a million PVIs,
// more than all the rest of the drawing.
void CurvePoints(ProfileCursor& cursor, double from, double split, double to, LinePoints& out) {
    for (const double s : {from, split, to}) {
        if (out.empty() || s > out.back().station) out.push_back({s, cursor.At(s).elevation});
    }
}

std::string GradeText(double grade) { return FixedText(grade, kDrawingGradeDecimals) + "%"; }

// The points of the profile: start, each PVI, end (point i is PVI i − 1),
// with the grade that leaves each of them.
struct GradePoint {
    double station = 0, elevation = 0;
    double gradeOut = 0;
};

GradePoint GradePointAt(const Profile& profile, std::size_t i) {
    const auto& elements = profile.Elements();
    if (i == 0) {
        const double start = profile.StartStation();
        return {start, profile.Model().points.front().elevation,
                elements.empty() ? profile.At(start).grade : elements.front().gradeIn};
    }
    if (i <= elements.size()) {
        const auto& e = elements[i - 1];
        return {e.pviStation, e.pviElevation, e.gradeOut};
    }
    return {profile.EndStation(), profile.Model().points.back().elevation, 0};
}

void AddDesignLine(const Profile& profile, ProfileDrawing& drawing) {
    const auto& elements = profile.Elements();
    ProfileCursor cursor(profile);
    double station = profile.StartStation();
    double elevation = profile.Model().points.front().elevation;
    auto gradeLineTo = [&](double toStation, double toElevation) {
        if (toStation > station)
            drawing.lines.push_back({LineRole::Design, kNoPvi, {{station, elevation}, {toStation, toElevation}}});
        station = toStation;
        elevation = toElevation;
    };
    for (std::size_t k = 0; k < elements.size(); ++k) {
        const auto& e = elements[k];
        const int pvi = static_cast<int>(k);
        if (!(e.length > 0)) {
            gradeLineTo(e.pviStation, e.pviElevation);
            continue;
        }
        gradeLineTo(e.startStation, e.startElevation);
        DrawingPolyline& curve = drawing.lines.emplace_back();
        curve.pvi = pvi;
        CurvePoints(cursor, e.startStation, std::clamp(e.pviStation, e.startStation, e.endStation), e.endStation,
                    curve.points);
        station = e.endStation;
        elevation = e.endElevation;

        const double zIn = e.pviElevation - e.gradeIn / 100 * e.tangentIn;
        const double zOut = e.pviElevation + e.gradeOut / 100 * e.tangentOut;
        drawing.lines.push_back({LineRole::Tangent, pvi,
                                 {{e.startStation, zIn}, {e.pviStation, e.pviElevation}, {e.endStation, zOut}}});
    }
    gradeLineTo(profile.EndStation(), profile.Model().points.back().elevation);
}

std::string RadiusText(const CurveElementsRow& e) {
    if (std::isnan(e.radius)) return "L=" + FixedText(e.length, 3);
    return "R=" + NumberToText(RoundTo3(e.radius));
}

void AddPviMarks(const Profile& profile, ProfileDrawing& drawing) {
    const auto& elements = profile.Elements();
    for (std::size_t k = 0; k < elements.size(); ++k) {
        const auto& e = elements[k];
        const int pvi = static_cast<int>(k);
        drawing.markers.push_back({MarkerKind::Pvi, pvi, {e.pviStation, e.pviElevation}});
        if (e.length > 0) {
            drawing.markers.push_back({MarkerKind::CurveStart, pvi, {e.startStation, e.startElevation}});
            drawing.markers.push_back({MarkerKind::CurveEnd, pvi, {e.endStation, e.endElevation}});
        }
        if (e.extremeStation && e.extremeElevation)
            drawing.markers.push_back({e.crest ? MarkerKind::HighPoint : MarkerKind::LowPoint, pvi,
                                       {*e.extremeStation, *e.extremeElevation}});
    }
}

std::vector<std::string> PviLines(const Profile& profile, const CurveElementsRow& e) {
    std::vector<std::string> lines;
    const std::string tIn = e.length > 0 ? FixedText(e.tangentIn, 3) : std::string();
    const std::string tOut = e.length > 0 ? FixedText(e.tangentOut, 3) : std::string();
    lines.reserve(e.length > 0 ? (tIn == tOut ? 5 : 6) : 2);
    lines.push_back(KText(profile, e.pviStation));
    lines.push_back("H=" + FixedText(e.pviElevation, 3));
    if (e.length > 0) {
        lines.push_back(RadiusText(e));
        if (tIn == tOut) {
            lines.push_back("T=" + tIn);
        } else {  // an unsymmetrical curve
            lines.push_back("T1=" + tIn);
            lines.push_back("T2=" + tOut);
        }
        lines.push_back("E=" + FixedText(e.external, 3));
    }
    return lines;
}

void AddChainMarks(const Profile& profile, ProfileDrawing& drawing) {
    const auto& breaks = profile.Chains().Breaks();
    const std::string unit = LengthUnitSymbol(profile.Model().unit);
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        const auto& b = breaks[i];
        const bool longChain = b.ahead < b.back;
        drawing.chainMarks.push_back({profile.Chains().BreakInternal(i),
                                      FormatStation(b.back, StationStyle::K, 3),
                                      FormatStation(b.ahead, StationStyle::K, 3),
                                      std::string(longChain ? "长链 " : "短链 ") +
                                          FixedText(std::fabs(b.back - b.ahead), 3) + " " + unit});
    }
}

WorldBox ExtentOf(const ProfileDrawing& drawing) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    WorldBox box{inf, -inf, inf, -inf};
    auto take = [&box](const WorldPoint& p) {
        box.minStation = std::min(box.minStation, p.station);
        box.maxStation = std::max(box.maxStation, p.station);
        box.minElevation = std::min(box.minElevation, p.elevation);
        box.maxElevation = std::max(box.maxElevation, p.elevation);
    };
    for (const auto& line : drawing.lines)
        for (const auto& p : line.points) take(p);
    for (const auto& m : drawing.markers) take(m.at);
    if (!(box.minStation <= box.maxStation)) return {};
    return box;
}

}  // namespace

ProfileDrawing BuildDrawing(const Profile& profile) {
    ProfileDrawing drawing;
    // Each list is allocated once at its size: grown by doubling, the lists
    // of a large file would pass through copies up to twice their size.
    std::size_t curves = 0, extremes = 0;
    for (const auto& e : profile.Elements()) {
        curves += e.length > 0;
        extremes += e.extremeStation && e.extremeElevation;
    }
    const std::size_t pvis = profile.Elements().size();
    drawing.lines.reserve(pvis + 2 * curves + 1);
    drawing.markers.reserve(pvis + 2 * curves + extremes);
    drawing.unit = LengthUnitSymbol(profile.Model().unit);
    AddDesignLine(profile, drawing);
    AddPviMarks(profile, drawing);
    AddChainMarks(profile, drawing);
    drawing.extent = ExtentOf(drawing);
    return drawing;
}

std::size_t LabelSlots(const Profile& profile, LabelRole role) {
    const std::size_t pvis = profile.Elements().size();
    switch (role) {
        case LabelRole::Pvi:
        case LabelRole::Extreme: return pvis;
        case LabelRole::Grade: return pvis + 1;
        case LabelRole::EndPoint: return 2;
    }
    return 0;
}

std::optional<DrawingLabel> LabelAt(const Profile& profile, LabelRole role, std::size_t slot) {
    if (slot >= LabelSlots(profile, role)) return std::nullopt;
    const auto& elements = profile.Elements();
    switch (role) {
        case LabelRole::Pvi: {
            // A crest's curve lies below its PVI and a sag's above, so the
            // label goes on the side away from the curve.
            const auto& e = elements[slot];
            return DrawingLabel{role, static_cast<int>(slot), {e.pviStation, e.pviElevation}, 0,
                                e.crest ? -kLabelGap : kLabelGap, TextHAlign::Centre,
                                e.crest ? TextVAlign::Bottom : TextVAlign::Top, slot};
        }
        case LabelRole::Extreme: {
            const auto& e = elements[slot];
            if (!e.extremeStation || !e.extremeElevation) return std::nullopt;
            const bool high = e.crest;
            return DrawingLabel{role, static_cast<int>(slot), {*e.extremeStation, *e.extremeElevation}, 0,
                                high ? kLabelGap : -kLabelGap, TextHAlign::Centre, high ? TextVAlign::Top : TextVAlign::Bottom,
                                slot};
        }
        case LabelRole::Grade: {
            const GradePoint a = GradePointAt(profile, slot), b = GradePointAt(profile, slot + 1);
            const WorldPoint middle{a.station + (b.station - a.station) / 2,
                                    a.elevation + (b.elevation - a.elevation) / 2};
            return DrawingLabel{role, static_cast<int>(slot) - 1, middle, 0, 4, TextHAlign::Centre, TextVAlign::Top, slot};
        }
        case LabelRole::EndPoint: {
            // Beside the point, away from the line.
            const bool start = slot == 0;
            const auto& points = profile.Model().points;
            const WorldPoint at = start ? WorldPoint{profile.StartStation(), points.front().elevation}
                                        : WorldPoint{profile.EndStation(), points.back().elevation};
            return DrawingLabel{role, kNoPvi, at, 0, -kLabelGap, start ? TextHAlign::Left : TextHAlign::Right,
                                TextVAlign::Bottom, slot};
        }
    }
    return std::nullopt;
}

std::vector<std::string> LabelLines(const Profile& profile, const DrawingLabel& label) {
    if (label.slot >= LabelSlots(profile, label.role)) return {};
    switch (label.role) {
        case LabelRole::Pvi: return PviLines(profile, profile.Elements()[label.slot]);
        case LabelRole::Extreme: {
            const auto& e = profile.Elements()[label.slot];
            if (!e.extremeStation || !e.extremeElevation) return {};
            return {std::string(ExtremeWord(e.crest)) + " " + KText(profile, *e.extremeStation),
                    "H=" + FixedText(*e.extremeElevation, 3)};
        }
        case LabelRole::Grade: {
            const GradePoint a = GradePointAt(profile, label.slot), b = GradePointAt(profile, label.slot + 1);
            return {GradeText(a.gradeOut), FixedText(b.station - a.station, 3)};
        }
        case LabelRole::EndPoint:
            return {(label.slot == 0 ? "起点 " : "终点 ") + KText(profile, label.anchor.station),
                    "H=" + FixedText(label.anchor.elevation, 3)};
    }
    return {};
}

double NiceStep(double minimum) {
    if (!(minimum > 0) || !std::isfinite(minimum)) return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(minimum)));
    // A minimum a rounding above a nice step takes that step, not the next.
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * magnitude >= minimum * (1 - 1e-12)) return m * magnitude;
    return 10 * magnitude;
}

namespace {

// No axis needs more ticks than a page has pixels; a bound also keeps a
// step that is too small for the numbers from looping for ever.
constexpr double kMaxTicks = 2000;

int DecimalsFor(double step) {
    int decimals = 0;
    while (decimals < 6 && std::fabs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-9)
        ++decimals;
    return decimals;
}

// Multiples of step in [lo, hi) (or [lo, hi] when closed), as k × step.
template <typename Emit>
void Multiples(double lo, double hi, double step, bool closed, Emit emit) {
    if (!(step > 0) || !(hi >= lo) || !std::isfinite(lo) || !std::isfinite(hi)) return;
    if ((hi - lo) / step > kMaxTicks) return;
    // Beyond 2^52 steps from zero a double no longer counts in ones: the ticks
    // of a tiny step at a large value cannot be told apart, and k + 1 == k
    // would never end the loop.
    if (std::fabs(lo / step) > 0x1p52 || std::fabs(hi / step) > 0x1p52) return;
    for (double k = std::ceil(lo / step); k * step < hi || (closed && k * step <= hi); ++k) emit(k * step);
}

}  // namespace

std::vector<AxisTick> StationTicks(const Profile& profile, double from, double to, double step) {
    std::vector<AxisTick> ticks;
    const auto& chains = profile.Chains();
    const auto& breaks = chains.Breaks();
    const int decimals = DecimalsFor(step);
    // Region r runs from break r−1 (inclusive) to break r (exclusive); in it
    // the label is the internal station plus a constant.
    for (std::size_t r = 0; r <= breaks.size(); ++r) {
        const double lo = std::max(from, r == 0 ? from : chains.BreakInternal(r - 1));
        const bool last = r == breaks.size();
        const double hi = std::min(to, last ? to : chains.BreakInternal(r));
        const double shift = r == 0 ? 0 : breaks[r - 1].ahead - chains.BreakInternal(r - 1);
        Multiples(lo + shift, hi + shift, step, last, [&](double label) {
            const double internal = label - shift;
            Station station{label, profile.LabelOf(internal).occurrence};
            ticks.push_back({internal, FormatStation(station, StationStyle::K, decimals)});
        });
    }
    return ticks;
}

std::vector<AxisTick> ElevationTicks(double from, double to, double step) {
    std::vector<AxisTick> ticks;
    const int decimals = DecimalsFor(step);
    Multiples(from, to, step, true, [&](double z) { ticks.push_back({z, FixedText(z, decimals)}); });
    return ticks;
}

}  // namespace tarnvel
