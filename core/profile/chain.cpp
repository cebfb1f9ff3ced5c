#include "core/profile/chain.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnvel {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Labels beyond this are refused, so that every sum of them stays finite and exact enough.
constexpr double kLabelLimit = 1e12;

std::string BreakName(std::size_t i, const ChainBreak& b) {
    std::string s = "第" + std::to_string(i + 1) + "处断链（";
    s += StationInMessage(b.back);
    s += " = ";
    s += StationInMessage(b.ahead);
    s += b.ahead > b.back ? "，短链）" : "，长链）";
    return s;
}

std::string LabelWithOccurrence(double label, int occurrence) {
    std::string s = StationInMessage(label);
    s += "(" + std::to_string(occurrence) + ")";
    return s;
}

}  // namespace

std::optional<Chainage> Chainage::Make(std::vector<ChainBreak> breaks, std::string* error,
                                       std::size_t* errorIndex) {
    Chainage chain;
    const auto refuse = [&](std::size_t i, const std::string& why) -> std::optional<Chainage> {
        if (error) *error = BreakName(i, breaks[i]) + why;
        if (errorIndex) *errorIndex = i;
        return std::nullopt;
    };
    chain.internal_.reserve(breaks.size());
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        const ChainBreak& b = breaks[i];
        if (!std::isfinite(b.back) || !std::isfinite(b.ahead) || std::fabs(b.back) > kLabelLimit ||
            std::fabs(b.ahead) > kLabelLimit)
            return refuse(i, "的桩号超出可用范围（绝对值须不大于 1E+12）。");
        if (b.back == b.ahead) return refuse(i, "的断链前后桩号相同，不是断链。");
        if (i == 0) {
            chain.internal_.push_back(b.back);
            continue;
        }
        // The road between two breaks is as long as the labels run on it.
        const double between = b.back - breaks[i - 1].ahead;
        if (!(between > 0))
            return refuse(i, "不在前一处断链之后：其断链前桩号须大于前一处断链的断链后桩号。");
        chain.internal_.push_back(chain.internal_.back() + between);
    }
    chain.breaks_ = std::move(breaks);
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

Station Chainage::LabelInRegion(double label, std::size_t region) const {
    Station station{label, 0};
    if (breaks_.empty()) return station;
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
        if (label.occurrence > 1)
            throw StationError("桩号 " + LabelWithOccurrence(v, label.occurrence) +
                               " 不存在：没有断链，每个桩号只出现一次。");
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
    if (count == 0) {
        // Outside every region: the label lies in a short chain's gap.
        for (std::size_t i = 0; i < breaks_.size(); ++i) {
            const ChainBreak& b = breaks_[i];
            if (b.ahead > b.back && v > b.back && v < b.ahead)
                throw StationError("桩号 " + StationInMessage(v) + " 落在" + BreakName(i, b) +
                                   "的缺口内，该桩号不存在。");
        }
        throw StationError("桩号 " + StationInMessage(v) + " 不在任何断链区段内。");
    }
    if (label.occurrence == 0) {
        if (count == 1) return InternalInRegion(v, regions[0]);
        std::string where;
        if (count == 2 && regions[1] == regions[0] + 1)
            where = "在" + BreakName(regions[0], breaks_[regions[0]]) + "前后各出现一次";
        else
            where = "因断链出现 " + std::to_string(count) + " 次";
        throw StationError("桩号 " + StationInMessage(v) + " " + where + "，请写作 " +
                           LabelWithOccurrence(v, 1) + (count == 2 ? " 或 " : " 至 ") +
                           LabelWithOccurrence(v, count) + " 注明是第几次出现。");
    }
    if (label.occurrence > count) {
        throw StationError("桩号 " + LabelWithOccurrence(v, label.occurrence) + " 不存在：该桩号只出现 " +
                           std::to_string(count) + " 次。");
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
