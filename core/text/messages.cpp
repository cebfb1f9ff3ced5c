#include "core/text/messages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"

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

const char* QuantityName(Quantity quantity) {
    switch (quantity) {
        case Quantity::CurveLength: return "曲线长L";
        case Quantity::TangentLength: return "切线长T";
        case Quantity::External: return "外距长E";
        case Quantity::CurveStart: return "起点ZY";
        case Quantity::CurveEnd: return "止点YZ";
        case Quantity::Elevation: return "高程H";
        case Quantity::Station: return "桩号";
    }
    return "";
}

std::string DescribeArithmeticError(const ArithmeticError& error) {
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + string
    // and on insert() in optimised builds.
    std::string text = "计算";
    text += QuantityName(error.quantity());
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
            text += DescribeStationFault(p.fault);
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

std::string DescribeUnlistedGroundProblems(std::size_t listed, std::size_t total) {
    if (total <= listed) return {};
    return "另有 " + std::to_string(total - listed) + " 处问题未列出。";
}

std::string DescribeCharactersOutsideGbk(const std::vector<std::string>& characters) {
    if (characters.empty()) return {};
    std::string text = "DXF 文件的 GBK 编码中没有字符" + QuotedList(characters, "个");
    text += "，图中已写作“?”。";
    return text;
}

std::string DescribePlanSheetTooLarge(double width, double height, int scale, double largest, bool pdf) {
    const auto mm = [](double v) { return std::to_string(static_cast<long long>(std::ceil(v))); };
    return "平面图在 1:" + std::to_string(scale) + " 下的图幅为 " + mm(width) + " × " + mm(height) + " 毫米，超出" +
           (pdf ? " PDF 页面" : "图纸") + "的最大尺寸（" + mm(largest) + " 毫米）：请选用较小的比例（较大的比例分母）" +
           (pdf ? "，或写成 DXF。" : "。");
}

std::string DescribeSheetsLeftOut(std::size_t leftOut) {
    if (leftOut == 0) return {};
    return "SVG 文件只含第一张图纸，其余 " + std::to_string(leftOut) + " 张未写入；全部图纸请导出 PDF 或 DXF。";
}

namespace {

std::string LabelText(double value, int occurrence) { return LabelText(Station{value, occurrence}); }

// Drops trailing zeros after a full stop, and the full stop itself.
void TrimZeros(std::string& text) {
    if (text.find('.') == std::string::npos) return;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
}

// Three significant digits, written out in full (0 < v < 1E+3).
std::string ThreeSignificant(double v) {
    const int exponent = static_cast<int>(std::floor(std::log10(v)));
    const int decimals = std::clamp(2 - exponent, 0, 40);
    char buffer[80];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return NumberToText(v);
    std::string text(buffer, end);
    TrimZeros(text);
    return text;
}

// "第3处断链（K5+350 = K5+300，长链）"
std::string BreakName(std::size_t i, const ChainBreak& b) {
    std::string s = "第";
    s += std::to_string(i + 1);
    s += "处断链（";
    s += StationInMessage(b.back);
    s += " = ";
    s += StationInMessage(b.ahead);
    s += b.ahead > b.back ? "，短链）" : "，长链）";
    return s;
}

// "第3点（桩号 K16+770）": the label only where it is a usable number.
std::string PointName(std::size_t i, const Station& label) {
    std::string name = "第";
    name += std::to_string(i + 1);
    name += "点";
    if (std::isfinite(label.value) && std::fabs(label.value) <= 1e12) {
        name += "（桩号 ";
        name += LabelText(label);
        name += "）";
    }
    return name;
}

const char* CurveValueName(CurveValue value) {
    switch (value) {
        case CurveValue::Radius: return "半径";
        case CurveValue::Length: return "长度";
        case CurveValue::LengthIn: return "前半段长度";
        case CurveValue::LengthOut: return "后半段长度";
    }
    return "";
}

// A label and the profile's ends, each with as many decimals (six at least)
// as it takes to show the label differs from both ends.
std::string OutsideProfile(const StationFault& f) {
    int decimals = 6;
    const auto fixed = [&](double v) { return FormatStation(v, StationStyle::K, decimals); };
    while (decimals < 12 && (fixed(f.label.value) == fixed(f.from.value) || fixed(f.label.value) == fixed(f.to.value)))
        ++decimals;
    const auto text = [&](const Station& s) {
        std::string t = fixed(s.value);
        TrimZeros(t);
        if (s.occurrence >= 1) {
            t += '(';
            t += std::to_string(s.occurrence);
            t += ')';
        }
        return t;
    };
    std::string m = "桩号 ";
    m += text(f.label);
    m += f.plan ? " 在平面线形范围（" : " 在纵断面范围（";
    m += text(f.from);
    m += " 至 ";
    m += text(f.to);
    m += "）之外。";
    return m;
}

}  // namespace

std::string LengthInMessage(double length, LengthUnit unit) {
    if (!std::isfinite(length)) return NumberToText(length) + " " + LengthUnitName(unit);
    const double magnitude = std::fabs(length);
    std::string text;
    if (magnitude > 0 && magnitude < 0.01) {
        if (unit == LengthUnit::Metre) {
            text = ThreeSignificant(magnitude * 1000);
            if (length < 0) text.insert(0, "-");
            return text + " 毫米";
        }
        text = ThreeSignificant(magnitude);
        if (length < 0) text.insert(0, "-");
    } else {
        text = NumberToText(RoundTo3(length));
    }
    text += ' ';
    text += LengthUnitName(unit);
    return text;
}

std::string StationTextReason(StationTextFault fault) {
    switch (fault) {
        case StationTextFault::None: return {};
        case StationTextFault::Empty: return "内容为空";
        case StationTextFault::NoLabel: return "缺少桩号";
        case StationTextFault::TrailingText: return "桩号后有多余的字符";
        case StationTextFault::NotANumber: return "不是数字，也不是 K 记法（如 K16+770.5）";
        case StationTextFault::TrailingAfterNumber: return "数字后有多余的字符";
        case StationTextFault::OutOfRange: return "数值超出可用范围";
        case StationTextFault::UnpairedBracket: return "括号不成对";
        case StationTextFault::BadOccurrence: return "括号内须是第几次出现的序号（1、2、…）";
        case StationTextFault::KWithoutKm: return "K 后须是整公里数";
        case StationTextFault::KmNotWhole: return "公里数须是整数";
        case StationTextFault::KmWithoutPlus: return "公里数后须有“+”和米数";
        case StationTextFault::PlusWithoutMetres: return "“+”后须是米数";
        case StationTextFault::MetresTooMany: return "“+”后的米数须小于 1000（满 1000 米记入公里数）";
        case StationTextFault::FractionEmpty: return "小数点后须有数字";
    }
    return {};
}

std::string DescribeStationText(const StationTextProblem& problem) {
    std::string m = "桩号“";
    m += problem.excerpt;
    m += "”无法识别：";
    m += StationTextReason(problem.fault);
    m += "。";
    return m;
}

std::string DescribeStationFault(const StationFault& f) {
    const double v = f.label.value;
    std::string m = "桩号 ";
    switch (f.code) {
        case StationFaultCode::NotANumber:
            return "桩号不是有效数值。";
        case StationFaultCode::OutsideProfile:
            return OutsideProfile(f);
        case StationFaultCode::RepeatWithoutBreaks:
            m += LabelText(f.label);
            m += " 不存在：没有断链，每个桩号只出现一次。";
            return m;
        case StationFaultCode::InShortGap:
            m += StationInMessage(v);
            m += " 落在";
            m += BreakName(f.breakIndex, f.at);
            m += "的缺口内，该桩号不存在。";
            return m;
        case StationFaultCode::OutsideRegions:
            m += StationInMessage(v);
            m += " 不在任何断链区段内。";
            return m;
        case StationFaultCode::Ambiguous:
            m += StationInMessage(v);
            m += " ";
            if (f.aroundOneBreak) {
                m += "在";
                m += BreakName(f.breakIndex, f.at);
                m += "前后各出现一次";
            } else {
                m += "因断链出现 ";
                m += std::to_string(f.count);
                m += " 次";
            }
            m += "，请写作 ";
            m += LabelText(v, 1);
            m += f.count == 2 ? " 或 " : " 至 ";
            m += LabelText(v, f.count);
            m += " 注明是第几次出现。";
            return m;
        case StationFaultCode::OccurrenceMissing:
            m += LabelText(f.label);
            m += " 不存在：该桩号只出现 ";
            m += std::to_string(f.count);
            m += " 次。";
            return m;
    }
    return m;
}

std::string DescribeChainProblem(const ChainProblem& problem) {
    std::string m = BreakName(problem.index, problem.at);
    switch (problem.fault) {
        case ChainFault::None: return {};
        case ChainFault::LabelOutOfRange: m += "的桩号超出可用范围（绝对值须不大于 1E+12）。"; break;
        case ChainFault::SameLabels: m += "的断链前后桩号相同，不是断链。"; break;
        case ChainFault::NotAfterPrevious:
            m += "不在前一处断链之后：其断链前桩号须大于前一处断链的断链后桩号。";
            break;
    }
    return m;
}

std::string DescribeProfileProblem(const ProfileProblem& p) {
    std::string m;
    if (p.code == ProblemCode::TooFewPoints) {
        m = "纵断面至少需要起点和终点两个点，现有 ";
        m += std::to_string(p.count);
        m += " 个。";
        return m;
    }
    if (p.code == ProblemCode::ChainInvalid) return DescribeChainProblem(p.chain);
    m = PointName(p.point, p.label);
    const std::string other = PointName(p.other, p.otherLabel);
    switch (p.code) {
        case ProblemCode::TooFewPoints:
        case ProblemCode::ChainInvalid:
            break;
        case ProblemCode::StationOutOfRange: m += "的桩号超出可用范围（绝对值须不大于 1E+12）。"; break;
        case ProblemCode::ElevationOutOfRange: m += "的高程超出可用范围（绝对值须不大于 1E+12）。"; break;
        case ProblemCode::StationUnplaceable:
            m += "：";
            m += DescribeStationFault(p.station);
            break;
        case ProblemCode::CurveOnStart: m += "是起点，不能设竖曲线。"; break;
        case ProblemCode::CurveOnEnd: m += "是终点，不能设竖曲线。"; break;
        case ProblemCode::CurveValueNotPositive:
            m += "的竖曲线";
            m += CurveValueName(p.value);
            m += "须为正数。";
            break;
        case ProblemCode::CurveValueTooLarge:
            m += "的竖曲线";
            m += CurveValueName(p.value);
            m += "超出可用范围（须不大于 1E+12）。";
            break;
        case ProblemCode::NotIncreasing:
            m += "不在";
            m += other;
            m += "之后：桩号须沿路线严格递增。";
            break;
        case ProblemCode::GradeTooSteep: m += "与前一点的坡度过大，无法计算。"; break;
        case ProblemCode::CurveTooLong: m += "的竖曲线过长，无法计算。"; break;
        case ProblemCode::CurveStartBeyond:
        case ProblemCode::CurveEndBeyond:
            m += p.code == ProblemCode::CurveStartBeyond ? "的竖曲线起点超出" : "的竖曲线终点超出";
            m += other;
            m += LengthInMessage(p.amount, p.unit);
            m += "。";
            break;
        case ProblemCode::CurvesOverlap:
        case ProblemCode::CurvesMeetAdjusted:
            m += "的竖曲线与";
            m += other;
            m += "的竖曲线重叠 ";
            m += LengthInMessage(p.amount, p.unit);
            if (p.code == ProblemCode::CurvesOverlap) {
                m += "。";
            } else {
                m += "，属数值舍入，已视为相接：两条竖曲线在重叠段中点相接。";
            }
            break;
    }
    return m;
}

std::string DescribeProfileListing(const ProfileListingResult& r) {
    std::string m;
    switch (r.fault) {
        case ListingFault::None: return {};
        case ListingFault::StepNotPositive: return "间距须为正数。";
        case ListingFault::StationOff: return DescribeStationFault(r.station);
        case ListingFault::ToBeforeFrom:
            m = "终点桩号 ";
            m += FormatStation(r.to, StationStyle::K, 3);
            m += " 在起点桩号 ";
            m += FormatStation(r.from, StationStyle::K, 3);
            m += " 之前。";
            return m;
        case ListingFault::StepTooSmall:
            m = "间距 ";
            m += NumberToText(r.step);
            m += " 过小，无法区分相邻桩号。";
            return m;
        case ListingFault::TooManyRows:
            if (r.estimate > 0) {
                m = "列表共约 ";
                m += NumberToText(r.estimate);
                m += " 行，超过上限 ";
            } else {
                m = "列表超过上限 ";
            }
            m += std::to_string(r.maxRows);
            m += " 行。";
            return m;
    }
    return m;
}

std::string DescribeSheetProblem(const SheetProblem& problem) {
    switch (problem.kind) {
        case SheetProblemKind::HorizontalScale:
            return "横向比例 1:" + NumberToText(problem.value) + " 不可用：请选 1:500、1:1000、1:2000 或 1:5000。";
        case SheetProblemKind::VerticalScale:
            return "竖向比例 1:" + NumberToText(problem.value) +
                   " 不可用：竖向放大倍数（横向比例÷竖向比例）须在 1 至 50 之间。";
        case SheetProblemKind::Interval:
            return "桩号间距 " + NumberToText(problem.value) + " 不可用：须为正数，且一张图中至少容得下一个间距。";
        case SheetProblemKind::Range:
            // A sheet needs some road to draw, so equal ends are refused too.
            if (problem.range.fault == ListingFault::ToBeforeFrom)
                return "出图范围不可用：终点桩号 " + LabelText(problem.range.to) + " 不在起点桩号 " +
                       LabelText(problem.range.from) + " 之后。";
            return "出图范围不可用：" + DescribeProfileListing(problem.range);
        case SheetProblemKind::TooManySheets:
            return "出图需要 " + NumberToText(problem.value) + " 张图纸，超过上限 " + std::to_string(kMaxSheets) +
                   " 张：请缩小桩号范围或选用更小的比例。";
        case SheetProblemKind::StationsTooLarge:
            return "桩号 " + StationInMessage(problem.value) + " 过大，图纸在此比例下无法精确绘出：桩号的绝对值须在 " +
                   StationInMessage(problem.limit) + " 以内。";
    }
    return {};
}

std::string DescribeHorizontalProblem(const HorizontalProblem& p) {
    const std::string place = "平面线形第" + std::to_string(p.index) + "个元素（" + QuotedInput(p.element) + "）";
    const std::string given = "“" + QuotedInput(p.text) + "”";
    const bool missing = p.text.empty();
    switch (p.kind) {
        case HorizontalProblemKind::Length:
            return missing ? place + "未给出长度，也无法由坐标算出。" : place + "的长度" + given + "不可用。";
        case HorizontalProblemKind::Radius:
            return missing ? place + "未给出半径，也无法由坐标算出。" : place + "的半径" + given + "不是正数。";
        case HorizontalProblemKind::SpiralRadius:
            return place + (missing ? "未给出端点半径" : "的端点半径" + given + "不可用") +
                   "：须为正数，或以 INF 表示直线端。";
        case HorizontalProblemKind::SpiralStraight: return place + "两端半径均为无穷大，不是缓和曲线。";
        case HorizontalProblemKind::Rotation:
            return place + (missing ? "未给出转向" : "的转向" + given + "不可用") + "：须为 cw（右转）或 ccw（左转）。";
        case HorizontalProblemKind::Element: return place + "不是直线、圆曲线或缓和曲线，无法绘制。";
        case HorizontalProblemKind::Stations: return place + "的桩号" + given + "超出可用范围。";
        case HorizontalProblemKind::StartStation: return "线路的起点桩号（staStart）" + given + "不是数，平面线形无法绘制。";
        case HorizontalProblemKind::LengthMismatch:
            return place + "的长度" + given + "与坐标不符：由坐标算得 " + NumberToText(RoundTo3(p.value)) + "。";
        case HorizontalProblemKind::LengthBelowChord:
            return place + "的长度" + given + "短于起点到终点的距离 " + NumberToText(RoundTo3(p.value)) + "。";
        case HorizontalProblemKind::TinyRadius:
            return place + "的半径" + (missing ? std::string() : given) + "小于 " + NumberToText(kSmallestBandRadius) +
                   "，无法绘制。";
    }
    return {};
}

namespace {

// "JD3（第5行）", "第4点", "平面线形第3个元素（Spiral，第120行）"
std::string PlanPlace(bool element, std::size_t index, const std::string& name, std::size_t line,
                      PlanElementKind kind) {
    std::string m;
    if (element) {
        m = "平面线形第" + std::to_string(index + 1) + "个元素（";
        m += kind == PlanElementKind::Line ? "Line" : kind == PlanElementKind::Arc ? "Curve" : "Spiral";
        if (!name.empty()) m += "，" + QuotedInput(name);
        if (line > 0) m += "，第" + std::to_string(line) + "行";
        return m + "）";
    }
    if (!name.empty()) {
        m = QuotedInput(name);
    } else {
        m = "第" + std::to_string(index + 1) + "点";
    }
    if (line > 0) m += "（第" + std::to_string(line) + "行）";
    return m;
}

const char* PlanFieldName(PlanField field) {
    switch (field) {
        case PlanField::North: return "X（北坐标）";
        case PlanField::East: return "Y（东坐标）";
        case PlanField::Radius: return "半径R";
        case PlanField::SpiralIn: return "前缓和曲线长Ls1";
        case PlanField::SpiralOut: return "后缓和曲线长Ls2";
        case PlanField::Station: return "起点桩号";
        case PlanField::Whole:
        case PlanField::Point:
        case PlanField::Chain:
        case PlanField::Element: return "坐标";
    }
    return "";
}

std::string Degrees(double radians) { return DegreesText(radians * 180 / 3.14159265358979323846, 1); }

}  // namespace

std::string DescribePlanProblem(const PlanProblem& p) {
    using C = PlanProblemCode;
    switch (p.code) {
        case C::TooFewPoints:
            return "交点表至少需要起点和终点两个点，现有 " + std::to_string(p.count) + " 个。";
        case C::ChainInvalid: return DescribeChainProblem(p.chain);
        case C::StationUnplaceable: return "起点桩号：" + DescribeStationFault(p.station);
        case C::NoElements: return "平面线形没有任何元素。";
        default: break;
    }
    const bool element = p.field == PlanField::Element;
    const std::string place = PlanPlace(element, p.point, p.name, p.line, p.element);
    const std::string other = PlanPlace(element, p.other, p.otherName, 0, p.element);
    const std::string length = LengthInMessage(p.amount, p.unit);
    switch (p.code) {
        case C::TooFewPoints:
        case C::ChainInvalid:
        case C::StationUnplaceable:
        case C::NoElements: break;
        case C::ValueOutOfRange:
            return place + "的" + PlanFieldName(p.field) + "超出可用范围（须是绝对值不大于 1E+12 的数）。";
        case C::RadiusNotPositive: return place + "的半径R须为正数（现为 " + length + "）。";
        case C::SpiralNegative: return place + "的" + PlanFieldName(p.field) + "不能为负数（现为 " + length + "）。";
        case C::DuplicatePoint: return place + "与" + other + "的坐标相同：同一个点出现了两次。";
        case C::LegTooShort:
            return place + "与" + other + "仅相距 " + length + "，两点实为同一点。";
        case C::DeflectionZero:
            return place + "处的转角仅为 " + Degrees(p.angle) + "：路线在此不转向，不能设平曲线。";
        case C::DeflectionTooLarge:
            return place + "处路线几乎折返（转角 " + Degrees(p.angle) + "），无法设平曲线。";
        case C::SpiralsTooLong:
            return place + "的缓和曲线过长：β01 + β02 = " + Degrees(p.angle) + "，大于转角 α = " +
                   Degrees(p.amount) + "。";
        case C::TangentsOverlap:
            return place + "与" + other + "之间的切线长之和超出两点间距离 " + length + "：曲线重叠。";
        case C::ElementLength:
            return place + "的长度须为正数（现为 " + length + "）。";
        case C::ElementRadius: return place + "的半径须为正数（现为 " + length + "）。";
        case C::ElementGap:
            return place + "的起点与" + other + "的终点相距 " + length + "：线形不连续。";
        case C::ElementKink:
            return place + "与" + other + "在连接处方向相差 " + Degrees(p.angle) + "：线形在此折转，不相切。";
        case C::StationDiffers:
            return place + "给出的桩号 " + StationInMessage(p.given) + " 与由坐标推算的 " + StationInMessage(p.amount) +
                   " 不符，已按坐标推算。";
        case C::NoIntersection:
            return place + "不属于两条直线之间、半径相同的“缓和曲线—圆曲线—缓和曲线”，交点表无法表示。";
        case C::ElementEndMisfit:
            return place + "由起点、长度和半径算出的终点与所给终点相距 " + length + "：长度或半径与坐标不符。";
        case C::ElementTurnsTooFar:
            return place + "转过 " + Degrees(p.angle) + "，超过两整圈，不是道路线形。";
        case C::ElementUnusable:
            return place + "无法由所给数据确定几何形状（两端均为直线的缓和曲线，或弦长大于直径的圆曲线）。";
        case C::DirectionDiffers:
            return place + "给出的方向 " + NumberToText(p.given) + " 与坐标算出的方位角 " + Degrees(p.angle) +
                   " 不符，已按坐标计算。";
        case C::LengthDiffers:
            return place + "给出的长度 " + NumberToText(p.given) + " 与坐标算出的 " + LengthInMessage(p.amount, p.unit) +
                   " 不符，已按坐标计算。";
        case C::AngleDiffers:
            return place + "给出的转角 theta " + NumberToText(p.given) + " 与由半径和长度算出的 " + Degrees(p.angle) +
                   " 不符，已按半径和长度计算。";
        case C::RadiusDiffers:
            return place + "给出的半径 " + NumberToText(p.given) + " 与坐标算出的 " + LengthInMessage(p.amount, p.unit) +
                   " 不符，已按坐标计算。";
    }
    return {};
}

namespace {

std::string UnitText(Unit unit) {
    const UnitInfo& u = InfoOf(unit);
    return std::string(u.name) + "（" + std::string(u.symbol) + "）";
}

}  // namespace

std::string DescribeUnitProblem(const UnitProblem& problem) {
    const std::string kind = problem.attributes ? "属性" : "列";
    const std::string column = problem.column.empty() ? std::string() : "“" + problem.column + "”" + kind + "的";
    std::string usable;
    for (const UnitInfo& u : AllUnits()) {
        if (!u.heldAs) continue;
        if (!usable.empty()) usable += "、";
        usable += UnitText(u.unit);
    }
    usable = "可用的单位有" + usable + "。";
    switch (problem.fault) {
        case UnitFault::None: return {};
        case UnitFault::Unknown:
            if (problem.word.empty()) return column + "未写明长度单位，未读取：" + usable;
            return column + "长度单位“" + QuotedInput(problem.word) + "”无法识别，未读取：" + usable;
        case UnitFault::NotConvertible:
            return column + "长度单位为" + UnitText(problem.first) + "，无法精确换算，未读取：" + usable;
        case UnitFault::Conflicting:
            if (problem.otherColumn.empty())
                return column + "长度单位写了两种：" + UnitText(problem.first) + "和" + UnitText(problem.second) +
                       "，未读取。";
            return column + "长度单位为" + UnitText(problem.first) + "，而“" + problem.otherColumn + "”" + kind + "为" +
                   UnitText(problem.second) + "：桩号、高程和长度须用同一单位，未读取。";
        case UnitFault::OutOfRange: return column + "长度换算为米后超出可用范围，未读取。";
    }
    return {};
}

}  // namespace tarnvel

