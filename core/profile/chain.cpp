#include "core/profile/chain.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnvel {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Labels beyond this are refused, so that every sum of them stays finite and exact enough.
constexpr double kLabelLimit = 1e12;

}  // namespace

std::optional<Chainage> Chainage::Make(std::vector<ChainBreak> breaks, ChainProblem* problem) {
    Chainage chain;
    const auto refuse = [&](std::size_t i, ChainFault why) -> std::optional<Chainage> {
        if (problem) *problem = {why, i, breaks[i]};
        return std::nullopt;
    };
    chain.internal_.reserve(breaks.size());
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        const ChainBreak& b = breaks[i];
        if (!std::isfinite(b.back) || !std::isfinite(b.ahead) || std::fabs(b.back) > kLabelLimit ||
            std::fabs(b.ahead) > kLabelLimit)
            return refuse(i, ChainFault::LabelOutOfRange);
        if (b.back == b.ahead) return refuse(i, ChainFault::SameLabels);
        if (i == 0) {
            chain.internal_.push_back(b.back);
            continue;
        }
        // The road between two breaks is as long as the labels run on it.
        const double between = b.back - breaks[i - 1].ahead;
        if (!(between > 0)) return refuse(i, ChainFault::NotAfterPrevious);
        chain.internal_.push_back(chain.internal_.back() + between);
    }
    chain.breaks_ = std::move(breaks);
    if (!chain.breaks_.empty()) {
        for (std::size_t r = 0; r < chain.RegionCount(); ++r) {
            chain.regionsByFrom_.push_back(r);
            chain.sortedTo_.push_back(chain.RegionLabelTo(r));
        }
        std::stable_sort(chain.regionsByFrom_.begin(), chain.regionsByFrom_.end(), [&](std::size_t a, std::size_t b) {
            return chain.RegionLabelFrom(a) < chain.RegionLabelFrom(b);
        });
        for (const std::size_t r : chain.regionsByFrom_) chain.sortedFrom_.push_back(chain.RegionLabelFrom(r));
        std::sort(chain.sortedTo_.begin(), chain.sortedTo_.end());
    }
    return chain;
}

double Chainage::RegionLabelFrom(std::size_t region) const {
    return region == 0 ? -kInfinity : breaks_[region - 1].ahead;
}

double Chainage::RegionLabelTo(std::size_t region) const {
    return region == breaks_.size() ? kInfinity : breaks_[region].back;
}

std::size_t Chainage::RegionOf(double internal) const {
    return static_cast<std::size_t>(std::upper_bound(internal_.begin(), internal_.end(), internal) -
                                    internal_.begin());
}

double Chainage::InternalInRegion(double label, std::size_t region) const {
    if (region == 0) return label;
    return internal_[region - 1] + (label - breaks_[region - 1].ahead);
}

std::size_t Chainage::RegionsHolding(double label) const {
    // Regions starting at or before the label, less those ending before it.
    const auto starting = std::upper_bound(sortedFrom_.begin(), sortedFrom_.end(), label) - sortedFrom_.begin();
    const auto ended = std::lower_bound(sortedTo_.begin(), sortedTo_.end(), label) - sortedTo_.begin();
    return static_cast<std::size_t>(starting - ended);
}

std::size_t Chainage::RegionsHolding(double label, LabelHint& hint) const {
    // Forward a few places from the last label's; anything else (a step back,
    // a long jump) is searched for, so the count is always that of the binary
    // searches.
    const auto advance = [&](const std::vector<double>& sorted, std::size_t& at, auto within) {
        if (at > sorted.size() || (at > 0 && !within(sorted[at - 1]))) at = sorted.size() + 1;
        for (int steps = 0; at < sorted.size() && within(sorted[at]); ++at)
            if (++steps > 8) {
                at = sorted.size() + 1;
                break;
            }
        return at <= sorted.size();
    };
    if (!advance(sortedFrom_, hint.starting, [&](double from) { return from <= label; }))
        hint.starting = static_cast<std::size_t>(std::upper_bound(sortedFrom_.begin(), sortedFrom_.end(), label) -
                                                 sortedFrom_.begin());
    if (!advance(sortedTo_, hint.ended, [&](double to) { return to < label; }))
        hint.ended = static_cast<std::size_t>(std::lower_bound(sortedTo_.begin(), sortedTo_.end(), label) -
                                              sortedTo_.begin());
    const std::size_t n = sortedFrom_.size();
    hint.fromLow = hint.starting > 0 ? sortedFrom_[hint.starting - 1] : -kInfinity;
    hint.fromHigh = hint.starting < n ? sortedFrom_[hint.starting] : kInfinity;
    hint.toLow = hint.ended > 0 ? sortedTo_[hint.ended - 1] : -kInfinity;
    hint.toHigh = hint.ended < n ? sortedTo_[hint.ended] : kInfinity;
    hint.holding = hint.starting - hint.ended;
    return hint.holding;
}

