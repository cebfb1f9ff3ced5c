#include "core/plan/plan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>

#include "core/plan/clothoid.h"

namespace tarnvel {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kLargest = 1e12;

// [0, 2π)
double NormalAzimuth(double a) {
    double r = std::fmod(a, kTwoPi);
    if (r < 0) r += kTwoPi;
    return r >= kTwoPi ? 0 : r;
}

// (−π, π]
double NormalTurn(double a) {
    double r = NormalAzimuth(a);
    return r > kPi ? r - kTwoPi : r;
}

double AzimuthOf(const PlanPoint& from, const PlanPoint& to) {
    return NormalAzimuth(std::atan2(to.east - from.east, to.north - from.north));
}

// Coordinates are at most 1E+12, so the squares cannot overflow: no need for hypot's care (or its cost).
double Distance(const PlanPoint& a, const PlanPoint& b) {
    const double dn = b.north - a.north, de = b.east - a.east;
    return std::sqrt(dn * dn + de * de);
}

bool Usable(double v) { return std::isfinite(v) && std::fabs(v) <= kLargest; }

// A point `along` the direction `azimuth` and `right` to its right.
PlanPoint Move(const PlanPoint& p, double azimuth, double along, double right) {
    const double c = std::cos(azimuth), s = std::sin(azimuth);
    return {p.north + along * c - right * s, p.east + along * s + right * c};
}

double Curvature(const PlanElement& e) { return (e.k1 - e.k0) / e.length; }

PlanPose Evaluate(const PlanElement& e, double s) {
    s = std::clamp(s, 0.0, e.length);
    const double c = Curvature(e);
    const LocalPoint local = ClothoidPoint(e.k0, c, s);
    return {Move(e.from, e.azimuth, local.x, local.y), NormalAzimuth(e.azimuth + ClothoidHeading(e.k0, c, s))};
}

PlanProblem Problem(PlanProblemCode code, std::size_t point, const std::string& name, std::size_t line,
                    LengthUnit unit) {
    PlanProblem p;
    p.code = code;
    p.point = point;
    p.name = name;
    p.line = line;
    p.unit = unit;
    return p;
}

// The spiral from a straight to radius R over Ls: its end in the local frame
// (x along the tangent, y towards the curve), and p and q from that exact end.
struct SpiralEnd {
    double beta = 0, p = 0, q = 0;
    LocalPoint end;
};
SpiralEnd ExactSpiral(double radius, double length) {
    SpiralEnd s;
    if (length <= 0) return s;
    s.beta = length / (2 * radius);
    s.end = ClothoidPoint(0, 1 / (radius * length), length);
    const double half = std::sin(s.beta / 2);
    s.p = s.end.y - radius * (2 * half * half);
    s.q = s.end.x - radius * std::sin(s.beta);
    return s;
}

}  // namespace

const char* PlanKeyName(PlanKeyKind kind) {
    switch (kind) {
        case PlanKeyKind::Start: return "起点";
        case PlanKeyKind::End: return "终点";
        case PlanKeyKind::ZH: return "ZH";
        case PlanKeyKind::HY: return "HY";
        case PlanKeyKind::QZ: return "QZ";
        case PlanKeyKind::YH: return "YH";
        case PlanKeyKind::HZ: return "HZ";
        case PlanKeyKind::ZY: return "ZY";
        case PlanKeyKind::YZ: return "YZ";
    }
    return "";
}

PlanPoint OffsetPoint(const PlanPose& pose, double offset) { return Move(pose.at, pose.azimuth, 0, offset); }