namespace tarnvel {
namespace {

// A grade as messages print it: to the ten-thousandth of a percent, trailing
// zeros dropped ("5.2%").
std::string GradeInMessage(double grade) {
    std::string text = FixedText(grade, 4);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text + "%";
}

}  // namespace

std::string DescribeControlProblem(const ControlProblem& p) {
    std::string text = "控制标高" + GroundPlace(p.point, p.row);
    if (p.kind != ControlProblemKind::StationUnreadable) text += "（桩号 " + LabelText(p.station) + "）";
    const auto cell = [&](const char* what) {
        text += p.text.empty() ? std::string("的") + what + "为空。" : std::string("的") + what + "“" + p.text + "”";
    };
    switch (p.kind) {
        case ControlProblemKind::StationUnreadable:
            cell("桩号");
            if (!p.text.empty()) text += "无法识别。";
            break;
        case ControlProblemKind::BoundUnreadable:
            text += "的高程“" + p.text + "”不是数。";
            break;
        case ControlProblemKind::NoBound: text += "没有最低高程，也没有最高高程：至少要有一个。"; break;
        case ControlProblemKind::BoundsCrossed: text += "的最低高程高于最高高程。"; break;
        case ControlProblemKind::NotPlaced: text += "：" + DescribeStationFault(p.fault); break;
        case ControlProblemKind::OutsideProfile:
            text += "在设计纵断面之外（纵断面";
            text += p.station.value < p.limit.value ? "起点为 " : "终点为 ";
            text += LabelText(p.limit) + "）。";
            break;
    }
    return text;
}

const char* CriterionName(Criterion criterion) {
    switch (criterion) {
        case Criterion::MaxGrade: return "最大纵坡";
        case Criterion::MinGrade: return "最小纵坡";
        case Criterion::MinGradeLength: return "最小坡长";
        case Criterion::MinCrestRadius: return "凸形竖曲线最小半径";
        case Criterion::MinSagRadius: return "凹形竖曲线最小半径";
        case Criterion::MinCurveLength: break;
    }
    return "竖曲线最小长度";
}

std::string DescribeCriterionViolation(const CriterionViolation& v, LengthUnit unit) {
    const bool grade = v.criterion == Criterion::MaxGrade || v.criterion == Criterion::MinGrade;
    const bool ofGrade = grade || v.criterion == Criterion::MinGradeLength;
    std::string text = GroundPlace(v.point, 0);
    text += ofGrade ? "之后的" : "的";
    switch (v.criterion) {
        case Criterion::MaxGrade:
        case Criterion::MinGrade: text += "纵坡"; break;
        case Criterion::MinGradeLength: text += "坡长"; break;
        case Criterion::MinCrestRadius:
        case Criterion::MinSagRadius: text += "竖曲线半径"; break;
        case Criterion::MinCurveLength: text += "竖曲线长度"; break;
    }
    const auto amount = [&](double x) { return grade ? GradeInMessage(x) : LengthInMessage(x, unit); };
    text += " " + amount(v.value);
    text += v.criterion == Criterion::MaxGrade ? " 超过" : " 小于";
    text += CriterionName(v.criterion);
    text += " " + amount(v.limit);
    text += v.criterion == Criterion::MaxGrade ? "（超出 " : "（差 ";
    text += amount(v.Shortfall()) + "）。";
    return text;
}

std::string DescribeControlViolation(const ControlPoint& c, const ControlCheck& check, LengthUnit unit) {
    std::string text = c.name.empty() ? "控制点" : QuotedInput(c.name);
    text += "（" + LabelText(c.station) + "）：设计高程";
    text += check.status == ControlStatus::Below ? "低于最低高程 " : "高于最高高程 ";
    text += LengthInMessage(-check.margin, unit) + "。";
    return text;
}

}  // namespace tarnvel
