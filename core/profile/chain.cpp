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
            chain.sortedFrom_.push_back(chain.RegionLabelFrom(r));
            chain.sortedTo_.push_back(chain.RegionLabelTo(r));
        }
        std::sort(chain.sortedFrom_.begin(), chain.sortedFrom_.end());
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

Station Chainage::LabelInRegion(double label, std::size_t region) const {
    Station station{label, 0};
    if (breaks_.empty()) return station;
    // Most labels lie in one region only: two binary searches tell, and only a
    // label that occurs more than once has its occurrence counted.
    const bool inOwn = label >= RegionLabelFrom(region) && label <= RegionLabelTo(region);
    if (RegionsHolding(label) + (inOwn ? 0 : 1) <= 1) return station;
    int before = 0;
    int count = 0;
    for (std::size_t r = 0; r < RegionCount(); ++r) {
        // The region itself always counts, even where rounding put the label a
        // hair outside its bounds.
        if (r == region || (label >= RegionLabelFrom(r) && label <= RegionLabelTo(r))) {
            ++count;
            if (r < region) ++before;
        }
    }
    if (count > 1) station.occurrence = before + 1;
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