std::optional<Plan> Plan::Resolve(const IntersectionTable& table, std::vector<PlanProblem>* problems) {
    std::vector<PlanProblem> found;
    const LengthUnit unit = table.unit;
    const double tol = RoundingTolerance(unit);
    const auto& pts = table.points;
    const std::size_t n = pts.size();
    const auto report = [&](PlanProblemCode code, std::size_t i) -> PlanProblem& {
        found.push_back(Problem(code, i, i < n ? pts[i].name : std::string(), i < n ? pts[i].line : 0, unit));
        return found.back();
    };
    const auto finish = [&](std::optional<Plan> plan) {
        if (problems) *problems = std::move(found);
        return plan;
    };

    Plan plan;
    plan.unit_ = unit;
    plan.fromTable_ = true;
    ChainProblem chainProblem;
    if (auto chainage = Chainage::Make(table.chains, &chainProblem)) {
        plan.chainage_ = std::move(*chainage);
        if (!Usable(table.start.value)) {
            report(PlanProblemCode::ValueOutOfRange, 0).field = PlanField::Station;
        } else {
            try {
                plan.start_ = plan.chainage_.ToInternal(table.start);
            } catch (const StationError& e) {
                PlanProblem& p = report(PlanProblemCode::StationUnplaceable, 0);
                p.field = PlanField::Station;
                p.station = e.fault();
            }
        }
    } else {
        PlanProblem& p = report(PlanProblemCode::ChainInvalid, chainProblem.index);
        p.field = PlanField::Chain;
        p.chain = chainProblem;
        p.name.clear();
        p.line = 0;
    }
    if (n < 2) {
        report(PlanProblemCode::TooFewPoints, 0).count = n;
        return finish(std::nullopt);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const IntersectionPoint& p = pts[i];
        const std::pair<double, PlanField> values[] = {{p.at.north, PlanField::North}, {p.at.east, PlanField::East},
                                                       {p.radius, PlanField::Radius}, {p.spiralIn, PlanField::SpiralIn},
                                                       {p.spiralOut, PlanField::SpiralOut}};
        for (const auto& [v, field] : values)
            if (!Usable(v)) report(PlanProblemCode::ValueOutOfRange, i).field = field;
    }
    if (!found.empty()) return finish(std::nullopt);

    std::vector<double> leg(n - 1), bearing(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        leg[i] = Distance(pts[i].at, pts[i + 1].at);
        bearing[i] = AzimuthOf(pts[i].at, pts[i + 1].at);
        if (leg[i] <= tol) {
            PlanProblem& p = report(leg[i] == 0 ? PlanProblemCode::DuplicatePoint : PlanProblemCode::LegTooShort, i + 1);
            p.field = PlanField::Point;
            p.other = i;
            p.otherName = pts[i].name;
            p.amount = leg[i];
        }
    }
    if (!found.empty()) return finish(std::nullopt);

    // The curve of every 交点, from the coordinates.
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const IntersectionPoint& jd = pts[i];
        CurveTableRow row;
        row.point = i;
        row.name = jd.name;
        row.at = jd.at;
        row.radius = jd.radius;
        row.spiralIn = jd.spiralIn;
        row.spiralOut = jd.spiralOut;
        row.legIn = leg[i - 1];
        row.legOut = leg[i];
        const double turn = NormalTurn(bearing[i] - bearing[i - 1]);
        row.turn = turn < 0 ? PlanTurn::Left : PlanTurn::Right;
        const double alpha = std::fabs(turn);
        row.deflection = alpha;
        bool usable = true;
        if (jd.radius <= 0) {
            report(PlanProblemCode::RadiusNotPositive, i).field = PlanField::Radius;
            found.back().amount = jd.radius;
            usable = false;
        }
        for (const auto& [ls, field] : {std::pair{jd.spiralIn, PlanField::SpiralIn}, std::pair{jd.spiralOut, PlanField::SpiralOut}}) {
            if (ls < 0) {
                PlanProblem& p = report(PlanProblemCode::SpiralNegative, i);
                p.field = field;
                p.amount = ls;
                usable = false;
            }
        }
        // Straight on (or straight back) within the rounding of the
        // coordinates: the shorter leg's end lies within a millimetre of the
        // other leg's line.
        if (std::sin(alpha) * std::min(leg[i - 1], leg[i]) <= tol) {
            PlanProblem& p = report(alpha < kPi / 2 ? PlanProblemCode::DeflectionZero : PlanProblemCode::DeflectionTooLarge, i);
            p.angle = alpha;
            usable = false;
        }
        if (!usable) {
            plan.curves_.push_back(row);
            continue;
        }
        const double R = jd.radius;
        // The spirals' angles are checked before their points are computed:
        // a spiral far too long for its radius would turn many times over.
        row.betaIn = jd.spiralIn / (2 * R);
        row.betaOut = jd.spiralOut / (2 * R);
        const double arcAngle = alpha - row.betaIn - row.betaOut;
        if (R * arcAngle < -tol) {
            PlanProblem& p = report(PlanProblemCode::SpiralsTooLong, i);
            p.angle = row.betaIn + row.betaOut;
            p.amount = alpha;
            plan.curves_.push_back(row);
            continue;
        }
        const SpiralEnd in = ExactSpiral(R, jd.spiralIn);
        const SpiralEnd out = ExactSpiral(R, jd.spiralOut);
        row.shiftIn = in.p;
        row.shiftOut = out.p;
        row.offsetIn = in.q;
        row.offsetOut = out.q;
        const double h1 = R + in.p, h2 = R + out.p;
        // The centre lies h1 from the incoming tangent and h2 from the
        // outgoing one; the feet of those perpendiculars are t1, t2 from the JD.
        const double tanHalf = std::tan(alpha / 2);
        const double t1 = h1 * tanHalf + (h2 - h1) / std::sin(alpha);
        const double t2 = h2 * tanHalf + (h1 - h2) / std::sin(alpha);
        row.tangentIn = in.q + t1;
        row.tangentOut = out.q + t2;
        row.arcLength = std::max(0.0, R * arcAngle);
        row.length = jd.spiralIn + row.arcLength + jd.spiralOut;
        row.difference = row.tangentIn + row.tangentOut - row.length;
        const double side = row.turn == PlanTurn::Right ? 1 : -1;
        row.centre = Move(jd.at, bearing[i - 1], -t1, side * h1);
        row.external = Distance(jd.at, row.centre) - R;
        plan.curves_.push_back(row);
    }
    // Neighbouring curves (and the ends) sharing a leg.
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double back = i > 0 ? plan.curves_[i - 1].tangentOut : 0;
        const double ahead = i + 2 < n ? plan.curves_[i].tangentIn : 0;
        const double over = back + ahead - leg[i];
        if (over > tol) {
            PlanProblem& p = report(PlanProblemCode::TangentsOverlap, i + 1);
            p.other = i;
            p.otherName = pts[i].name;
            p.amount = over;
        }
    }
    if (!found.empty()) return finish(std::nullopt);

    // The chain of elements and the stations, JD by JD.
    double station = plan.start_;  // where the next straight starts
    PlanPoint at = pts[0].at;
    double jdStation = plan.start_;
    for (std::size_t i = 1; i < n; ++i) {
        const double azimuth = bearing[i - 1];
        jdStation += leg[i - 1];
        const bool last = i + 1 == n;
        CurveTableRow* row = last ? nullptr : &plan.curves_[i - 1];
        const double tangent = last ? 0 : row->tangentIn;
        const double straight = jdStation - tangent - station;
        if (straight > 0) plan.elements_.push_back({PlanElementKind::Line, station, straight, at, azimuth, 0, 0, 0, 0});
        if (last) {
            plan.end_ = jdStation;
            break;
        }
        row->station = jdStation;
        row->zh = jdStation - row->tangentIn;
        row->hy = row->zh + row->spiralIn;
        row->yh = row->hy + row->arcLength;
        row->hz = row->yh + row->spiralOut;
        row->qz = row->zh + row->length / 2;
        const double side = row->turn == PlanTurn::Right ? 1 : -1;
        const double k = side / row->radius;
        const PlanPoint zh = Move(row->at, azimuth, -row->tangentIn, 0);
        const double outAzimuth = bearing[i];
        // Every part is placed from the JD and the centre, so that nothing
        // accumulates from one curve to the next.
        const auto onCircle = [&](double tangentAzimuth) {
            return Move(row->centre, tangentAzimuth, 0, -side * row->radius);
        };
        if (row->spiralIn > 0)
            plan.elements_.push_back({PlanElementKind::Spiral, row->zh, row->spiralIn, zh, azimuth, 0, k, i, 0});
        if (row->arcLength > 0) {
            const double a = NormalAzimuth(azimuth + side * row->betaIn);
            plan.elements_.push_back({PlanElementKind::Arc, row->hy, row->arcLength, onCircle(a), a, k, k, i, 0});
        }
        if (row->spiralOut > 0) {
            const double a = NormalAzimuth(outAzimuth - side * row->betaOut);
            plan.elements_.push_back({PlanElementKind::Spiral, row->yh, row->spiralOut, onCircle(a), a, k, 0, i, 0});
        }
        station = row->hz;
        at = Move(row->at, outAzimuth, row->tangentOut, 0);
        jdStation -= row->difference;
        const bool spiralIn = row->spiralIn > 0, spiralOut = row->spiralOut > 0;
        plan.keys_.push_back({row->zh, spiralIn ? PlanKeyKind::ZH : PlanKeyKind::ZY, i});
        if (spiralIn) plan.keys_.push_back({row->hy, PlanKeyKind::HY, i});
        plan.keys_.push_back({row->qz, PlanKeyKind::QZ, i});
        if (spiralOut) plan.keys_.push_back({row->yh, PlanKeyKind::YH, i});
        plan.keys_.push_back({row->hz, spiralOut ? PlanKeyKind::HZ : PlanKeyKind::YZ, i});
    }
    // Stations a table gives besides the start's are only compared: the
    // chain of JDs from the coordinates is what the route is.
    for (std::size_t i = 1; i < n; ++i) {
        if (!pts[i].station) continue;
        const double computed = i + 1 < n ? plan.curves_[i - 1].station : plan.end_;
        const Station shown = plan.chainage_.ToLabel(computed);
        if (std::fabs(shown.value - pts[i].station->value) > tol) {
            PlanProblem& p = report(PlanProblemCode::StationDiffers, i);
            p.field = PlanField::Station;
            p.given = pts[i].station->value;
            p.amount = shown.value;
            plan.notes_.push_back(p);
            found.pop_back();
        }
    }
    plan.Finish();
    return finish(std::move(plan));
}

