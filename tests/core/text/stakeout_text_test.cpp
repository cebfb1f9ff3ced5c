// 放样数据 rows: the names a controller keys its points by, the columns in
// the order it imports them, and the shared stakeout case (a published route
// with a long chain) listed with 边桩 on both sides.

#include "core/text/stakeout_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/plan/plan_listing.h"
#include "tests/plan_cases.h"

namespace tarnvel {
namespace {

TextOptions WithDecimals(int decimals) {
    TextOptions o;
    o.decimals = decimals;
    return o;
}

TEST(StakeoutText, names_carry_the_station_side_and_distance_with_only_the_digits_needed) {
    struct Case {
        const char* why;
        Station label;
        double offset;
        int decimals;
        const char* name;
    };
    const Case cases[] = {
        {"the centre line: the station alone", {1260, 0}, 0, 3, "K1+260"},
        {"left is negative", {1260, 0}, -7.5, 3, "K1+260左7.5"},
        {"right, a whole distance keeps its zeros", {1260, 0}, 10, 0, "K1+260右10"},
        {"a station's own decimals", {1260.25, 0}, 12, 3, "K1+260.25右12"},
        {"the second occurrence behind a long chain", {5350, 2}, -12, 3, "K5+350(2)左12"},
        {"rounded up into the next kilometre", {999.9996, 0}, 0, 3, "K1+000"},
        {"more decimals asked for", {1260.0004, 0}, 7.50004, 4, "K1+260.0004右7.5"},
        {"before the zero station", {-50, 0}, 3.25, 3, "-K0+050右3.25"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StakeoutName(c.label, c.offset, WithDecimals(c.decimals)), c.name) << c.why;
}

TEST(StakeoutText, only_the_centre_point_takes_the_design_elevation) {
    PlanListingRow row;
    row.label = {1260, 0};
    row.pose = {{1000, 2000}, 0};  // heading north: right is east
    const double offsets[] = {-7.5, 0, 7.5};
    std::string out;
    ForEachStakeoutPoint(row, offsets, 105.3, [&](const StakeoutPoint& p) { AppendStakeoutRow(out, p, {}); });
    EXPECT_EQ(out,
              "K1+260左7.5,,1992.500,1000.000,\n"
              "K1+260,,2000.000,1000.000,105.300\n"
              "K1+260右7.5,,2007.500,1000.000,\n");
}

TEST(StakeoutText, offsets_that_would_share_a_name_are_found) {
    const std::vector<double> close = {-7.5, 0, 7.5, 7.5001};
    const auto alike = OffsetsNamedAlike(close, WithDecimals(3));
    ASSERT_TRUE(alike);
    EXPECT_EQ(alike->first, 7.5);
    EXPECT_EQ(alike->second, 7.5001);
    EXPECT_FALSE(OffsetsNamedAlike(close, WithDecimals(4)));
    const std::vector<double> sides = {-7.5, 0, 7.5};
    EXPECT_FALSE(OffsetsNamedAlike(sides, WithDecimals(0)));
}

TEST(StakeoutText, the_shared_route_lists_its_points_by_name_across_the_long_chain) {
    const test::StakeoutCase c = test::StakeoutRouteCase();
    std::optional<Plan> plan = Plan::Resolve(c.table);
    ASSERT_TRUE(plan);
    ProfileRange range;
    range.from = *ParseStation(c.from);
    range.to = *ParseStation(c.to);
    range.step = c.step;
    std::string text;
    std::vector<StakeoutPoint> points;
    const ProfileListingResult result = ListPlan(*plan, range, 1000, [&](const PlanListingRow& row) {
        ForEachStakeoutPoint(row, c.offsets, std::nullopt, [&](const StakeoutPoint& p) {
            points.push_back(p);
            AppendStakeoutRow(text, p, {});
        });
    });
    ASSERT_TRUE(result.ok);
    std::istringstream lines(text);
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) {
        names.push_back(line.substr(0, line.find(',')));
        EXPECT_EQ(line.substr(line.find(','), 2), ",,") << line;  // the code empty
        EXPECT_EQ(line.back(), ',') << line;                        // no elevation without a profile
    }
    EXPECT_EQ(names, c.names);
    for (const auto& [name, want] : c.known) {
        const auto at = std::find(names.begin(), names.end(), name) - names.begin();
        ASSERT_LT(static_cast<std::size_t>(at), points.size()) << name;
        EXPECT_NEAR(points[static_cast<std::size_t>(at)].at.north, want.north, c.tolerance) << name;
        EXPECT_NEAR(points[static_cast<std::size_t>(at)].at.east, want.east, c.tolerance) << name;
    }
}

}  // namespace
}  // namespace tarnvel
