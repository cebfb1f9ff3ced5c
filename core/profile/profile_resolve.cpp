// Checking a profile model and turning it into pieces of design line.

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <utility>

#include "core/profile/profile.h"
#include "core/profile/profile_piece.h"

namespace tarnvel {
namespace {

// Beyond this a station, elevation, length or radius is refused, so that every
// value computed from them stays finite.
constexpr double kLimit = 1e12;
// Back-to-back curves computed from rounded numbers may overlap by this much.
constexpr double kTouch = 1e-6;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Usable(double v) { return std::isfinite(v) && std::fabs(v) <= kLimit; }

// The horizontal lengths of a curve before and after its PVI, for grades g1
// and g2 as slopes. A curve between equal grades has no length where its
// length follows from its radius.
struct Extent {
    double in = 0;
    double out = 0;
};

Extent CurveExtent(const CurveSpec& c, double g1, double g2) {
    switch (c.kind) {
        case CurveKind::None:
            return {};
        case CurveKind::ParabolaRadius: {
            const double length = std::fabs(g2 - g1) * c.radius;
            return {length / 2, length / 2};
        }
        case CurveKind::ParabolaLength:
            return {c.length / 2, c.length / 2};
        case CurveKind::Unsymmetric:
            return {c.lengthIn, c.lengthOut};
        case CurveKind::Circular: {
            const double a1 = std::atan(g1);
            const double a2 = std::atan(g2);
            const double t = c.radius * std::tan(std::fabs(a2 - a1) / 2);
            return {t * std::cos(a1), t * std::cos(a2)};
        }
    }
    return {};
}

// The curve of a PVI with one end moved `by` towards its PVI, so that it ends
// where a neighbouring curve overlapping it by rounding begins (or the other
// way round). Every kind stays tangent to both grades, so the line stays
// smooth: an unsymmetrical parabola shortens only the half concerned; a
// symmetric parabola stays symmetric, shorter by twice `by` (given by R, its
// radius follows from the new length); a circular arc takes the radius whose
// tangent on that side is shorter by `by`, both sides shrinking in proportion.
// `ext` is updated to the new extent; `by` is less than that side.
CurveSpec AdjustedSpec(const CurveSpec& c, bool atEnd, double by, double g1, double g2, Extent& ext) {
    CurveSpec adjusted = c;
    switch (c.kind) {
        case CurveKind::None:
            break;
        case CurveKind::Unsymmetric:
            (atEnd ? adjusted.lengthOut : adjusted.lengthIn) -= by;
            break;
        case CurveKind::ParabolaLength:
            adjusted.length = c.length - 2 * by;
            break;
        case CurveKind::ParabolaRadius:
            adjusted.radius = (ext.in + ext.out - 2 * by) / std::fabs(g2 - g1);
            break;
        case CurveKind::Circular: {
            const double side = atEnd ? ext.out : ext.in;
            adjusted.radius = c.radius * ((side - by) / side);
            break;
        }
    }
    // The ends may differ from the meeting point in the last place; the pieces
    // are joined by the grade line between, on which both curves end.
    ext = CurveExtent(adjusted, g1, g2);
    return adjusted;
}

// The pieces of one PVI's curve, in order.
void CurvePieces(const CurveSpec& c, double sv, double zv, double g1, double g2, Extent ext,
                 std::vector<ProfilePiece>& out) {
    using Shape = ProfilePiece::Shape;
    if (ext.in + ext.out == 0) return;
    const bool crest = g2 < g1;
    if (c.kind == CurveKind::Unsymmetric) {
        // The offset at the PVI; each half is a parabola tangent to its grade.
        const double e = ext.in * ext.out * (g2 - g1) / (2 * (ext.in + ext.out));
        ProfilePiece before{Shape::Parabola, sv - ext.in, sv, sv - ext.in, zv - g1 * ext.in, g1,
                            e / (ext.in * ext.in)};
        ProfilePiece after{Shape::Parabola, sv, sv + ext.out, sv + ext.out, zv + g2 * ext.out, g2,
                           e / (ext.out * ext.out)};
        before.crest = after.crest = crest;
        out.push_back(before);
        out.push_back(after);
        return;
    }
    if (c.kind == CurveKind::Circular) {
        const double a1 = std::atan(g1);
        const double r = c.radius;
        const double sigma = crest ? -1.0 : 1.0;
        ProfilePiece arc;
        arc.shape = Shape::Circle;
        arc.from = sv - ext.in;
        arc.to = sv + ext.out;
        arc.origin = arc.from;
        arc.z0 = zv - g1 * ext.in;  // on the first grade, as t·sin a1 below the PVI
        arc.slope0 = r * std::sin(a1);
        arc.curvature = r * std::cos(a1);
        // The centre lies r from the start, square to the first grade, on the concave side.
        arc.cx = arc.origin - sigma * arc.slope0;
        arc.cz = arc.z0 + sigma * arc.curvature;
        arc.r = r;
        arc.crest = crest;
        out.push_back(arc);
        return;
    }
    const double length = ext.in + ext.out;
    ProfilePiece parabola{Shape::Parabola, sv - ext.in, sv + ext.out, sv - ext.in,
                          zv - g1 * ext.in, g1, (g2 - g1) / (2 * length)};
    parabola.crest = crest;
    out.push_back(parabola);
}

// Where the grade of a curve piece is zero, if it is.
std::optional<double> LevelPoint(const ProfilePiece& p) {
    if (p.shape == ProfilePiece::Shape::Circle) return p.cx;
    if (p.curvature == 0) return std::nullopt;
    return p.origin - p.slope0 / (2 * p.curvature);
}

}  // namespace

// The grades and extents the checks computed, for a walk right after them.
struct Profile::Known {
    const std::vector<double>& grades;
    const std::vector<Extent>& extents;
};

std::optional<Profile> Profile::Resolve(const ProfileModel& model, std::vector<ProfileProblem>* problems,
                                        ProfileKeep keep) {
    return Resolve(ProfileModel(model), problems, keep);
}

std::optional<Profile> Profile::Resolve(ProfileModel&& model, std::vector<ProfileProblem>* problems,
                                        ProfileKeep keep) {
    const auto& pts = model.points;
    const std::size_t n = pts.size();
    // Problems carry numbers only; labels are copied, never formatted here, so
    // that a large valid profile costs nothing for messages it does not need.
    std::vector<ProfileProblem> found;
    const auto problem = [&](std::size_t point, ProfileField field, ProblemCode code) -> ProfileProblem& {
        ProfileProblem& p = found.emplace_back();
        p.point = point;
        p.field = field;
        p.code = code;
        p.unit = model.unit;
        if (field != ProfileField::Chain && point < n) p.label = pts[point].station;
        return p;
    };
    const auto against = [&](ProfileProblem& p, std::size_t other, double amount = 0) {
        p.other = other;
        p.otherLabel = pts[other].station;
        p.amount = amount;
    };
    const auto fail = [&]() -> std::optional<Profile> {
        if (problems) *problems = std::move(found);
        return std::nullopt;
    };
    if (n < 2) problem(0, ProfileField::Whole, ProblemCode::TooFewPoints).count = n;

    ChainProblem chainProblem;
    std::optional<Chainage> chain = Chainage::Make(model.chains, &chainProblem);
    if (!chain) problem(chainProblem.index, ProfileField::Chain, ProblemCode::ChainInvalid).chain = chainProblem;

    // Each number on its own first; then the stations along the road.
    std::vector<double> s(n, kNaN);
    for (std::size_t i = 0; i < n; ++i) {
        const ProfilePoint& p = pts[i];
        if (!Usable(p.station.value)) {
            problem(i, ProfileField::Station, ProblemCode::StationOutOfRange);
        } else if (chain) {
            try {
                s[i] = chain->ToInternal(p.station);
            } catch (const StationError& e) {
                problem(i, ProfileField::Station, ProblemCode::StationUnplaceable).station = e.fault();
            }
        }
        if (!Usable(p.elevation)) problem(i, ProfileField::Elevation, ProblemCode::ElevationOutOfRange);

        const CurveSpec& c = p.curve;
        if (c.kind != CurveKind::None && (i == 0 || i + 1 == n)) {
            problem(i, ProfileField::Curve, i == 0 ? ProblemCode::CurveOnStart : ProblemCode::CurveOnEnd);
            continue;
        }
        const auto positive = [&](double v, CurveValue what) {
            if (!std::isfinite(v) || v <= 0)
                problem(i, ProfileField::Curve, ProblemCode::CurveValueNotPositive).value = what;
            else if (v > kLimit)
                problem(i, ProfileField::Curve, ProblemCode::CurveValueTooLarge).value = what;
        };
        switch (c.kind) {
            case CurveKind::None: break;
            case CurveKind::ParabolaRadius:
            case CurveKind::Circular: positive(c.radius, CurveValue::Radius); break;
            case CurveKind::ParabolaLength: positive(c.length, CurveValue::Length); break;
            case CurveKind::Unsymmetric:
                positive(c.lengthIn, CurveValue::LengthIn);
                positive(c.lengthOut, CurveValue::LengthOut);
                break;
        }
    }
    for (std::size_t i = 1; i < n; ++i) {
        if (std::isnan(s[i]) || std::isnan(s[i - 1]) || s[i] > s[i - 1]) continue;
        against(problem(i, ProfileField::Station, ProblemCode::NotIncreasing), i - 1);
    }
    if (!found.empty()) return fail();

    // Grades as slopes, one per stretch between neighbouring points.
    std::vector<double> g(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        g[i] = (pts[i + 1].elevation - pts[i].elevation) / (s[i + 1] - s[i]);
        if (!std::isfinite(g[i])) against(problem(i + 1, ProfileField::Station, ProblemCode::GradeTooSteep), i);
    }
    if (!found.empty()) return fail();

    const double tolerance = RoundingTolerance(model.unit);
    std::vector<ProfileProblem> notes;
    // The curves as given, copied only once a pair has to be made to meet:
    // that is rare, and a copy of every curve would cost a large profile an
    // allocation and a pass for nothing.
    std::vector<CurveSpec> adjusted;
    const auto curveOf = [&](std::size_t i) -> const CurveSpec& {
        return adjusted.empty() ? pts[i].curve : adjusted[i];
    };
    std::vector<Extent> ext(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        ext[i] = CurveExtent(curveOf(i), g[i - 1], g[i]);
        const double start = s[i] - ext[i].in;
        const double end = s[i] + ext[i].out;
        bool beyond = false;
        if (!std::isfinite(start) || !std::isfinite(end)) {
            problem(i, ProfileField::Curve, ProblemCode::CurveTooLong);
            continue;
        }
        if (start < s[i - 1] - kTouch) {
            against(problem(i, ProfileField::Curve, ProblemCode::CurveStartBeyond), i - 1, s[i - 1] - start);
            beyond = true;
        }
        if (end > s[i + 1] + kTouch)
            against(problem(i, ProfileField::Curve, ProblemCode::CurveEndBeyond), i + 1, end - s[i + 1]);
        // Two curves that each stay within their neighbours' PVIs may still overlap.
        const double previousEnd = s[i - 1] + ext[i - 1].out;
        if (beyond || i < 2 || previousEnd > s[i] + kTouch) continue;
        const double overlap = previousEnd - start;
        if (!(overlap > kTouch)) continue;
        // Overlapping by rounding only: both curves meet halfway. Each must
        // keep some length on the side that gives way.
        const double meet = start + overlap / 2;
        const double previousBy = previousEnd - meet;
        const double by = meet - start;
        if (overlap <= tolerance && previousBy < ext[i - 1].out && by < ext[i].in) {
            if (adjusted.empty())
                for (const ProfilePoint& p : pts) adjusted.push_back(p.curve);
            adjusted[i - 1] = AdjustedSpec(adjusted[i - 1], true, previousBy, g[i - 2], g[i - 1], ext[i - 1]);
            adjusted[i] = AdjustedSpec(adjusted[i], false, by, g[i - 1], g[i], ext[i]);
            ProfileProblem note;
            note.point = i;
            note.field = ProfileField::Curve;
            note.code = ProblemCode::CurvesMeetAdjusted;
            note.label = pts[i].station;
            note.other = i - 1;
            note.otherLabel = pts[i - 1].station;
            note.amount = overlap;
            note.unit = model.unit;
            notes.push_back(note);
            continue;
        }
        against(problem(i, ProfileField::Curve, ProblemCode::CurvesOverlap), i - 1, overlap);
    }
    if (!found.empty()) return fail();

    // Only the curves that were made to meet are kept apart from the model.
    std::vector<std::pair<std::size_t, CurveSpec>> moved;
    for (std::size_t i = 0; i < adjusted.size(); ++i)
        if (!(adjusted[i] == pts[i].curve)) moved.emplace_back(i, adjusted[i]);
    Profile profile;
    profile.keep_ = keep;
    profile.chainage_ = std::move(*chain);
    profile.notes_ = std::move(notes);
    profile.adjusted_ = std::move(moved);
    profile.internal_ = std::move(s);
    profile.model_ = std::move(model);
    if (keep == ProfileKeep::Model) return profile;
    const Known known{g, ext};

    // A line between every two points and at most two pieces a curve.
    std::size_t most = n - 1;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const CurveKind kind = profile.CurveOf(i).kind;
        most += kind == CurveKind::Unsymmetric ? 2 : kind == CurveKind::None ? 0 : 1;
    }
    profile.pieces_.reserve(most);
    profile.elements_.reserve(n - 2);
    const std::function<void(const CurveElementsRow&)> row = [&](const CurveElementsRow& r) {
        profile.elements_.push_back(r);
    };
    profile.Walk([&](const ProfilePiece& p) { profile.pieces_.push_back(p); }, &row, &known);
    std::vector<double>().swap(profile.internal_);
    return profile;
}