std::optional<Plan> Plan::Resolve(const ElementList& list, std::vector<PlanProblem>* problems) {
    std::vector<PlanProblem> found;
    const LengthUnit unit = list.unit;
    const double tol = RoundingTolerance(unit);
    const auto& given = list.elements;
    const auto report = [&](PlanProblemCode code, std::size_t i, std::vector<PlanProblem>& into) -> PlanProblem& {
        into.push_back(Problem(code, i, i < given.size() ? given[i].name : std::string(),
                               i < given.size() ? given[i].line : 0, unit));
        if (i < given.size()) into.back().element = given[i].kind;
        into.back().field = PlanField::Element;
        return into.back();
    };
    const auto finish = [&](std::optional<Plan> plan) {
        if (problems) *problems = std::move(found);
        return plan;
    };

    Plan plan;
    plan.unit_ = unit;
    ChainProblem chainProblem;
    if (auto chainage = Chainage::Make(list.chains, &chainProblem)) {
        plan.chainage_ = std::move(*chainage);
        if (!Usable(list.startStation)) {
            report(PlanProblemCode::ValueOutOfRange, 0, found).field = PlanField::Station;
        } else {
            try {
                plan.start_ = plan.chainage_.ToInternal(Station{list.startStation, 0});
            } catch (const StationError& e) {
                PlanProblem& p = report(PlanProblemCode::StationUnplaceable, 0, found);
                p.field = PlanField::Station;
                p.station = e.fault();
            }
        }
    } else {
        PlanProblem& p = report(PlanProblemCode::ChainInvalid, chainProblem.index, found);
        p.field = PlanField::Chain;
        p.chain = chainProblem;
    }
    if (given.empty()) {
        report(PlanProblemCode::NoElements, 0, found);
        return finish(std::nullopt);
    }

    double station = plan.start_;
    double misfit = 0;  // how far the last element, placed from its start, ends from its given end
    for (std::size_t i = 0; i < given.size(); ++i) {
        const GivenElement& g = given[i];
        const double values[] = {g.start.north, g.start.east, g.end.north, g.end.east};
        bool usable = std::all_of(std::begin(values), std::end(values), Usable) &&
                      (!g.center || (Usable(g.center->north) && Usable(g.center->east)));
        if (!usable) {
            report(PlanProblemCode::ValueOutOfRange, i, found);
            continue;
        }
        const double side = g.clockwise ? 1 : -1;
        const double chord = Distance(g.start, g.end);
        const bool previousMisfit = misfit > tol;
        misfit = 0;
        PlanElement e;
        e.kind = g.kind;
        e.given = i + 1;
        e.from = g.start;
        const auto lengthProblem = [&](double amount) {
            report(PlanProblemCode::ElementLength, i, found).amount = amount;
        };
        const auto compareLength = [&](double computed) {
            if (g.length && std::fabs(*g.length - computed) > tol) {
                PlanProblem& p = report(PlanProblemCode::LengthDiffers, i, plan.notes_);
                p.given = *g.length;
                p.amount = computed;
            }
        };
        if (g.kind == PlanElementKind::Line) {
            if (chord <= 0) {
                lengthProblem(chord);
                continue;
            }
            e.length = chord;
            e.azimuth = AzimuthOf(g.start, g.end);
            compareLength(chord);
        } else if (g.kind == PlanElementKind::Arc) {
            double R = g.radiusStart;
            double sweep = 0;
            PlanPoint centre;
            if (g.center) {
                centre = *g.center;
                R = Distance(centre, g.start);
                if (R <= 0) {
                    report(PlanProblemCode::ElementRadius, i, found).amount = R;
                    continue;
                }
                misfit = std::fabs(Distance(centre, g.end) - R);
                if (std::isfinite(g.radiusStart) && std::fabs(g.radiusStart - R) > tol) {
                    PlanProblem& p = report(PlanProblemCode::RadiusDiffers, i, plan.notes_);
                    p.given = g.radiusStart;
                    p.amount = R;
                }
                const double a0 = AzimuthOf(centre, g.start), a1 = AzimuthOf(centre, g.end);
                sweep = NormalAzimuth(side * (a1 - a0));
                if (sweep == 0 && g.length && *g.length > tol) sweep = kTwoPi;
            } else {
                if (!(R > 0) || !std::isfinite(R)) {
                    report(PlanProblemCode::ElementRadius, i, found).amount = R;
                    continue;
                }
                if (chord > 2 * R + tol) {
                    report(PlanProblemCode::ElementUnusable, i, found).amount = chord;
                    continue;
                }
                sweep = 2 * std::asin(std::min(1.0, chord / (2 * R)));
                if (g.length && *g.length > kPi * R) sweep = kTwoPi - sweep;
                const double a = AzimuthOf(g.start, g.end) - side * sweep / 2;
                centre = Move(g.start, a, 0, side * R);
            }
            e.length = R * sweep;
            if (!(e.length > 0)) {
                lengthProblem(e.length);
                continue;
            }
            // The tangent is square to the radius, the centre on the side the curve turns to.
            e.azimuth = NormalAzimuth(AzimuthOf(centre, g.start) + side * kPi / 2);
            e.k0 = e.k1 = side / R;
            compareLength(e.length);
        } else {
            const auto curvature = [&](double r) { return std::isinf(r) ? 0.0 : side / r; };
            if (!(g.radiusStart > 0) || !(g.radiusEnd > 0)) {
                report(PlanProblemCode::ElementRadius, i, found).amount = g.radiusStart > 0 ? g.radiusEnd : g.radiusStart;
                continue;
            }
            if (std::isinf(g.radiusStart) && std::isinf(g.radiusEnd)) {
                report(PlanProblemCode::ElementUnusable, i, found);
                continue;
            }
            if (!g.length || !(*g.length > 0) || !Usable(*g.length)) {
                lengthProblem(g.length ? *g.length : 0);
                continue;
            }
            e.length = *g.length;
            e.k0 = curvature(g.radiusStart);
            e.k1 = curvature(g.radiusEnd);
            // No road's spiral turns round twice; one that would is a damaged
            // file, and its points would cost without end.
            const double turning = std::max(std::fabs(e.k0), std::fabs(e.k1)) * e.length;
            if (turning > 4 * kPi) {
                report(PlanProblemCode::ElementTurnsTooFar, i, found).angle = turning;
                continue;
            }
            const LocalPoint local = ClothoidPoint(e.k0, Curvature(e), e.length);
            // The start tangent from the chord: the clothoid's own chord angle.
            e.azimuth = NormalAzimuth(AzimuthOf(g.start, g.end) - std::atan2(local.y, local.x));
            misfit = std::fabs(std::hypot(local.x, local.y) - chord);
        }
        if (g.direction && std::fabs(*g.direction) <= 4 * kPi) {
            // Any of the conventions files use: an azimuth from north
            // clockwise, an angle from east counter-clockwise, or one from
            // north counter-clockwise (2π − azimuth).
            const double slack = std::max(1e-6, 2 * tol / e.length);
            const double asAzimuth = std::fabs(NormalTurn(*g.direction - e.azimuth));
            const double fromEast = std::fabs(NormalTurn(kPi / 2 - *g.direction - e.azimuth));
            const double counter = std::fabs(NormalTurn(-*g.direction - e.azimuth));
            if (std::min({asAzimuth, fromEast, counter}) > slack) {
                PlanProblem& p = report(PlanProblemCode::DirectionDiffers, i, plan.notes_);
                p.given = *g.direction;
                p.angle = e.azimuth;
            }
        }
        // A spiral's theta is the angle it turns through; a placeholder (far
        // beyond any turn) is no statement.
        if (g.kind == PlanElementKind::Spiral && g.theta && std::fabs(*g.theta) <= 4 * kPi) {
            const double turn = std::fabs(e.k0 + e.k1) / 2 * e.length;
            if (std::fabs(std::fabs(*g.theta) - turn) > std::max(1e-6, 2 * tol / e.length)) {
                PlanProblem& p = report(PlanProblemCode::AngleDiffers, i, plan.notes_);
                p.given = *g.theta;
                p.angle = turn;
            }
        }
        // Placed from its start and its own values, the element must end where the file says.
        if (misfit > tol) report(PlanProblemCode::ElementEndMisfit, i, found).amount = misfit;
        if (!plan.elements_.empty() && plan.elements_.back().given == i && !previousMisfit) {
            const PlanElement& prev = plan.elements_.back();
            const PlanPose end = Evaluate(prev, prev.length);
            const double gap = Distance(end.at, g.start);
            if (gap > tol) {
                PlanProblem& p = report(PlanProblemCode::ElementGap, i, found);
                p.other = i - 1;
                p.otherName = given[i - 1].name;
                p.amount = gap;
            }
            const double kink = std::fabs(NormalTurn(e.azimuth - end.azimuth));
            if (kink * std::min(prev.length, e.length) > 2 * tol) {
                PlanProblem& p = report(PlanProblemCode::ElementKink, i, found);
                p.other = i - 1;
                p.otherName = given[i - 1].name;
                p.angle = kink;
            }
        }
        e.start = station;
        station += e.length;
        plan.elements_.push_back(e);
    }
    if (!found.empty()) return finish(std::nullopt);
    plan.end_ = station;

    // Main points where the kinds meet; QZ halfway along a group of curves between straights.
    const auto& els = plan.elements_;
    std::size_t groupStart = els.size();
    for (std::size_t i = 0; i <= els.size(); ++i) {
        const bool line = i == els.size() || els[i].kind == PlanElementKind::Line;
        if (line && groupStart < i) {
            plan.keys_.push_back({(els[groupStart].start + els[i - 1].End()) / 2, PlanKeyKind::QZ, 0});
            groupStart = els.size();
        }
        if (!line && groupStart == els.size()) groupStart = i;
        if (i == 0 || i == els.size()) continue;
        const PlanElementKind a = els[i - 1].kind, b = els[i].kind;
        const auto add = [&](PlanKeyKind kind) { plan.keys_.push_back({els[i].start, kind, 0}); };
        using K = PlanElementKind;
        if (a == K::Line && b == K::Spiral) add(PlanKeyKind::ZH);
        else if (a == K::Spiral && b == K::Arc) add(PlanKeyKind::HY);
        else if (a == K::Arc && b == K::Spiral) add(PlanKeyKind::YH);
        else if (a == K::Spiral && b == K::Line) add(PlanKeyKind::HZ);
        else if (a == K::Line && b == K::Arc) add(PlanKeyKind::ZY);
        else if (a == K::Arc && b == K::Line) add(PlanKeyKind::YZ);
    }
    plan.Finish();
    return finish(std::move(plan));
}

