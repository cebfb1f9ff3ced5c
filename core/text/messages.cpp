#include "core/text/messages.h"

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

}  // namespace tarnvel