const CurveSpec& Profile::CurveOf(std::size_t i) const {
    const auto it = std::lower_bound(adjusted_.begin(), adjusted_.end(), i,
                                     [](const auto& a, std::size_t k) { return a.first < k; });
    return it != adjusted_.end() && it->first == i ? it->second : model_.points[i].curve;
}

void Profile::Walk(const std::function<void(const ProfilePiece&)>& piece,
                   const std::function<void(const CurveElementsRow&)>* onRow, const Known* known) const {
    const auto& pts = model_.points;
    const std::vector<double>& s = internal_;
    const std::size_t n = pts.size();
    // Grades and extents are made again from the same numbers by the same
    // formulas as the checks made them, so they are the same to the last bit.
    const auto grade = [&](std::size_t i) {
        return known ? known->grades[i] : (pts[i + 1].elevation - pts[i].elevation) / (s[i + 1] - s[i]);
    };
    const auto extent = [&](std::size_t i, double g1, double g2) -> Extent {
        if (i == 0 || i + 1 == n) return {};
        return known ? known->extents[i] : CurveExtent(CurveOf(i), g1, g2);
    };
    // What a row needs of its PVI, kept from the piece that made it until the row is made.
    struct Pending {
        Extent ext;
        double gradeIn = 0, gradeOut = 0;
    };
    std::deque<Pending> pending;
    const double first = s.front();
    const double last = s.back();

    // The pieces the rows still to be made may look at. A row's curve starts
    // no earlier than kTouch before the previous PVI (the checks refuse it
    // otherwise), so pieces that end before that are never looked at again.
    std::deque<ProfilePiece> window;
    const auto pieceAt = [&](double x) -> std::size_t {
        const auto it = std::upper_bound(window.begin(), window.end(), x,
                                         [](double v, const ProfilePiece& p) { return v < p.from; });
        return it == window.begin() ? 0 : static_cast<std::size_t>(it - window.begin()) - 1;
    };
    std::size_t next = 1;  // the PVI whose row comes next
    // Makes the rows whose curves the pieces so far cover to their ends (all of
    // them once the line is complete): a later piece starts after its end.
    const auto makeRows = [&](bool complete) {
        for (; next + 1 < n; ++next) {
            const std::size_t i = next;
            const Extent e = pending.front().ext;
            if (!complete && !(window.back().from > s[i] + e.out)) return;
            const CurveSpec& c = CurveOf(i);
            const double g1 = pending.front().gradeIn;
            const double g2 = pending.front().gradeOut;
            pending.pop_front();
            const double zv = pts[i].elevation;
            CurveElementsRow row;
            row.point = i;
            row.pviStation = s[i];
            row.pviElevation = zv;
            row.gradeIn = g1 * 100;
            row.gradeOut = g2 * 100;
            row.crest = g2 < g1;
            row.kind = c.kind;
            row.tangentIn = e.in;
            row.tangentOut = e.out;
            row.length = e.in + e.out;
            switch (c.kind) {
                case CurveKind::ParabolaRadius:
                case CurveKind::Circular: row.radius = c.radius; break;
                case CurveKind::ParabolaLength:
                    row.radius = g2 == g1 ? kNaN : c.length / std::fabs(g2 - g1);
                    break;
                case CurveKind::None:
                case CurveKind::Unsymmetric: row.radius = kNaN; break;
            }
            row.startStation = s[i] - e.in;
            row.endStation = s[i] + e.out;
            row.startElevation = zv - g1 * e.in;
            row.endElevation = zv + g2 * e.out;
            if (row.length > 0) {
                row.external = std::fabs(EvaluatePiece(window[pieceAt(s[i])], s[i]).elevation - zv);
                const std::size_t firstPiece = pieceAt(row.startStation);
                const std::size_t lastPiece = pieceAt(row.endStation);
                for (std::size_t k = firstPiece; k <= lastPiece && !row.extremeStation; ++k) {
                    const ProfilePiece& p = window[k];
                    if (p.shape == ProfilePiece::Shape::Line) continue;
                    const std::optional<double> level = LevelPoint(p);
                    // Strictly inside by more than rounding: a curve leaving a level
                    // grade has its level point at the curve's end, which is no
                    // high or low point of the curve.
                    if (level && *level >= p.from && *level <= p.to &&
                        *level > row.startStation + kTouch && *level < row.endStation - kTouch) {
                        row.extremeStation = *level;
                        row.extremeElevation = EvaluatePiece(p, *level).elevation;
                    }
                }
            }
            (*onRow)(row);
            const double bound = s[i] - kTouch;
            while (window.size() > 1 && window[1].from <= bound) window.pop_front();
        }
    };

    // The design line from start to end: grade lines between the curves. A
    // piece that starts behind where the last one ended (back-to-back curves
    // overlapping by rounding) starts where it ended.
    double reached = first;
    std::vector<ProfilePiece> group;
    Extent extHere;  // of point i
    double g = grade(0);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double gNext = i + 2 < n ? grade(i + 1) : 0;
        const Extent extNext = i + 2 < n ? extent(i + 1, g, gNext) : Extent{};
        if (onRow && i + 2 < n) pending.push_back({extNext, g, gNext});
        group.clear();
        ProfilePiece line;
        line.from = s[i] + extHere.out;
        line.to = s[i + 1] - extNext.in;
        line.origin = s[i];
        line.z0 = pts[i].elevation;
        line.slope0 = g;
        group.push_back(line);
        if (i + 2 < n) CurvePieces(CurveOf(i + 1), s[i + 1], pts[i + 1].elevation, g, gNext, extNext, group);
        for (ProfilePiece& p : group) {
            p.from = std::max(p.from, reached);
            p.to = std::min(p.to, last);
            if (!(p.to > p.from)) continue;
            reached = p.to;
            piece(p);
            if (onRow) window.push_back(p);
        }
        if (onRow && !window.empty()) makeRows(false);
        g = gNext;
        extHere = extNext;
    }
    if (onRow) makeRows(true);
}

}  // namespace tarnvel