void Plan::Finish() {
    keys_.push_back({start_, PlanKeyKind::Start, 0});
    keys_.push_back({end_, PlanKeyKind::End, 0});
    std::stable_sort(keys_.begin(), keys_.end(),
                     [](const PlanKeyPoint& a, const PlanKeyPoint& b) { return a.internal < b.internal; });
    starts_.clear();
    footings_.clear();
    for (const PlanElement& e : elements_) {
        starts_.push_back(e.start);
        Footing f;
        f.cosStart = std::cos(e.azimuth);
        f.sinStart = std::sin(e.azimuth);
        f.end = Evaluate(e, e.length);
        f.cosEnd = std::cos(f.end.azimuth);
        f.sinEnd = std::sin(f.end.azimuth);
        if (e.k0 == e.k1 && e.k0 != 0) {
            f.centre = Move(e.from, e.azimuth, 0, 1 / e.k0);
            f.radialStart = AzimuthOf(f.centre, e.from);
        }
        footings_.push_back(f);
    }

    // A bounding-volume tree over the elements' boxes, split at the median of
    // the longer side, so that a point's nearest foot costs O(log n).
    std::vector<Box> boxes(elements_.size());
    std::vector<PlanPoint> centres(elements_.size());
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const PlanElement& e = elements_[i];
        const double turning = std::max(std::fabs(e.k0), std::fabs(e.k1)) * e.length;
        const int pieces = static_cast<int>(std::clamp(std::ceil(turning / 0.25), 1.0, 4096.0));
        const double h = e.length / pieces;
        // Between samples the path strays from the chord by at most κ h² / 8.
        const double bulge = std::max(std::fabs(e.k0), std::fabs(e.k1)) * h * h / 8 + 1e-9 * std::max(1.0, e.length);
        Box b{e.from.north, e.from.east, e.from.north, e.from.east};
        for (int j = 1; j <= pieces; ++j) {
            const PlanPoint p = Evaluate(e, j * h).at;
            b.minN = std::min(b.minN, p.north);
            b.maxN = std::max(b.maxN, p.north);
            b.minE = std::min(b.minE, p.east);
            b.maxE = std::max(b.maxE, p.east);
        }
        b.minN -= bulge;
        b.minE -= bulge;
        b.maxN += bulge;
        b.maxE += bulge;
        boxes[i] = b;
        centres[i] = {(b.minN + b.maxN) / 2, (b.minE + b.maxE) / 2};
    }
    leafElements_.resize(elements_.size());
    for (std::size_t i = 0; i < elements_.size(); ++i) leafElements_[i] = i;
    nodes_.clear();
    const auto build = [&](auto& self, std::size_t from, std::size_t to) -> std::size_t {
        Node node;
        node.box = boxes[leafElements_[from]];
        for (std::size_t k = from; k < to; ++k) {
            const Box& b = boxes[leafElements_[k]];
            node.box.minN = std::min(node.box.minN, b.minN);
            node.box.minE = std::min(node.box.minE, b.minE);
            node.box.maxN = std::max(node.box.maxN, b.maxN);
            node.box.maxE = std::max(node.box.maxE, b.maxE);
        }
        const std::size_t index = nodes_.size();
        nodes_.push_back(node);
        if (to - from <= 4) {
            nodes_[index].leaf = true;
            nodes_[index].left = from;
            nodes_[index].right = to;
            return index;
        }
        const bool alongNorth = node.box.maxN - node.box.minN >= node.box.maxE - node.box.minE;
        const std::size_t mid = from + (to - from) / 2;
        std::nth_element(leafElements_.begin() + static_cast<std::ptrdiff_t>(from),
                         leafElements_.begin() + static_cast<std::ptrdiff_t>(mid),
                         leafElements_.begin() + static_cast<std::ptrdiff_t>(to), [&](std::size_t a, std::size_t b) {
                             return alongNorth ? centres[a].north < centres[b].north : centres[a].east < centres[b].east;
                         });
        const std::size_t left = self(self, from, mid);
        const std::size_t right = self(self, mid, to);
        nodes_[index].left = left;
        nodes_[index].right = right;
        return index;
    };
    if (!elements_.empty()) build(build, 0, elements_.size());
}

