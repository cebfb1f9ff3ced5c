#include "core/text/ground_text.h"

#include <cmath>

#include "core/calculator/number_text.h"

namespace tarnvel {
namespace {

std::string At(const Profile& profile, double internal, const TextOptions& options) {
    return StationText(profile.LabelOf(internal), options);
}

}  // namespace

std::string GroundSummaryText(const Profile& profile, const GroundSummary& s, const TextOptions& options) {
    const std::string_view end = options.lineEnd;
    std::string out = "填挖汇总";
    out += end;
    if (!profile.Model().name.empty()) {
        out += "纵断面：";
        out += profile.Model().name;
        out += end;
    }
    if (!s.covered) {
        out += "此范围内没有地面线。";
        out += end;
        return out;
    }
    out += "范围：" + At(profile, s.from, options) + " 至 " + At(profile, s.to, options) + "（有地面线的部分）";
    out += end;
    out += "单位：桩号、长度、高度为";
    out += LengthUnitName(profile.Model().unit);
    out += end;
    const auto line = [&](std::string_view title, const std::string& value) {
        out += title;
        out += "\t";
        out += value;
        out += end;
    };
    line("填方段总长", FixedText(s.fillLength, options.decimals));
    line("挖方段总长", FixedText(s.cutLength, options.decimals));
    const auto stretch = [&](const std::optional<FillCutStretch>& st) {
        if (!st) return std::string("无");
        return At(profile, st->from, options) + " 至 " + At(profile, st->to, options) + "，长 " +
               FixedText(st->to - st->from, options.decimals);
    };
    line("最长填方段", stretch(s.longestFill));
    line("最长挖方段", stretch(s.longestCut));
    const auto extreme = [&](const std::optional<FillCutExtreme>& e) {
        if (!e) return std::string("无");
        return FixedText(std::fabs(e->amount), options.decimals) + "（" + At(profile, e->station, options) + "）";
    };
    line("最大填高", extreme(s.highestFill));
    line("最大挖深", extreme(s.deepestCut));
    std::string zeros = std::to_string(s.zeroPoints.size()) + " 处";
    for (std::size_t i = 0; i < s.zeroPoints.size(); ++i) {
        zeros += i == 0 ? "：" : "、";
        zeros += At(profile, s.zeroPoints[i], options);
    }
    line("填挖交界", s.zeroPoints.empty() ? std::string("无") : zeros);
    return out;
}

std::string GroundSummaryCsv(const Profile& profile, const GroundSummary& s, const TextOptions& options) {
    std::string out = "item,station,to_station,value";
    out += options.lineEnd;
    const auto row = [&](std::string_view item, const std::string& a, const std::string& b, const std::string& v) {
        out += item;
        out += ',' + a + ',' + b + ',' + v;
        out += options.lineEnd;
    };
    if (!s.covered) return out;
    row("fill_length", "", "", FixedText(s.fillLength, options.decimals));
    row("cut_length", "", "", FixedText(s.cutLength, options.decimals));
    for (const auto& [item, st] : {std::pair{"longest_fill", s.longestFill}, std::pair{"longest_cut", s.longestCut}})
        if (st)
            row(item, At(profile, st->from, options), At(profile, st->to, options),
                FixedText(st->to - st->from, options.decimals));
    for (const auto& [item, e] : {std::pair{"highest_fill", s.highestFill}, std::pair{"deepest_cut", s.deepestCut}})
        if (e) row(item, At(profile, e->station, options), "", FixedText(std::fabs(e->amount), options.decimals));
    for (double z : s.zeroPoints) row("zero_point", At(profile, z, options), "", "");
    return out;
}

}  // namespace tarnvel
