#include "core/profile/ground_line.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>

#include "core/profile/profile_piece.h"

namespace tarnvel {
namespace {

// As for the design: beyond this a station or elevation is refused.
constexpr double kLimit = 1e12;

bool Usable(double v) { return std::isfinite(v) && std::fabs(v) <= kLimit; }

// Two stations this close are one place.
bool SamePlace(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a)); }

// One stretch where a single ground segment meets a single design piece.
struct Cell {
    std::size_t segment = 0;
    const ProfilePiece* piece = nullptr;
    double lo = 0, hi = 0;  // internal, lo < hi
};

// The cells within [from, to] in order along the road: the ground's segments
// and the design's pieces walked side by side, O(points + pieces).
template <typename Visit>
void ForEachCell(const Profile& profile, const GroundLine& ground, double from, double to, Visit&& visit) {
    const auto& pieces = profile.Pieces();
    const auto& s = ground.Stations();
    from = std::max(from, s.front());
    to = std::min(to, s.back());
    if (!(from < to)) return;
    std::size_t j = static_cast<std::size_t>(std::upper_bound(s.begin(), s.end(), from) - s.begin());
    j = std::min(j == 0 ? 0 : j - 1, s.size() - 2);
    const auto piece = std::upper_bound(pieces.begin(), pieces.end(), from,
                                        [](double v, const ProfilePiece& p) { return v < p.from; });
    std::size_t k = piece == pieces.begin() ? 0 : static_cast<std::size_t>(piece - pieces.begin()) - 1;
    for (;;) {
        const double lo = std::max({from, s[j], pieces[k].from});
        const double hi = std::min({to, s[j + 1], pieces[k].to});
        if (hi > lo) visit(Cell{j, &pieces[k], lo, hi});
        if (hi >= to) return;
        bool moved = false;
        if (s[j + 1] <= hi && j + 2 < s.size()) {
            ++j;
            moved = true;
        }
        if (pieces[k].to <= hi && k + 1 < pieces.size()) {
            ++k;
            moved = true;
        }
        if (!moved) return;
    }
}

double Design(const Cell& c, double s) { return EvaluatePiece(*c.piece, s).elevation; }

double GroundSlope(const GroundLine& ground, std::size_t j) {
    const auto& s = ground.Stations();
    const auto& z = ground.Elevations();
    return (z[j + 1] - z[j]) / (s[j + 1] - s[j]);
}

// The roots of a·t² + b·t + c = 0, without the cancellation of −b ± √disc.
// A discriminant within the rounding of its own terms (`cError` bounds the
// error of c) is a double root: the line only touches, which is no crossing,
// and gives nothing. So does an equation that holds everywhere (the caller
// handles it).
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::array<double, 2> kNoRoots{kNaN, kNaN};
std::array<double, 2> Quadratic(double a, double b, double c, double cError) {
    if (a == 0) return b == 0 ? kNoRoots : std::array<double, 2>{-c / b, kNaN};
    const double disc = b * b - 4 * a * c;
    constexpr double eps = std::numeric_limits<double>::epsilon();
    const double noise = 8 * eps * (b * b + 4 * std::fabs(a * c)) + 4 * std::fabs(a) * cError;
    if (!(disc > noise)) return kNoRoots;
    const double q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
    if (q == 0) return kNoRoots;
    return {q / a, c / q};
}

