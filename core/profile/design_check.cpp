#include "core/profile/design_check.h"

#include <algorithm>
#include <cmath>

#include "core/profile/grade_edit.h"
#include "core/profile/pvi_edit.h"

namespace tarnvel {
namespace {

// A value this close to its limit lies on it: a grade snapped to 3 % and
// computed as 3.0000000000004 % holds a 3 % limit.
bool Beyond(double value, double limit) { return value - limit > 1e-9 * std::max(1.0, std::fabs(limit)); }

}  // namespace

bool ControlReport::Violated() const {
    return std::any_of(checks.begin(), checks.end(), [](const ControlCheck& c) { return c.status != ControlStatus::Ok; });
}

ControlReport CheckControls(const Profile& profile, const std::vector<ControlPoint>& controls) {
    ControlReport report;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlPoint& c = controls[i];
        const auto problem = [&](ControlProblemKind kind) -> ControlProblem& {
            report.problems.push_back({kind, i, c.row, c.station, {}, {}, {}});
            return report.problems.back();
        };
        if (!c.lower && !c.upper) {
            problem(ControlProblemKind::NoBound);
            continue;
        }
        if (c.lower && c.upper && *c.lower > *c.upper) {
            problem(ControlProblemKind::BoundsCrossed);
            continue;
        }
        double s = 0;
        try {
            s = profile.InternalOf(c.station);
        } catch (const StationError& e) {
            problem(ControlProblemKind::NotPlaced).fault = e.fault();
            continue;
        }
        try {
            s = profile.OnProfile(s);
        } catch (const ProfileRangeError&) {
            problem(ControlProblemKind::OutsideProfile).limit =
                profile.LabelOf(s < profile.StartStation() ? profile.StartStation() : profile.EndStation());
            continue;
        }
        ControlCheck check;
        check.point = i;
        check.station = s;
        check.design = profile.At(s).elevation;
        const double tolerance = 1e-9 * std::max(1.0, std::fabs(check.design));
        const auto toward = [&](double margin, ControlStatus violated) {
            if (std::fabs(margin) <= tolerance) margin = 0;
            if (check.status == ControlStatus::Ok && margin < 0) check.status = violated;
            return margin;
        };
        std::optional<double> margin;
        if (c.lower) margin = toward(check.design - *c.lower, ControlStatus::Below);
        if (c.upper) {
            const double m = toward(*c.upper - check.design, ControlStatus::Above);
            margin = margin ? std::min(*margin, m) : m;
        }
        check.margin = *margin;
        report.checks.push_back(check);
    }
    return report;
}

std::optional<double>& CriterionLimit(DesignCriteria& c, Criterion criterion) {
    switch (criterion) {
        case Criterion::MaxGrade: return c.maxGrade;
        case Criterion::MinGrade: return c.minGrade;
        case Criterion::MinGradeLength: return c.minGradeLength;
        case Criterion::MinCrestRadius: return c.minCrestRadius;
        case Criterion::MinSagRadius: return c.minSagRadius;
        case Criterion::MinCurveLength: break;
    }
    return c.minCurveLength;
}

std::optional<double> CriterionLimit(const DesignCriteria& c, Criterion criterion) {
    return CriterionLimit(const_cast<DesignCriteria&>(c), criterion);
}

const char* CriterionKey(Criterion criterion) {
    switch (criterion) {
        case Criterion::MaxGrade: return "max_grade";
        case Criterion::MinGrade: return "min_grade";
        case Criterion::MinGradeLength: return "min_grade_length";
        case Criterion::MinCrestRadius: return "min_crest_radius";
        case Criterion::MinSagRadius: return "min_sag_radius";
        case Criterion::MinCurveLength: break;
    }
    return "min_curve_length";
}

std::optional<Criterion> CriterionFromKey(std::string_view key) {
    for (Criterion c : kCriteria)
        if (key == CriterionKey(c)) return c;
    return std::nullopt;
}

bool CriterionValueUsable(Criterion criterion, double value) {
    if (!std::isfinite(value) || value < 0 || value > 1e12) return false;
    return criterion != Criterion::MaxGrade || value > 0;
}

double CriterionViolation::Shortfall() const {
    return criterion == Criterion::MaxGrade ? std::fabs(value) - limit
           : criterion == Criterion::MinGrade ? limit - std::fabs(value)
                                              : limit - value;
}

std::vector<CriterionViolation> CheckCriteria(const Profile& profile, const DesignCriteria& criteria) {
    std::vector<CriterionViolation> out;
    const auto& points = profile.Model().points;
    const auto& rows = profile.Elements();
    const auto report = [&](Criterion criterion, std::size_t point, double value, double limit) {
        out.push_back({criterion, point, PlaceOf(profile, point).station, value, limit});
    };
    // The grades, in the order of their first points.
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double from = PlaceOf(profile, i).station;
        const double length = PlaceOf(profile, i + 1).station - from;
        // As the resolver computes it, so that the check and the tables agree to the bit.
        const double grade = (points[i + 1].elevation - points[i].elevation) / length * 100;
        if (criteria.maxGrade && Beyond(std::fabs(grade), *criteria.maxGrade))
            report(Criterion::MaxGrade, i, grade, *criteria.maxGrade);
        if (criteria.minGrade && Beyond(*criteria.minGrade, std::fabs(grade)))
            report(Criterion::MinGrade, i, grade, *criteria.minGrade);
        if (criteria.minGradeLength && Beyond(*criteria.minGradeLength, length))
            report(Criterion::MinGradeLength, i, length, *criteria.minGradeLength);
    }
    for (const CurveElementsRow& row : rows) {
        if (row.kind == CurveKind::None) continue;
        const double turn = std::fabs(row.gradeOut - row.gradeIn) / 100;
        if (turn > 0) {
            double radius = row.radius;
            if (row.kind == CurveKind::Unsymmetric) {
                const double shorter = std::min(row.tangentIn, row.tangentOut);
                const double longer = std::max(row.tangentIn, row.tangentOut);
                radius = shorter * row.length / (longer * turn);
            }
            const std::optional<double> limit = row.crest ? criteria.minCrestRadius : criteria.minSagRadius;
            if (limit && Beyond(*limit, radius))
                report(row.crest ? Criterion::MinCrestRadius : Criterion::MinSagRadius, row.point, radius, *limit);
        }
        if (criteria.minCurveLength && Beyond(*criteria.minCurveLength, row.length))
            report(Criterion::MinCurveLength, row.point, row.length, *criteria.minCurveLength);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const CriterionViolation& a, const CriterionViolation& b) { return a.point < b.point; });
    return out;
}

std::vector<CriterionViolation> ViolationsAt(const std::vector<CriterionViolation>& all, std::size_t point) {
    std::vector<CriterionViolation> out;
    for (const CriterionViolation& v : all)
        if (v.point == point) out.push_back(v);
    return out;
}

}  // namespace tarnvel