Station Chainage::LabelInRegion(double label, std::size_t region) const {
    if (breaks_.empty()) return {label, 0};
    return LabelInRegion(label, region, RegionsHolding(label));
}

Station Chainage::LabelInRegion(double label, std::size_t region, LabelHint& hint) const {
    if (breaks_.empty()) return {label, 0};
    // Between the same neighbouring ends as the last label: the same count.
    const bool same = hint.fromLow <= label && label < hint.fromHigh && hint.toLow < label && label <= hint.toHigh;
    return LabelInRegion(label, region, same ? hint.holding : RegionsHolding(label, hint));
}

Station Chainage::LabelInRegion(double label, std::size_t region, std::size_t holding) const {
    Station station{label, 0};
    // Most labels lie in one region only: the count of regions holding it
    // tells, and only a label that occurs more than once has its occurrence
    // counted.
    const bool inOwn = label >= RegionLabelFrom(region) && label <= RegionLabelTo(region);
    if (holding + (inOwn ? 0 : 1) <= 1) return station;
    // The region itself always counts, even where rounding put the label a
    // hair outside its bounds. The other regions holding the label are
    // looked for outwards from it: they are its neighbours on a real road.
    const std::size_t others = holding - (inOwn ? 1 : 0);
    const auto holds = [&](std::size_t r) { return label >= RegionLabelFrom(r) && label <= RegionLabelTo(r); };
    std::size_t found = 0;
    int before = 0;
    for (std::size_t d = 1; found < others && (d <= region || region + d < RegionCount()); ++d) {
        if (d <= region && holds(region - d)) {
            ++found;
            ++before;
        }
        if (region + d < RegionCount() && holds(region + d)) ++found;
    }
    station.occurrence = before + 1;
    return station;
}

double Chainage::ToInternal(const Station& label) const {
    const double v = label.value;
    if (breaks_.empty()) {
        if (label.occurrence > 1) {
            StationFault fault;
            fault.code = StationFaultCode::RepeatWithoutBreaks;
            fault.label = label;
            throw StationError(fault);
        }
        return v;
    }
    // A label that one region holds, as nearly every label of a road: the
    // region starting last at or before it is that region, unless regions
    // nest; then, and for every fault, all regions are looked at.
    if (label.occurrence <= 1 && RegionsHolding(v) == 1) {
        const auto starting = std::upper_bound(sortedFrom_.begin(), sortedFrom_.end(), v) - sortedFrom_.begin();
        const std::size_t r = regionsByFrom_[static_cast<std::size_t>(starting) - 1];
        if (v >= RegionLabelFrom(r) && v <= RegionLabelTo(r)) return InternalInRegion(v, r);
    }
    std::size_t regions[2] = {0, 0};  // the first two regions holding the label
    int count = 0;
    std::size_t chosen = 0;
    for (std::size_t r = 0; r < RegionCount(); ++r) {
        if (v < RegionLabelFrom(r) || v > RegionLabelTo(r)) continue;
        if (count < 2) regions[count] = r;
        ++count;
        if (count == label.occurrence) chosen = r;
    }
    StationFault fault;
    fault.label = label;
    fault.count = count;
    if (count == 0) {
        // Outside every region: the label lies in a short chain's gap.
        fault.code = StationFaultCode::OutsideRegions;
        for (std::size_t i = 0; i < breaks_.size(); ++i) {
            const ChainBreak& b = breaks_[i];
            if (b.ahead > b.back && v > b.back && v < b.ahead) {
                fault.code = StationFaultCode::InShortGap;
                fault.breakIndex = i;
                fault.at = b;
                break;
            }
        }
        throw StationError(fault);
    }
    if (label.occurrence == 0) {
        if (count == 1) return InternalInRegion(v, regions[0]);
        fault.code = StationFaultCode::Ambiguous;
        fault.aroundOneBreak = count == 2 && regions[1] == regions[0] + 1;
        fault.breakIndex = regions[0];
        fault.at = breaks_[regions[0]];
        throw StationError(fault);
    }
    if (label.occurrence > count) {
        fault.code = StationFaultCode::OccurrenceMissing;
        throw StationError(fault);
    }
    return InternalInRegion(v, chosen);
}

Station Chainage::ToLabel(double internal) const {
    const std::size_t region = RegionOf(internal);
    if (region == 0) return LabelInRegion(internal, 0);
    const double label = breaks_[region - 1].ahead + (internal - internal_[region - 1]);
    return LabelInRegion(label, region);
}

}  // namespace tarnvel