// Where design − ground is zero inside a cell (its ends included), in order.
void CellRoots(const GroundLine& ground, const Cell& cell, std::vector<double>& out) {
    const ProfilePiece& p = *cell.piece;
    const double k = GroundSlope(ground, cell.segment);
    const double glo = ground.OnSegment(cell.segment, cell.lo);
    std::array<double, 2> at;
    if (p.shape == ProfilePiece::Shape::Circle) {
        // The ground line as z = m + k·u with u = s − cx; on the circle
        // u² + (z − cz)² = r², i.e. (1 + k²)u² + 2kw·u + (w − r)(w + r) = 0
        // for w = m − cz. Of the two crossings of the full circle only those
        // on the arc's side of the centre count.
        const double m = glo + k * (p.cx - cell.lo);
        const double w = m - p.cz;
        constexpr double eps = std::numeric_limits<double>::epsilon();
        const double cError = 8 * eps * (std::fabs(p.cz) + p.r) * (std::fabs(w) + p.r);
        const auto u = Quadratic(1 + k * k, 2 * k * w, (w - p.r) * (w + p.r), cError);
        const double sigma = p.crest ? -1.0 : 1.0;
        for (std::size_t i = 0; i < 2; ++i) {
            at[i] = kNaN;
            if (std::isnan(u[i])) continue;
            // The crossing's height above the centre: below it for a sag, above for a crest.
            if (sigma * (w + k * u[i]) > 1e-9 * p.r) continue;
            at[i] = p.cx + u[i];
        }
    } else {
        // design − ground = a·t² + b·t + c with t = s − lo.
        const double d0 = cell.lo - p.origin;
        const double c = Design(cell, cell.lo) - glo;
        const double b = p.slope0 + 2 * p.curvature * d0 - k;
        const double a = p.curvature;
        if (a == 0 && b == 0) {
            // Lying on the ground: its ends are where fill or cut may change.
            if (c == 0) {
                out.push_back(cell.lo);
                out.push_back(cell.hi);
            }
            return;
        }
        const double cError = 8 * std::numeric_limits<double>::epsilon() * std::max(1.0, std::fabs(glo));
        const auto t = Quadratic(a, b, c, cError);
        for (std::size_t i = 0; i < 2; ++i) at[i] = cell.lo + t[i];
    }
    if (at[1] < at[0]) std::swap(at[0], at[1]);
    const double slack = 1e-9 * std::max({1.0, std::fabs(cell.lo), std::fabs(cell.hi)});
    for (double s : at) {
        if (std::isnan(s) || s < cell.lo - slack || s > cell.hi + slack) continue;
        s = std::clamp(s, cell.lo, cell.hi);
        // One Newton step on the evaluator's own formula, so that the design
        // there and the ground agree as the queries compute them.
        const double f = Design(cell, s) - ground.OnSegment(cell.segment, s);
        const double slope = EvaluatePiece(p, s).grade / 100 - k;
        if (f != 0 && std::fabs(slope) > 1e-12) {
            const double better = s - f / slope;
            if (better >= cell.lo && better <= cell.hi &&
                std::fabs(Design(cell, better) - ground.OnSegment(cell.segment, better)) < std::fabs(f))
                s = better;
        }
        out.push_back(s);
    }
}

FillCutSign SignOf(double v) { return v > 0 ? FillCutSign::Fill : v < 0 ? FillCutSign::Cut : FillCutSign::OnGround; }

// The places where design − ground may change sign, and the stretches between.
struct Crossings {
    std::vector<double> zeros;
    std::vector<FillCutStretch> stretches;
};

Crossings Cross(const Profile& profile, const GroundLine& ground) {
    std::vector<double> candidates;
    ForEachCell(profile, ground, ground.StartStation(), ground.EndStation(),
                [&](const Cell& cell) { CellRoots(ground, cell, candidates); });
    // Neighbouring cells share their ends: one place is one candidate. The
    // ends of the ground line are no crossings.
    std::vector<double> inner;
    for (double c : candidates) {
        if (SamePlace(c, ground.StartStation()) || SamePlace(c, ground.EndStation())) continue;
        if (!inner.empty() && SamePlace(inner.back(), c)) continue;
        inner.push_back(c);
    }
    // Fill or cut between neighbouring candidates, from the middle of each gap.
    std::vector<double> bounds;
    bounds.reserve(inner.size() + 2);
    bounds.push_back(ground.StartStation());
    bounds.insert(bounds.end(), inner.begin(), inner.end());
    bounds.push_back(ground.EndStation());
    Crossings result;
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const double mid = bounds[i] + (bounds[i + 1] - bounds[i]) / 2;
        const FillCutSign sign = SignOf(*FillCutAt(profile, ground, mid));
        if (!result.stretches.empty() && result.stretches.back().sign == sign) {
            result.stretches.back().to = bounds[i + 1];
            continue;
        }
        if (!result.stretches.empty()) result.zeros.push_back(bounds[i]);
        result.stretches.push_back({bounds[i], bounds[i + 1], sign});
    }
    return result;
}

}  // namespace

