#include "core/text/messages.h"

#include <cmath>
#include <string>

#include "core/calculator/number_text.h"

namespace tarnvel {
namespace {

std::string WithGrouping(std::uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string GroundPlace(std::size_t point, std::size_t row) {
    std::string text = "第";
    text += std::to_string(row > 0 ? row : point + 1);
    text += row > 0 ? "行" : "点";
    return text;
}

std::string LabelText(const Station& label) {
    std::string text = StationInMessage(label.value);
    if (label.occurrence >= 1) {
        text += '(';
        text += std::to_string(label.occurrence);
        text += ')';
    }
    return text;
}

}  // namespace

std::string DescribeArithmeticError(const ArithmeticError& error) {
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + string
    // and on insert() in optimised builds.
    std::string text = "计算";
    text += error.quantity();
    text += "时";
    switch (error.fault()) {
        case ArithmeticFault::DivisionByZero:
            text += "出现除数为零的运算。";
            break;
        case ArithmeticFault::InvalidOperation:
            text += "出现无效运算（如0除以0）。";
            break;
        case ArithmeticFault::Overflow:
            text += "数值超出了可计算的范围。";
            break;
    }
    if (error.fault() == ArithmeticFault::Overflow)
        text += "请检查输入的数值是否过大。";
    else
        text += "请检查竖曲线半径R是否为0。";
    return text;
}

std::string DescribeListingResult(const ListingResult& result, std::uint64_t maxStations) {
    switch (result.outcome) {
        case ListingOutcome::Complete:
            return {};
        case ListingOutcome::CounterStalls:
            return "计算间距J为0或过小，桩号无法前进，连续计算不会结束，已取消。"
                   "请输入非零的计算间距J。";
        case ListingOutcome::TooManyStations:
        {
            std::string text = "起点桩号到止点桩号之间的桩号超过";
            text += WithGrouping(maxStations);
            text += "个，连续计算已取消。请增大计算间距J或缩小桩号范围。";
            return text;
        }
        case ListingOutcome::ArithmeticFailed:
            break;
    }
    std::string text = "连续计算在桩号";
    text += NumberToText(result.failedStation);
    text += "处中止（已列出";
    text += WithGrouping(result.stationsListed);
    text += "个桩号）：";
    if (result.error) text += DescribeArithmeticError(*result.error);
    return text;
}

std::string DescribeGroundProblem(const GroundProblem& p) {
    std::string text = "地面线";
    if (p.kind == GroundProblemKind::TooFewPoints) {
        text += "至少需要两个点，现有 ";
        text += std::to_string(p.point);
        text += " 个。";
        return text;
    }
    text += GroundPlace(p.point, p.row);
    const bool stationReadable = p.kind != GroundProblemKind::StationUnreadable &&
                                 p.kind != GroundProblemKind::StationUnusable && std::isfinite(p.station.value);
    if (stationReadable) {
        text += "（桩号 ";
        text += LabelText(p.station);
        text += "）";
    }
    switch (p.kind) {
        case GroundProblemKind::TooFewPoints: break;
        case GroundProblemKind::StationUnreadable:
            if (p.text.empty()) {
                text += "的桩号为空。";
            } else {
                text += "的桩号“";
                text += p.text;
                text += "”无法识别。";
            }
            break;
        case GroundProblemKind::ElevationUnreadable:
            if (p.text.empty()) {
                text += "的地面高程为空。";
            } else {
                text += "的地面高程“";
                text += p.text;
                text += "”不是数。";
            }
            break;
        case GroundProblemKind::StationUnusable:
            text += "的桩号超出可用范围（绝对值须不大于 1E+12）。";
            break;
        case GroundProblemKind::ElevationUnusable:
            text += "的地面高程超出可用范围（绝对值须不大于 1E+12）。";
            break;
        case GroundProblemKind::StationNotPlaced:
            text += "：";
            text += p.text;
            break;
        case GroundProblemKind::OutsideProfile:
            text += "在设计纵断面之外（纵断面";
            text += p.station.value < p.limit.value ? "起点为 " : "终点为 ";
            text += LabelText(p.limit);
            text += "）。";
            break;
        case GroundProblemKind::Duplicate:
        case GroundProblemKind::NotIncreasing:
            text += p.kind == GroundProblemKind::Duplicate ? "与" : "不在";
            text += GroundPlace(p.other, p.otherRow);
            text += p.kind == GroundProblemKind::Duplicate ? "的桩号相同：每个桩号只能有一个地面高程。"
                                                           : "之后：地面线的桩号须沿路线严格递增。";
            break;
    }
    return text;
}

}  // namespace tarnvel
