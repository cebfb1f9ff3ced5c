// Every problem code the core reports, worded by the one message module: the
// sentences the window, the command-line tool and the file readers show.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/text/messages.h"

namespace tarnvel {
namespace {

ProfileProblem Problem(ProblemCode code, std::size_t point, Station label) {
    ProfileProblem p;
    p.code = code;
    p.point = point;
    p.label = label;
    return p;
}

ProfileProblem Against(ProfileProblem p, std::size_t other, Station label, double amount = 0,
                       LengthUnit unit = LengthUnit::Metre) {
    p.other = other;
    p.otherLabel = label;
    p.amount = amount;
    p.unit = unit;
    return p;
}

StationFault Fault(StationFaultCode code, Station label) {
    StationFault f;
    f.code = code;
    f.label = label;
    return f;
}

struct SentenceCase {
    const char* name;
    std::string actual;
    const char* expected;
};

TEST(Messages, EveryProfileProblemReadsAsOneSentence) {
    const Station k16{16770, 0};
    const Station k16b{16700.5, 2};
    ProfileProblem few = Problem(ProblemCode::TooFewPoints, 0, {});
    few.count = 1;
    ProfileProblem chain = Problem(ProblemCode::ChainInvalid, 1, {});
    chain.chain = {ChainFault::NotAfterPrevious, 1, {1050, 1200}};
    ProfileProblem gap = Problem(ProblemCode::StationUnplaceable, 1, {1050, 0});
    gap.station = Fault(StationFaultCode::InShortGap, {1050, 0});
    gap.station.at = {1000, 1100};
    ProfileProblem radius = Problem(ProblemCode::CurveValueNotPositive, 2, k16);
    ProfileProblem lengthOut = Problem(ProblemCode::CurveValueTooLarge, 2, k16);
    lengthOut.value = CurveValue::LengthOut;
    const ProfileProblem hugeStation = Problem(ProblemCode::StationOutOfRange, 1, {2e12, 0});
    const SentenceCase cases[] = {
        {"too few points", DescribeProfileProblem(few), "纵断面至少需要起点和终点两个点，现有 1 个。"},
        {"chain table", DescribeProfileProblem(chain),
         "第2处断链（K1+050 = K1+200，短链）不在前一处断链之后：其断链前桩号须大于前一处断链的断链后桩号。"},
        {"station beyond use names no label", DescribeProfileProblem(hugeStation),
         "第2点的桩号超出可用范围（绝对值须不大于 1E+12）。"},
        {"elevation", DescribeProfileProblem(Problem(ProblemCode::ElevationOutOfRange, 2, k16b)),
         "第3点（桩号 K16+700.5(2)）的高程超出可用范围（绝对值须不大于 1E+12）。"},
        {"label in a gap", DescribeProfileProblem(gap),
         "第2点（桩号 K1+050）：桩号 K1+050 落在第1处断链（K1+000 = K1+100，短链）的缺口内，该桩号不存在。"},
        {"curve on the start", DescribeProfileProblem(Problem(ProblemCode::CurveOnStart, 0, {0, 0})),
         "第1点（桩号 K0+000）是起点，不能设竖曲线。"},
        {"curve on the end", DescribeProfileProblem(Problem(ProblemCode::CurveOnEnd, 4, k16)),
         "第5点（桩号 K16+770）是终点，不能设竖曲线。"},
        {"radius not positive", DescribeProfileProblem(radius), "第3点（桩号 K16+770）的竖曲线半径须为正数。"},
        {"half length too large", DescribeProfileProblem(lengthOut),
         "第3点（桩号 K16+770）的竖曲线后半段长度超出可用范围（须不大于 1E+12）。"},
        {"not increasing", DescribeProfileProblem(Against(Problem(ProblemCode::NotIncreasing, 2, {16700, 0}), 1, k16)),
         "第3点（桩号 K16+700）不在第2点（桩号 K16+770）之后：桩号须沿路线严格递增。"},
        {"grade too steep", DescribeProfileProblem(Against(Problem(ProblemCode::GradeTooSteep, 1, k16), 0, {})),
         "第2点（桩号 K16+770）与前一点的坡度过大，无法计算。"},
        {"curve too long", DescribeProfileProblem(Problem(ProblemCode::CurveTooLong, 1, k16)),
         "第2点（桩号 K16+770）的竖曲线过长，无法计算。"},
        {"start beyond",
         DescribeProfileProblem(Against(Problem(ProblemCode::CurveStartBeyond, 1, {16030, 0}), 0, {16000, 0}, 30)),
         "第2点（桩号 K16+030）的竖曲线起点超出第1点（桩号 K16+000）30 米。"},
        {"end beyond by rounding noise",
         DescribeProfileProblem(Against(Problem(ProblemCode::CurveEndBeyond, 1, {100, 0}), 2, {140, 0},
                                        0.000153821601998061)),
         "第2点（桩号 K0+100）的竖曲线终点超出第3点（桩号 K0+140）0.154 毫米。"},
        {"overlap", DescribeProfileProblem(Against(Problem(ProblemCode::CurvesOverlap, 2, {180, 0}), 1, {100, 0}, 20)),
         "第3点（桩号 K0+180）的竖曲线与第2点（桩号 K0+100）的竖曲线重叠 20 米。"},
        {"overlap by rounding, a note",
         DescribeProfileProblem(Against(Problem(ProblemCode::CurvesMeetAdjusted, 7, {5350, 0}), 6, {5100, 0},
                                        7.28199347577174E-06)),
         "第8点（桩号 K5+350）的竖曲线与第7点（桩号 K5+100）的竖曲线重叠 0.00728 毫米，"
         "属数值舍入，已视为相接：两条竖曲线在重叠段中点相接。"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(Messages, StationsThatCannotBePlacedSayWhy) {
    StationFault ambiguousOnce = Fault(StationFaultCode::Ambiguous, {1050, 0});
    ambiguousOnce.count = 2;
    ambiguousOnce.aroundOneBreak = true;
    ambiguousOnce.at = {1100, 1000};
    StationFault ambiguousThrice = Fault(StationFaultCode::Ambiguous, {1050, 0});
    ambiguousThrice.count = 3;
    StationFault missing = Fault(StationFaultCode::OccurrenceMissing, {1050, 3});
    missing.count = 2;
    // A station 1.5 mm beyond the end, and one that differs from the start only
    // in the seventh decimal: each printed with the digits that tell them apart.
    StationFault beyond = Fault(StationFaultCode::OutsideProfile, {876.273564, 0});
    beyond.from = {-8.249974, 0};
    beyond.to = {876.272064, 0};
    StationFault close = Fault(StationFaultCode::OutsideProfile, {-8.2499741, 0});
    close.from = {-8.249974, 0};
    close.to = {876.272064, 0};
    const SentenceCase cases[] = {
        {"repeat without breaks", DescribeStationFault(Fault(StationFaultCode::RepeatWithoutBreaks, {100, 2})),
         "桩号 K0+100(2) 不存在：没有断链，每个桩号只出现一次。"},
        {"outside every region", DescribeStationFault(Fault(StationFaultCode::OutsideRegions, {50, 0})),
         "桩号 K0+050 不在任何断链区段内。"},
        {"twice around one break", DescribeStationFault(ambiguousOnce),
         "桩号 K1+050 在第1处断链（K1+100 = K1+000，长链）前后各出现一次，请写作 K1+050(1) 或 K1+050(2) 注明是第几次出现。"},
        {"three times", DescribeStationFault(ambiguousThrice),
         "桩号 K1+050 因断链出现 3 次，请写作 K1+050(1) 至 K1+050(3) 注明是第几次出现。"},
        {"occurrence missing", DescribeStationFault(missing), "桩号 K1+050(3) 不存在：该桩号只出现 2 次。"},
        {"beyond the end", DescribeStationFault(beyond),
         "桩号 K0+876.273564 在纵断面范围（-K0+008.249974 至 K0+876.272064）之外。"},
        {"close to the start", DescribeStationFault(close),
         "桩号 -K0+008.2499741 在纵断面范围（-K0+008.249974 至 K0+876.272064）之外。"},
        {"not a number", DescribeStationFault(Fault(StationFaultCode::NotANumber, {})), "桩号不是有效数值。"},
        {"chain labels beyond use", DescribeChainProblem({ChainFault::LabelOutOfRange, 0, {1000, 2e12}}),
         "第1处断链（K1+000 = K2000000000+000，短链）的桩号超出可用范围（绝对值须不大于 1E+12）。"},
        {"chain without a jump", DescribeChainProblem({ChainFault::SameLabels, 0, {50, 50}}),
         "第1处断链（K0+050 = K0+050，长链）的断链前后桩号相同，不是断链。"},
        {"station text", DescribeStationText({StationTextFault::MetresTooMany, "K0+1000"}),
         "桩号“K0+1000”无法识别：“+”后的米数须小于 1000（满 1000 米记入公里数）。"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(Messages, ListingRefusalsEachHaveTheirOwnWords) {
    const auto result = [](ListingFault fault) {
        ProfileListingResult r;
        r.ok = false;
        r.fault = fault;
        r.from = {16500, 0};
        r.to = {16000, 0};
        r.step = 1e-300;
        r.maxRows = 1000;
        return r;
    };
    ProfileListingResult many = result(ListingFault::TooManyRows);
    many.estimate = 25000;
    ProfileListingResult off = result(ListingFault::StationOff);
    off.station = Fault(StationFaultCode::OutsideRegions, {50, 0});
    const SentenceCase cases[] = {
        {"complete", DescribeProfileListing(ProfileListingResult{}), ""},
        {"step", DescribeProfileListing(result(ListingFault::StepNotPositive)), "间距须为正数。"},
        {"to before from", DescribeProfileListing(result(ListingFault::ToBeforeFrom)),
         "终点桩号 K16+000.000 在起点桩号 K16+500.000 之前。"},
        {"step too small", DescribeProfileListing(result(ListingFault::StepTooSmall)),
         "间距 1E-300 过小，无法区分相邻桩号。"},
        {"too many, estimated", DescribeProfileListing(many), "列表共约 25000 行，超过上限 1000 行。"},
        {"too many, counted", DescribeProfileListing(result(ListingFault::TooManyRows)), "列表超过上限 1000 行。"},
        {"end off the profile", DescribeProfileListing(off), "桩号 K0+050 不在任何断链区段内。"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(Messages, LengthsPrintOneWay) {
    const SentenceCase cases[] = {
        {"below a millimetre", LengthInMessage(0.000728, LengthUnit::Metre), "0.728 毫米"},
        {"rounding noise", LengthInMessage(7.28199347577174E-06, LengthUnit::Metre), "0.00728 毫米"},
        {"millimetres", LengthInMessage(0.0015, LengthUnit::Metre), "1.5 毫米"},
        {"a centimetre and up", LengthInMessage(0.01, LengthUnit::Metre), "0.01 米"},
        {"to the millimetre", LengthInMessage(12.50049, LengthUnit::Metre), "12.5 米"},
        {"no exponent when large", LengthInMessage(123456789.0004, LengthUnit::Metre), "123456789 米"},
        {"feet stay feet", LengthInMessage(0.00328084, LengthUnit::Foot), "0.00328 英尺"},
        {"feet above a hundredth", LengthInMessage(20, LengthUnit::Foot), "20 英尺"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

}  // namespace
}  // namespace tarnvel