void MergeGroundProblems(std::vector<GroundProblem>& listed, const std::vector<GroundProblem>& more) {
    std::vector<GroundProblem> merged;
    merged.reserve(std::min(listed.size() + more.size(), kListedGroundProblems));
    std::merge(listed.begin(), listed.end(), more.begin(), more.end(), std::back_inserter(merged),
               [](const GroundProblem& a, const GroundProblem& b) { return a.row < b.row; });
    if (merged.size() > kListedGroundProblems) merged.resize(kListedGroundProblems);
    listed = std::move(merged);
}

std::optional<GroundLine> GroundLine::Make(GroundModel model, const Profile& profile,
                                           std::vector<GroundProblem>* problems, std::size_t* count) {
    // Each pass finds its problems in the order of the points, so the first
    // of each pass are enough to list the first of all.
    std::vector<GroundProblem> found, ordering;
    std::size_t total = 0;
    if (count) *count = 0;
    const auto& pts = model.points;
    GroundProblem spare;  // written to and dropped once a pass has listed enough
    const auto problem = [&](GroundProblemKind kind, std::size_t i, std::vector<GroundProblem>& into) -> GroundProblem& {
        ++total;
        GroundProblem& p = into.size() < kListedGroundProblems ? into.emplace_back() : (spare = {});
        p.kind = kind;
        p.point = i;
        if (i < pts.size()) {
            p.row = pts[i].row;
            p.station = pts[i].station;
        }
        return p;
    };
    if (pts.size() < 2) problem(GroundProblemKind::TooFewPoints, pts.size(), found);

    GroundLine line;
    line.stations_.assign(pts.size(), kNaN);
    line.elevations_.resize(pts.size());
    const double start = profile.StartStation();
    const double end = profile.EndStation();
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const GroundPoint& p = pts[i];
        line.elevations_[i] = p.elevation;
        if (!Usable(p.elevation)) problem(GroundProblemKind::ElevationUnusable, i, found);
        if (!Usable(p.station.value)) {
            problem(GroundProblemKind::StationUnusable, i, found);
            continue;
        }
        double s = p.station.value;
        if (model.stations == GroundStations::Labels) {
            try {
                s = profile.InternalOf(p.station);
            } catch (const StationError& e) {
                problem(GroundProblemKind::StationNotPlaced, i, found).fault = e.fault();
                continue;
            }
        }
        try {
            s = profile.OnProfile(s);
        } catch (const ProfileRangeError&) {
            problem(GroundProblemKind::OutsideProfile, i, found).limit = profile.LabelOf(s < start ? start : end);
            continue;
        }
        line.stations_[i] = s;
    }
    // Each placed point against the last placed one before it.
    std::optional<std::size_t> last;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const double b = line.stations_[i];
        if (std::isnan(b)) continue;
        if (last && !(b > line.stations_[*last])) {
            GroundProblem& p = problem(
                b == line.stations_[*last] ? GroundProblemKind::Duplicate : GroundProblemKind::NotIncreasing, i,
                ordering);
            p.other = *last;
            p.otherRow = pts[*last].row;
        }
        last = i;
    }
    if (total > 0) {
        std::vector<GroundProblem> listed;
        std::merge(found.begin(), found.end(), ordering.begin(), ordering.end(), std::back_inserter(listed),
                   [](const GroundProblem& a, const GroundProblem& b) { return a.point < b.point; });
        if (listed.size() > kListedGroundProblems) listed.resize(kListedGroundProblems);
        if (problems) *problems = std::move(listed);
        if (count) *count = total;
        return std::nullopt;
    }
    line.model_ = std::move(model);
    return line;
}

double GroundLine::OnSegment(std::size_t i, double internal) const {
    const double a = stations_[i], b = stations_[i + 1];
    if (internal == a) return elevations_[i];
    if (internal == b) return elevations_[i + 1];
    return elevations_[i] + (elevations_[i + 1] - elevations_[i]) * (internal - a) / (b - a);
}

std::optional<double> GroundLine::At(double internal) const {
    if (!(internal >= stations_.front() && internal <= stations_.back())) return std::nullopt;
    const auto it = std::upper_bound(stations_.begin(), stations_.end(), internal);
    const std::size_t j = std::min(static_cast<std::size_t>(it - stations_.begin()), stations_.size() - 1);
    return OnSegment(j - 1, internal);
}

