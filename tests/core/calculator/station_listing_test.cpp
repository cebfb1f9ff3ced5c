#include "core/calculator/station_listing.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/text/messages.h"

namespace tarnvel {
namespace {

const CurveParameters kStartUp{16770, 396.67, 3.1, 1.1, 3000};

struct Listing {
    ListingResult result;
    std::string text;
    std::size_t pieces = 0;
};

Listing List(const CurveParameters& p, StationRange range, std::uint64_t max = 1000,
             CurveState* state = nullptr) {
    CurveState local;
    Listing out;
    out.result = ListStations(p, range, max, state ? *state : local, [&](std::string_view piece) {
        out.text += piece;
        ++out.pieces;
    });
    return out;
}

std::string Lines(std::initializer_list<const char*> stationLines) {
    std::string text(kListingHeader);
    for (const char* line : stationLines) text += std::string(line) + "\r\n";
    return text;
}

struct RangeCase {
    const char* name;
    StationRange range;
    std::string expected;
};

TEST(ListStations, LayoutAndTheAccumulatedCounter) {
    const RangeCase cases[] = {
        {"start-up range",
         {16740, 16800, 10},
         Lines({"16740   395.74", "16750   396.033", "16760   396.293", "16770   396.52",
                "16780   396.713", "16790   396.873", "16800   397"})},
        {"downwards",
         {16800, 16740, -10},
         Lines({"16800   397", "16790   396.873", "16780   396.713", "16770   396.52",
                "16760   396.293", "16750   396.033", "16740   395.74"})},
        {"range with no station", {16800, 16740, 10}, Lines({})},
        {"upwards range with a negative interval", {16740, 16800, -10}, Lines({})},
        {"start equal to end", {16770, 16770, 10}, Lines({"16770   396.52"})},
        {"end not forced in", {16740, 16795, 10},
         Lines({"16740   395.74", "16750   396.033", "16760   396.293", "16770   396.52",
                "16780   396.713", "16790   396.873"})},
        {"fourth counter value passes the end", {0, 0.3, 0.1},
         Lines({"0   -123.2", "0.1   -123.197", "0.2   -123.194"})},
    };
    for (const auto& c : cases) {
        const Listing l = List(kStartUp, c.range);
        EXPECT_EQ(l.result.outcome, ListingOutcome::Complete) << c.name;
        EXPECT_EQ(l.text, c.expected) << c.name;
    }
}

TEST(ListStations, TenthsPrintTheRoundedCounterButComputeAtItsExactValue) {
    CurveState state;
    const Listing l = List(kStartUp, {16740, 16741, 0.1}, 1000, &state);
    EXPECT_EQ(l.result.stationsListed, 11u);
    EXPECT_NE(l.text.find("\r\n16740.1   "), std::string::npos);
    EXPECT_TRUE(l.text.ends_with("\r\n16741   395.771\r\n")) << l.text;
    // The window state holds the last station, computed at the accumulated value.
    CurveState direct;
    CalculateAt(kStartUp, 16740.999999999985, direct);
    EXPECT_EQ(state.H, direct.H);
}

TEST(ListStations, StreamsOnePiecePerLine) {
    const Listing l = List(kStartUp, {16740, 16800, 10});
    EXPECT_EQ(l.pieces, 8u);
}

TEST(ListStations, ZeroRadiusLeavesTheHeaderAlone) {
    CurveParameters p = kStartUp;
    p.RadiusR = 0;
    const Listing l = List(p, {16740, 16800, 10});
    EXPECT_EQ(l.result.outcome, ListingOutcome::ArithmeticFailed);
    EXPECT_EQ(l.text, kListingHeader);
    EXPECT_EQ(l.result.stationsListed, 0u);
    EXPECT_EQ(DescribeListingResult(l.result, 1000),
              "连续计算在桩号16740处中止（已列出0个桩号）：计算外距长E时出现无效运算（如0除以0）。"
              "请检查竖曲线半径R是否为0。");
    // A range without stations computes nothing, so nothing fails.
    EXPECT_EQ(List(p, {1, 0, 1}).result.outcome, ListingOutcome::Complete);
}

TEST(ListStations, CounterOverflowFailsAfterTheLastLine) {
    const double big = std::numeric_limits<double>::max();
    const CurveParameters p{big, 0, 1, 1, 1000};
    const Listing l = List(p, {big, big, big});
    EXPECT_EQ(l.result.outcome, ListingOutcome::ArithmeticFailed);
    EXPECT_EQ(l.result.stationsListed, 1u);
    EXPECT_EQ(std::string(QuantityName(l.result.error->quantity())), "桩号");
    EXPECT_EQ(l.text.substr(l.text.find('\n') + 1), "1.79769313486232E+308   0\r\n");
}

struct RefusalCase {
    const char* name;
    StationRange range;
    std::uint64_t max;
    ListingOutcome outcome;
};

TEST(ListStations, EndlessOrOversizedRangesAreRefusedBeforeAnythingIsWritten) {
    const RefusalCase cases[] = {
        {"zero interval", {16740, 16800, 0}, 1000, ListingOutcome::CounterStalls},
        {"cleared boxes", {0, 0, 0}, 1000, ListingOutcome::CounterStalls},
        {"interval below the station resolution", {1e17, 1e17, 1}, 1000,
         ListingOutcome::CounterStalls},
        {"counter stalls part-way", {9007199254740990.0, 1e17, 1}, 1000,
         ListingOutcome::CounterStalls},
        {"a billion stations", {0, 1e9, 0.001}, 1'000'000, ListingOutcome::TooManyStations},
        {"one more than allowed", {1, 11, 1}, 10, ListingOutcome::TooManyStations},
    };
    for (const auto& c : cases) {
        CurveState state;
        state.H = 42;
        const Listing l = List(kStartUp, c.range, c.max, &state);
        EXPECT_EQ(l.result.outcome, c.outcome) << c.name;
        EXPECT_EQ(l.text, "") << c.name;
        EXPECT_EQ(state.H, 42) << c.name;
        EXPECT_FALSE(DescribeListingResult(l.result, c.max).empty()) << c.name;
    }
    // Zero interval with the start past the end lists nothing and ends at once.
    EXPECT_EQ(List(kStartUp, {2, 1, 0}).text, kListingHeader);
    // Exactly the limit is allowed.
    EXPECT_EQ(List(kStartUp, {1, 10, 1}, 10).result.stationsListed, 10u);
}

TEST(ListStations, RefusalMessagesNameTheCauseAndTheLimit) {
    ListingResult tooMany;
    tooMany.outcome = ListingOutcome::TooManyStations;
    EXPECT_EQ(DescribeListingResult(tooMany, 1'000'000),
              "起点桩号到止点桩号之间的桩号超过1,000,000个，连续计算已取消。"
              "请增大计算间距J或缩小桩号范围。");
    EXPECT_EQ(DescribeListingResult(ListingResult{}, 10), "");
}

}  // namespace
}  // namespace tarnvel