double Plan::OnRoute(double internal) const {
    try {
        return OnRoad(internal, start_, end_, chainage_, unit_);
    } catch (ProfileRangeError& e) {
        StationFault fault = e.fault();
        fault.plan = true;
        throw ProfileRangeError(fault);
    }
}

double Plan::InternalOf(const Station& label) const { return LabelOnRoad(chainage_, label, unit_); }

std::size_t Plan::ElementAt(double internal) const {
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), internal);
    return it == starts_.begin() ? 0 : static_cast<std::size_t>(it - starts_.begin()) - 1;
}

PlanPose Plan::AtInElement(std::size_t element, double internal) const {
    const PlanElement& e = elements_[element];
    return Evaluate(e, internal - e.start);
}

PlanPose Plan::At(double internal) const {
    const double s = OnRoute(internal);
    return AtInElement(ElementAt(s), s);
}

PlanPose PlanCursor::At(double internal) {
    const double s = plan_.OnRoute(internal);
    const auto& els = plan_.Elements();
    if (s < els[element_].start) {
        element_ = plan_.ElementAt(s);
    } else {
        while (element_ + 1 < els.size() && els[element_ + 1].start <= s) ++element_;
    }
    return plan_.AtInElement(element_, s);
}

namespace {

// The squared distance from a point to a box (0 inside it).
inline double BoxDistance2(const PlanPoint& p, double minN, double minE, double maxN, double maxE) {
    const double dn = p.north < minN ? minN - p.north : p.north > maxN ? p.north - maxN : 0.0;
    const double de = p.east < minE ? minE - p.east : p.east > maxE ? p.east - maxE : 0.0;
    return dn * dn + de * de;
}

}  // namespace