std::optional<double> GroundCursor::At(double internal) {
    const auto& s = ground_.Stations();
    if (!(internal >= s.front() && internal <= s.back())) return std::nullopt;
    if (internal < s[segment_]) return ground_.At(internal);  // a step back: no cursor needed
    while (segment_ + 2 < s.size() && internal >= s[segment_ + 1]) ++segment_;
    return ground_.OnSegment(segment_, internal);
}

std::optional<double> FillCutAt(const Profile& profile, const GroundLine& ground, double internal) {
    const std::optional<double> z = ground.At(internal);
    if (!z) return std::nullopt;
    return profile.At(internal).elevation - *z;
}

std::vector<double> FindZeroPoints(const Profile& profile, const GroundLine& ground) {
    return Cross(profile, ground).zeros;
}

std::vector<FillCutStretch> FillCutStretches(const Profile& profile, const GroundLine& ground) {
    return Cross(profile, ground).stretches;
}

FillCutCrossings CrossGround(const Profile& profile, const GroundLine& ground) {
    Crossings c = Cross(profile, ground);
    return {std::move(c.zeros), std::move(c.stretches)};
}

GroundSummary SummarizeGround(const Profile& profile, const GroundLine& ground, double from, double to) {
    const Crossings crossings = Cross(profile, ground);
    return SummarizeGround(profile, ground, from, to, crossings.zeros, crossings.stretches);
}

GroundSummary SummarizeGround(const Profile& profile, const GroundLine& ground, double from, double to,
                              std::span<const double> zeroPoints, std::span<const FillCutStretch> stretches) {
    GroundSummary summary;
    summary.from = std::max(from, ground.StartStation());
    summary.to = std::min(to, ground.EndStation());
    if (!(summary.from <= summary.to)) return summary;
    summary.covered = true;

    for (double z : zeroPoints)
        if (z >= summary.from && z <= summary.to) summary.zeroPoints.push_back(z);
    for (FillCutStretch stretch : stretches) {
        stretch.from = std::max(stretch.from, summary.from);
        stretch.to = std::min(stretch.to, summary.to);
        if (!(stretch.to > stretch.from) || stretch.sign == FillCutSign::OnGround) continue;
        const bool fill = stretch.sign == FillCutSign::Fill;
        (fill ? summary.fillLength : summary.cutLength) += stretch.to - stretch.from;
        std::optional<FillCutStretch>& longest = fill ? summary.longestFill : summary.longestCut;
        if (!longest || stretch.to - stretch.from > longest->to - longest->from) longest = stretch;
    }

    // The highest fill and deepest cut lie at a cell's end or where the
    // design runs parallel to the ground inside it.
    const auto consider = [&](double s, double amount) {
        if (amount > 0 && (!summary.highestFill || amount > summary.highestFill->amount))
            summary.highestFill = FillCutExtreme{s, amount};
        if (amount < 0 && (!summary.deepestCut || amount < summary.deepestCut->amount))
            summary.deepestCut = FillCutExtreme{s, amount};
    };
    const auto visit = [&](const Cell& cell) {
        const ProfilePiece& p = *cell.piece;
        const double k = GroundSlope(ground, cell.segment);
        std::optional<double> level;
        if (p.shape == ProfilePiece::Shape::Circle) {
            // The arc's slope σ·u/√(r² − u²) equals k where u = σ·k·r/√(1 + k²).
            const double sigma = p.crest ? -1.0 : 1.0;
            level = p.cx + sigma * k * p.r / std::sqrt(1 + k * k);
        } else if (p.curvature != 0) {
            level = p.origin + (k - p.slope0) / (2 * p.curvature);
        }
        const auto amount = [&](double s) { return Design(cell, s) - ground.OnSegment(cell.segment, s); };
        consider(cell.lo, amount(cell.lo));
        if (level && *level > cell.lo && *level < cell.hi) consider(*level, amount(*level));
        consider(cell.hi, amount(cell.hi));
    };
    if (summary.from == summary.to) {
        const double amount = *FillCutAt(profile, ground, summary.from);
        consider(summary.from, amount);
    } else {
        ForEachCell(profile, ground, summary.from, summary.to, visit);
    }
    return summary;
}

}  // namespace tarnvel
