#include "core/profile/profile.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/profile/profile_piece.h"

namespace tarnvel {
ProfileValue EvaluatePiece(const ProfilePiece& p, double s) {
    const double d = s - p.origin;
    if (p.shape != ProfilePiece::Shape::Circle) {
        const double z = p.z0 + p.slope0 * d + p.curvature * d * d;
        const double slope = p.slope0 + 2 * p.curvature * d;
        return {z, slope * 100};
    }
    // u is the horizontal distance from the centre, h the vertical one. The
    // rise from the start point, σ·d·(d + 2σ·r·sin a1) / (r·cos a1 + h), is the
    // circle equation solved without subtracting two nearly equal numbers.
    const double sigma = p.crest ? -1.0 : 1.0;
    const double u = s - p.cx;
    const double h = std::sqrt(std::max(0.0, (p.r - u) * (p.r + u)));
    const double z = p.z0 + sigma * d * (d + 2 * sigma * p.slope0) / (p.curvature + h);
    const double slope = h > 0 ? sigma * u / h : 0.0;
    return {z, slope * 100};
}

// The design line starts and ends on the first and last points' stations.
double Profile::StartStation() const { return keep_ == ProfileKeep::Everything ? pieces_.front().from : internal_.front(); }

double Profile::EndStation() const { return keep_ == ProfileKeep::Everything ? pieces_.back().to : internal_.back(); }

const std::vector<CurveElementsRow>& Profile::Elements() const {
    if (keep_ != ProfileKeep::Everything) throw std::logic_error("Profile::Elements: the profile keeps only its model");
    return elements_;
}

const std::vector<ProfilePiece>& Profile::Pieces() const {
    if (keep_ != ProfileKeep::Everything) throw std::logic_error("Profile::Pieces: the profile keeps only its model");
    return pieces_;
}

void Profile::ForEachElement(const std::function<void(const CurveElementsRow&)>& row) const {
    if (keep_ == ProfileKeep::Everything) {
        for (const CurveElementsRow& r : elements_) row(r);
        return;
    }
    Walk([](const ProfilePiece&) {}, &row);
}

std::vector<ProfileValue> Profile::ValuesAt(std::span<const double> internals) const {
    std::vector<double> at(internals.size());
    for (std::size_t k = 0; k < at.size(); ++k) at[k] = OnProfile(internals[k]);
    std::vector<ProfileValue> values(at.size());
    if (keep_ == ProfileKeep::Everything) {
        for (std::size_t k = 0; k < at.size(); ++k) values[k] = EvaluatePiece(pieces_[PieceAt(at[k])], at[k]);
        return values;
    }
    // In the order along the road, each on the last piece starting at or
    // before it, as PieceAt finds it.
    std::vector<std::size_t> order(at.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return at[a] < at[b]; });
    std::size_t next = 0;
    std::optional<ProfilePiece> previous;
    Walk(
        [&](const ProfilePiece& p) {
            for (; next < order.size() && at[order[next]] < p.from; ++next)
                values[order[next]] = EvaluatePiece(previous ? *previous : p, at[order[next]]);
            previous = p;
        },
        nullptr);
    for (; next < order.size(); ++next) values[order[next]] = EvaluatePiece(*previous, at[order[next]]);
    return values;
}

std::size_t Profile::PieceAt(double internal) const {
    // On a boundary, the piece that continues.
    const auto it = std::upper_bound(pieces_.begin(), pieces_.end(), internal,
                                     [](double s, const ProfilePiece& p) { return s < p.from; });
    return it == pieces_.begin() ? 0 : static_cast<std::size_t>(it - pieces_.begin()) - 1;
}

double RoundingTolerance(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::Metre: return 0.001;
        case LengthUnit::Foot: return 0.001 / 0.3048;
        case LengthUnit::USSurveyFoot: return 0.001 * 3937 / 1200;
    }
    return 0.001;
}