// Every foot of a perpendicular from p on one element that is nearer than
// `best` becomes the answer.
void Plan::FeetOn(std::size_t index, const PlanPoint& p, double& best, PlanFoot& answer) const {
    const PlanElement& e = elements_[index];
    const Footing& f = footings_[index];
    const auto take = [&](double s, double offset) {
        const double internal = e.start + s;
        // Of two equally near feet (a junction seen from both sides), the earlier station.
        if (std::fabs(offset) < best || (std::fabs(offset) == best && internal < answer.internal)) {
            best = std::fabs(offset);
            answer = {InverseFault::None, internal, offset};
        }
    };
    const double slack = 1e-9 * std::max(1.0, e.length);
    const double dn = p.north - e.from.north, de = p.east - e.from.east;
    if (e.k0 == 0 && e.k1 == 0) {
        const double t = dn * f.cosStart + de * f.sinStart;
        if (t >= -slack && t <= e.length + slack) take(std::clamp(t, 0.0, e.length), -dn * f.sinStart + de * f.cosStart);
        return;
    }
    if (e.k0 == e.k1) {
        const double side = e.k0 > 0 ? 1 : -1;
        const double R = 1 / std::fabs(e.k0);
        const double r = Distance(f.centre, p);
        if (r == 0 || std::fabs(r - R) >= best) return;
        const double swept = NormalAzimuth(side * (AzimuthOf(f.centre, p) - f.radialStart));
        double s = swept * R;
        if (s > e.length + slack) {
            if ((kTwoPi - swept) * R > slack) return;
            s = 0;
        }
        take(std::min(s, e.length), side * (R - r));
        return;
    }
    // A spiral: g(s) = (p − C(s))·T(s) falls through zero at a foot. Its sign
    // at the ends comes from the poses kept; where it changes, Newton's steps
    // kept inside the bracket find the foot. A spiral turning more than a
    // quarter radian is bracketed piece by piece.
    const double c = Curvature(e);
    const auto g = [&](double s, double& derivative, double& offset) {
        const PlanPose pose = Evaluate(e, s);
        const double t0 = std::cos(pose.azimuth), t1 = std::sin(pose.azimuth);
        const double vn = p.north - pose.at.north, ve = p.east - pose.at.east;
        offset = -vn * t1 + ve * t0;
        derivative = -1 + (e.k0 + c * s) * offset;
        return vn * t0 + ve * t1;
    };
    const double turning = std::max(std::fabs(e.k0), std::fabs(e.k1)) * e.length;
    const int pieces = static_cast<int>(std::clamp(std::ceil(turning / 0.25), 1.0, 4096.0));
    double d = 0, off = 0;
    double a = 0, ga = dn * f.cosStart + de * f.sinStart;
    for (int j = 1; j <= pieces; ++j) {
        const double b = j == pieces ? e.length : e.length * j / pieces;
        double gb = 0;
        if (j == pieces) {
            const double vn = p.north - f.end.at.north, ve = p.east - f.end.at.east;
            gb = vn * f.cosEnd + ve * f.sinEnd;
        } else {
            gb = g(b, d, off);
        }
        if (ga >= 0 && gb <= 0) {
            double lo = a, hi = b, s = ga == gb ? a : a + (b - a) * ga / (ga - gb);
            for (int k = 0; k < 60; ++k) {
                const double v = g(s, d, off);
                if (v > 0) lo = s; else hi = s;
                double next = d != 0 ? s - v / d : (lo + hi) / 2;
                if (!(next >= lo && next <= hi)) next = (lo + hi) / 2;
                const bool done = std::fabs(next - s) <= 1e-11 * std::max(1.0, e.length);
                // The last step is below a picometre along a perpendicular:
                // the offset just computed stands.
                if (done) break;
                s = next;
                if (hi - lo <= 1e-11 * std::max(1.0, e.length)) {
                    g(s, d, off);
                    break;
                }
            }
            take(s, off);
        }
        a = b;
        ga = gb;
    }
}

