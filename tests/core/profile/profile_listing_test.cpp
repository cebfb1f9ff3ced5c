#include "core/profile/profile_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calculator/number_text.h"
#include "tests/profile_builders.h"
#include "tests/worked_example.h"
#include "core/text/messages.h"

namespace tarnvel {
namespace {

using Kind = ListingRowKind;

std::vector<ProfileListingRow> List(const Profile& profile, const ProfileRange& range,
                                    std::uint64_t maxRows = 1000) {
    std::vector<ProfileListingRow> rows;
    const ProfileListingResult result =
        ListProfile(profile, range, maxRows, [&](const ProfileListingRow& row) { rows.push_back(row); });
    EXPECT_TRUE(result.ok) << DescribeProfileListing(result);
    EXPECT_EQ(result.rows, rows.size());
    return rows;
}

using test::Resolved;

// A level road from label 900 with one chain break.
ProfileModel Chained(ChainBreak chain, double endLabel) {
    ProfileModel model;
    model.chains = {chain};
    model.points = {{{900, 0}, 10, {}}, {{endLabel, 0}, 10, {}}};
    return model;
}

struct Expected {
    Station label;
    double internal;
    Kind kind;
};

void ExpectRows(const std::vector<ProfileListingRow>& rows, const std::vector<Expected>& expected) {
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].label, expected[i].label) << "row " << i;
        EXPECT_DOUBLE_EQ(rows[i].internal, expected[i].internal) << "row " << i;
        EXPECT_EQ(rows[i].kind, expected[i].kind) << "row " << i;
    }
}

TEST(ListProfile, StartUpRangeGivesTheSingleCurveListing) {
    const Profile profile = Resolved(test::StartUpProfile());
    const auto rows = List(profile, {{16740, 0}, {16800, 0}, 10, false});
    const double expected[] = {395.74, 396.033, 396.293, 396.52, 396.713, 396.873, 397};
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].label.value, 16740 + 10.0 * static_cast<double>(i));
        EXPECT_EQ(RoundTo3(rows[i].value.elevation), expected[i]) << i;
    }
}

TEST(ListProfile, KeyPointsTakeTheirPlaceInStationOrder) {
    const Profile profile = Resolved(test::StartUpProfile());
    ExpectRows(List(profile, {{16700, 0}, {16800, 0}, 50, true}),
               {{{16700, 0}, 16700, Kind::Interval},
                {{16740, 0}, 16740, Kind::CurveStart},
                {{16750, 0}, 16750, Kind::Interval},
                {{16770, 0}, 16770, Kind::Pvi},
                {{16800, 0}, 16800, Kind::CurveEnd}});  // falls on an interval label: one row
}

// A listing that reaches an end of the profile shows it, marked, whether or
// not an interval label falls on it; one that stops short does not.
TEST(ListProfile, RangeToAnEndListsTheEndPoint) {
    const Profile profile = Resolved(test::StartUpProfile());  // 16000 to 17500
    const struct {
        const char* name;
        ProfileRange range;
        std::vector<Expected> rows;
    } cases[] = {
        {"whole profile, step off the end",
         {{16000, 0}, {17500, 0}, 400, false},
         {{{16000, 0}, 16000, Kind::Start},
          {{16400, 0}, 16400, Kind::Interval},
          {{16800, 0}, 16800, Kind::Interval},
          {{17200, 0}, 17200, Kind::Interval},
          {{17500, 0}, 17500, Kind::End}}},
        {"end on an interval label: one row",
         {{16500, 0}, {17500, 0}, 500, false},
         {{{16500, 0}, 16500, Kind::Interval}, {{17000, 0}, 17000, Kind::Interval}, {{17500, 0}, 17500, Kind::End}}},
        {"short of the end: no end row",
         {{16000, 0}, {17450, 0}, 700, false},
         {{{16000, 0}, 16000, Kind::Start}, {{16700, 0}, 16700, Kind::Interval}, {{17400, 0}, 17400, Kind::Interval}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRows(List(profile, c.range), c.rows);
    }
}

TEST(ListProfile, ShortChainListsBothBreakStationsAndSkipsTheGap) {
    const Profile profile = Resolved(Chained({1000, 1100}, 1300));
    ExpectRows(List(profile, {{930, 0}, {1200, 0}, 50, false}),
               {{{930, 0}, 930, Kind::Interval},
                {{980, 0}, 980, Kind::Interval},
                {{1000, 0}, 1000, Kind::BreakBack},
                {{1100, 0}, 1000, Kind::BreakAhead},
                {{1130, 0}, 1030, Kind::Interval},  // the first whole-interval label after the gap
                {{1180, 0}, 1080, Kind::Interval}});
}

TEST(ListProfile, LongChainRunsTheLabelsAgainWithTheirOccurrence) {
    const Profile profile = Resolved(Chained({1100, 1000}, 1300));
    ExpectRows(List(profile, {{1000, 1}, {1150, 0}, 50, false}),
               {{{1000, 1}, 1000, Kind::Interval},
                {{1050, 1}, 1050, Kind::Interval},
                {{1100, 1}, 1100, Kind::BreakBack},
                {{1000, 2}, 1100, Kind::BreakAhead},
                {{1050, 2}, 1150, Kind::Interval},
                {{1100, 2}, 1200, Kind::Interval},
                {{1150, 0}, 1250, Kind::Interval}});
}

TEST(ListProfile, LabelsAreMultipliedNotAccumulated) {
    const Profile profile = Resolved(test::StartUpProfile());
    const auto rows = List(profile, {{16000, 0}, {17000, 0}, 0.1, false}, 20000);
    ASSERT_EQ(rows.size(), 10001u);
    EXPECT_EQ(rows[7].label.value, 16000 + 7 * 0.1);
    EXPECT_EQ(rows.back().label.value, 17000);
}

struct RefusedCase {
    const char* name;
    ProfileRange range;
    std::uint64_t maxRows;
    const char* phrase;
};

TEST(ListProfile, RefusesBeforeWritingAnything) {
    const Profile startUp = Resolved(test::StartUpProfile());
    const Profile chained = Resolved(Chained({1100, 1000}, 1300));
    const RefusedCase cases[] = {
        {"zero step", {{16000, 0}, {16100, 0}, 0, false}, 100, "间距须为正数"},
        {"negative step", {{16000, 0}, {16100, 0}, -1, false}, 100, "间距须为正数"},
        {"backwards", {{16100, 0}, {16000, 0}, 1, false}, 100, "之前"},
        {"outside", {{15000, 0}, {16100, 0}, 1, false}, 1000, "纵断面范围"},
        {"too many rows", {{16000, 0}, {17000, 0}, 1, false}, 1000, "上限 1000 行"},
        {"step too small to tell labels apart", {{16000, 0}, {16000.001, 0}, 1e-12, false}, 1000, "过小"},
        {"ambiguous label", {{1050, 0}, {1200, 0}, 10, false}, 1000, "请写作"},
    };
    for (const auto& c : cases) {
        const Profile& profile = std::string(c.name) == "ambiguous label" ? chained : startUp;
        bool called = false;
        const auto result = ListProfile(profile, c.range, c.maxRows, [&](const auto&) { called = true; });
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_FALSE(called) << c.name;
        const std::string message = DescribeProfileListing(result);
        EXPECT_NE(message.find(c.phrase), std::string::npos) << c.name << ": " << message;
    }
    // Exactly at the limit is fine.
    EXPECT_TRUE(ListProfile(startUp, {{16000, 0}, {17000, 0}, 1, false}, 1001, [](const auto&) {}).ok);
}

}  // namespace
}  // namespace tarnvel