double OnRoad(double internal, double start, double end, const Chainage& chains, LengthUnit unit) {
    StationFault fault;
    if (std::isnan(internal)) throw ProfileRangeError(fault);
    if (internal >= start && internal <= end) return internal;
    // A station published to fewer decimals than the file, or a label taken
    // through the chain table and back, may land a hair beyond an end: that is
    // the end, not a station outside.
    const double slack = RoundingTolerance(unit);
    if (internal < start && internal >= start - slack) return start;
    if (internal > end && internal <= end + slack) return end;
    fault.code = StationFaultCode::OutsideProfile;
    fault.label = chains.ToLabel(internal);
    fault.from = chains.ToLabel(start);
    fault.to = chains.ToLabel(end);
    fault.internal = internal;
    fault.start = start;
    fault.end = end;
    throw ProfileRangeError(fault);
}

double LabelOnRoad(const Chainage& chains, const Station& label, LengthUnit unit) {
    try {
        return chains.ToInternal(label);
    } catch (const StationError& e) {
        const StationFault& f = e.fault();
        const double slack = RoundingTolerance(unit);
        if (f.code == StationFaultCode::InShortGap &&
            (label.value - f.at.back <= slack || f.at.ahead - label.value <= slack))
            return chains.BreakInternal(f.breakIndex);
        throw;
    }
}

double Profile::OnProfile(double internal) const {
    return OnRoad(internal, StartStation(), EndStation(), chainage_, model_.unit);
}

double Profile::InternalOf(const Station& label) const { return LabelOnRoad(chainage_, label, model_.unit); }

ProfileValue Profile::At(double internal) const {
    if (keep_ != ProfileKeep::Everything) return ValuesAt(std::span(&internal, 1)).front();
    internal = OnProfile(internal);
    return EvaluatePiece(pieces_[PieceAt(internal)], internal);
}

ProfileValue Profile::AtLabel(const Station& label) const { return At(InternalOf(label)); }

ProfileCursor::ProfileCursor(const Profile& profile) : profile_(profile) {
    if (profile.keep_ != ProfileKeep::Everything)
        throw std::logic_error("ProfileCursor: the profile keeps only its model");
}

ProfileValue ProfileCursor::At(double internal) {
    const auto& pieces = profile_.pieces_;
    if (!(internal >= profile_.StartStation() && internal <= profile_.EndStation()))
        internal = profile_.OnProfile(internal);
    if (internal < pieces[piece_].from) {
        piece_ = profile_.PieceAt(internal);  // a step back: search again
    } else {
        // A listing moves a piece at a time; a long jump searches instead.
        for (int steps = 0; piece_ + 1 < pieces.size() && internal >= pieces[piece_ + 1].from;) {
            if (++steps > 8) {
                piece_ = profile_.PieceAt(internal);
                break;
            }
            ++piece_;
        }
    }
    return EvaluatePiece(pieces[piece_], internal);
}

const char* CurveKindName(CurveKind kind) {
    switch (kind) {
        case CurveKind::None: return "无竖曲线";
        case CurveKind::ParabolaRadius: return "抛物线(R)";
        case CurveKind::ParabolaLength: return "抛物线(L)";
        case CurveKind::Unsymmetric: return "非对称抛物线";
        case CurveKind::Circular: return "圆曲线";
    }
    return "";
}

const char* LengthUnitName(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::Metre: return "米";
        case LengthUnit::Foot: return "英尺";
        case LengthUnit::USSurveyFoot: return "美国测量英尺";
    }
    return "";
}

const char* LengthUnitSymbol(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::Metre: return "m";
        case LengthUnit::Foot: return "ft";
        case LengthUnit::USSurveyFoot: return "ftUS";
    }
    return "";
}

bool GradeChanges(const CurveElementsRow& row) {
    constexpr double kLeastChange = 1e-6;  // percent
    return std::fabs(row.gradeOut - row.gradeIn) >= kLeastChange;
}

}  // namespace tarnvel