void Plan::NearestIn(std::size_t index, const PlanPoint& p, double& best, PlanFoot& foot) const {
    // Each node's box distance is worked out once, by its parent, which
    // visits the nearer child first: once a near foot is found, far boxes
    // are passed over unopened.
    const Node& node = nodes_[index];
    if (node.leaf) {
        for (std::size_t k = node.left; k < node.right; ++k) FeetOn(leafElements_[k], p, best, foot);
        return;
    }
    const Box& l = nodes_[node.left].box;
    const Box& r = nodes_[node.right].box;
    const double dl = BoxDistance2(p, l.minN, l.minE, l.maxN, l.maxE);
    const double dr = BoxDistance2(p, r.minN, r.minE, r.maxN, r.maxE);
    const std::size_t nearer = dl <= dr ? node.left : node.right, farther = dl <= dr ? node.right : node.left;
    const double dNear = std::min(dl, dr), dFar = std::max(dl, dr);
    if (dNear <= best * best) NearestIn(nearer, p, best, foot);
    if (dFar <= best * best) NearestIn(farther, p, best, foot);
}

PlanFoot Plan::Inverse(const PlanPoint& p, double maxOffset) const {
    PlanFoot foot;
    foot.fault = InverseFault::TooFar;
    foot.internal = std::numeric_limits<double>::infinity();
    if (elements_.empty() || !std::isfinite(p.north) || !std::isfinite(p.east)) return foot;
    double best = maxOffset;
    const Box& root = nodes_[0].box;
    if (BoxDistance2(p, root.minN, root.minE, root.maxN, root.maxE) <= best * best) NearestIn(0, p, best, foot);
    // A foot within RoundingTolerance past an end is that end, as a station
    // is (coordinates printed to fewer decimals land a hair outside).
    const PlanPose first{elements_.front().from, elements_.front().azimuth}, last = footings_.back().end;
    const auto along = [&](const PlanPose& pose) {
        return (p.north - pose.at.north) * std::cos(pose.azimuth) + (p.east - pose.at.east) * std::sin(pose.azimuth);
    };
    const auto across = [&](const PlanPose& pose) {
        return -(p.north - pose.at.north) * std::sin(pose.azimuth) + (p.east - pose.at.east) * std::cos(pose.azimuth);
    };
    const double tol = RoundingTolerance(unit_);
    for (const auto& [pose, sign, internal] : {std::tuple{first, -1.0, start_}, std::tuple{last, 1.0, end_}}) {
        const double past = sign * along(pose);
        const double offset = across(pose);
        if (past > 0 && past <= tol && std::fabs(offset) < best) {
            best = std::fabs(offset);
            foot = {InverseFault::None, internal, offset};
        }
    }
    if (foot.fault == InverseFault::None) return foot;
    foot.internal = 0;
    // No foot within reach: past an end (ahead of the end's tangent, within
    // reach of it), or simply too far from the road.
    const auto beyond = [&](const PlanPose& pose, double sign) {
        return sign * along(pose) > 0 && Distance(pose.at, p) <= maxOffset;
    };
    if (beyond(first, -1) || beyond(last, 1)) foot.fault = InverseFault::BeyondEnds;
    return foot;
}

std::optional<IntersectionTable> RecoverIntersections(const Plan& plan, PlanProblem* problem) {
    const auto& els = plan.Elements();
    const double tol = RoundingTolerance(plan.Unit());
    IntersectionTable table;
    table.unit = plan.Unit();
    table.start = plan.LabelOf(plan.StartStation());
    table.chains = plan.Chains().Breaks();
    const PlanPose first = plan.At(plan.StartStation());
    IntersectionPoint start;
    start.name = "BP";
    start.at = first.at;
    table.points.push_back(start);
    const auto refuse = [&](std::size_t i) -> std::optional<IntersectionTable> {
        if (problem) {
            *problem = {};
            problem->code = PlanProblemCode::NoIntersection;
            problem->field = PlanField::Element;
            problem->point = els[i].given > 0 ? els[i].given - 1 : i;
            problem->element = els[i].kind;
            problem->unit = plan.Unit();
        }
        return std::nullopt;
    };
    const auto sameRadius = [&](double a, double b) { return std::fabs(1 / std::fabs(a) - 1 / std::fabs(b)) <= tol && a * b > 0; };
    for (std::size_t i = 0; i < els.size();) {
        if (els[i].kind == PlanElementKind::Line) {
            ++i;
            continue;
        }
        const std::size_t from = i;
        IntersectionPoint jd;
        double k = 0;
        // A spiral from the straight, an arc, a spiral back to the straight.
        if (els[i].kind == PlanElementKind::Spiral) {
            if (els[i].k0 != 0) return refuse(i);
            k = els[i].k1;
            jd.spiralIn = els[i].length;
            ++i;
        }
        if (i < els.size() && els[i].kind == PlanElementKind::Arc) {
            if (k != 0 && !sameRadius(k, els[i].k0)) return refuse(i);
            k = els[i].k0;
            ++i;
        }
        if (i < els.size() && els[i].kind == PlanElementKind::Spiral && els[i].k1 == 0) {
            if (k != 0 && !sameRadius(k, els[i].k0)) return refuse(i);
            k = els[i].k0;
            jd.spiralOut = els[i].length;
            ++i;
        }
        if (i < els.size() && els[i].kind != PlanElementKind::Line) return refuse(i);
        if (k == 0) return refuse(from);
        jd.radius = 1 / std::fabs(k);
        // Where the tangents at the group's ends meet.
        const PlanPose in = plan.AtInElement(from, els[from].start);
        const PlanPose out = plan.AtInElement(i - 1, els[i - 1].End());
        const double un = std::cos(in.azimuth), ue = std::sin(in.azimuth);
        const double vn = std::cos(out.azimuth), ve = std::sin(out.azimuth);
        const double cross = un * ve - ue * vn;
        if (std::fabs(cross) < 1e-12) return refuse(from);
        const double dn = out.at.north - in.at.north, de = out.at.east - in.at.east;
        const double t = (dn * ve - de * vn) / cross;
        jd.at = {in.at.north + t * un, in.at.east + t * ue};
        jd.name = "JD" + std::to_string(table.points.size());
        table.points.push_back(jd);
    }
    IntersectionPoint end;
    end.name = "EP";
    end.at = plan.At(plan.EndStation()).at;
    table.points.push_back(end);
    return table;
}

}  // namespace tarnvel
