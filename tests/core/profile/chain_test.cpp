#include "core/profile/chain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/profile/profile.h"
#include "tests/profile_builders.h"
#include "core/text/messages.h"

namespace tarnvel {
namespace {

Chainage Chain(std::vector<ChainBreak> breaks) {
    ChainProblem problem;
    auto chain = Chainage::Make(std::move(breaks), &problem);
    EXPECT_TRUE(chain.has_value()) << DescribeChainProblem(problem);
    return *chain;
}

// 1000 = 1100: the labels between do not exist.
const std::vector<ChainBreak> kShort = {{1000, 1100}};
// 1100 = 1000: the labels 1000 to 1100 occur twice, the second time 100 further on.
const std::vector<ChainBreak> kLong = {{1100, 1000}};
// A short chain at internal 1000, then a long one at internal 1400.
const std::vector<ChainBreak> kBoth = {{1000, 1100}, {1500, 1450}};

struct PlaceCase {
    const char* name;
    const std::vector<ChainBreak>* breaks;
    Station label;
    double internal;    // when placed
    const char* error;  // part of the message when refused
};

TEST(Chainage, PlacesLabelsOnTheRoad) {
    const PlaceCase cases[] = {
        {"before a short chain", &kShort, {900, 0}, 900, nullptr},
        {"short chain, back label", &kShort, {1000, 0}, 1000, nullptr},
        {"short chain, ahead label: the same place", &kShort, {1100, 0}, 1000, nullptr},
        {"after a short chain", &kShort, {1200, 1}, 1100, nullptr},
        {"inside a short chain's gap", &kShort, {1050, 0}, 0, "落在第1处断链（K1+000 = K1+100，短链）的缺口内"},
        {"long chain, first time", &kLong, {1050, 1}, 1050, nullptr},
        {"long chain, second time", &kLong, {1050, 2}, 1150, nullptr},
        {"long chain, no occurrence", &kLong, {1050, 0}, 0,
         "在第1处断链（K1+100 = K1+000，长链）前后各出现一次，请写作 K1+050(1) 或 K1+050(2)"},
        {"long chain, back label on the break", &kLong, {1100, 1}, 1100, nullptr},
        {"long chain, back label a second time", &kLong, {1100, 2}, 1200, nullptr},
        {"long chain, ahead label on the break", &kLong, {1000, 2}, 1100, nullptr},
        {"long chain, ahead label the first time", &kLong, {1000, 1}, 1000, nullptr},
        {"long chain, ahead label is ambiguous", &kLong, {1000, 0}, 0, "请写作"},
        {"long chain, no third time", &kLong, {1050, 3}, 0, "只出现 2 次"},
        {"long chain, unique label behind", &kLong, {900, 0}, 900, nullptr},
        {"long chain, unique label ahead", &kLong, {1200, 0}, 1300, nullptr},
        {"unique label, occurrence 1", &kLong, {1200, 1}, 1300, nullptr},
        {"two breaks, overlap first time", &kBoth, {1470, 1}, 1370, nullptr},
        {"two breaks, overlap second time", &kBoth, {1470, 2}, 1420, nullptr},
        {"two breaks, gap of the first", &kBoth, {1050, 0}, 0, "第1处断链"},
        {"two breaks, overlap without occurrence", &kBoth, {1480, 0}, 0, "第2处断链"},
    };
    for (const auto& c : cases) {
        const Chainage chain = Chain(*c.breaks);
        if (c.error == nullptr) {
            EXPECT_EQ(chain.ToInternal(c.label), c.internal) << c.name;
            continue;
        }
        try {
            chain.ToInternal(c.label);
            ADD_FAILURE() << c.name;
        } catch (const StationError& e) {
            const std::string message = DescribeStationFault(e.fault());
            EXPECT_NE(message.find(c.error), std::string::npos) << c.name << ": " << message;
        }
    }
}

struct LabelCase {
    const std::vector<ChainBreak>* breaks;
    double internal;
    Station label;
};

TEST(Chainage, LabelsReadBackToTheSamePlace) {
    const LabelCase cases[] = {
        {&kLong, 1150, {1050, 2}}, {&kLong, 1100, {1000, 2}},  // on the break: the label ahead
        {&kLong, 1099, {1099, 1}}, {&kLong, 1250, {1150, 0}}, {&kLong, 900, {900, 0}},
        {&kShort, 1000, {1100, 0}}, {&kShort, 999, {999, 0}},  {&kBoth, 1420, {1470, 2}},
        {&kBoth, 1370, {1470, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Chain(*c.breaks).ToLabel(c.internal), c.label) << c.internal;
    }
    for (const auto* breaks : {&kShort, &kLong, &kBoth}) {
        const Chainage chain = Chain(*breaks);
        for (double s = -100; s <= 2500; s += 0.25) {
            ASSERT_EQ(chain.ToInternal(chain.ToLabel(s)), s) << s;
        }
    }
}

// Labels 1050 to 1100 occur three times: a long chain, then another reaching
// back past the first one's ahead label.
const std::vector<ChainBreak> kThreeTimes = {{1100, 1000}, {1300, 1050}};

// A label's occurrence counted the plain way: every region holding it, and
// the place's own region always.
int CountedOccurrence(const Chainage& chain, double label, std::size_t region) {
    int before = 0, count = 0;
    for (std::size_t r = 0; r < chain.RegionCount(); ++r) {
        if (r != region && (label < chain.RegionLabelFrom(r) || label > chain.RegionLabelTo(r))) continue;
        ++count;
        if (r < region) ++before;
    }
    return count > 1 ? before + 1 : 0;
}

TEST(Chainage, LabelsOfAWalkCountTheirOccurrencesAsEveryRegionWouldTellThem) {
    for (const auto* breaks : {&kShort, &kLong, &kBoth, &kThreeTimes}) {
        const Chainage chain = Chain(*breaks);
        // Forwards as a listing walks, then backwards and in long jumps with the same hint.
        std::vector<double> places;
        for (double s = -100; s <= 2500; s += 0.25) places.push_back(s);
        for (double s = 2500; s >= -100; s -= 0.5) places.push_back(s);
        for (double s = -100; s <= 2500; s += 377.125) places.push_back(s);
        Chainage::LabelHint hint;
        for (const double s : places) {
            const std::size_t region = chain.RegionOf(s);
            const double label = chain.ToLabel(s).value;
            const int expected = CountedOccurrence(chain, label, region);
            ASSERT_EQ(chain.LabelInRegion(label, region, hint).occurrence, expected) << s;
            ASSERT_EQ(chain.ToLabel(s).occurrence, expected) << s;
            ASSERT_EQ(chain.ToInternal(chain.ToLabel(s)), s) << s;
        }
    }
    const Chainage chain = Chain(kThreeTimes);
    EXPECT_EQ(chain.ToInternal({1075, 3}), 1425);
    EXPECT_EQ(chain.ToInternal({1020, 2}), 1120);
    EXPECT_EQ(chain.ToInternal({1400, 0}), 1750);  // once only, ahead of both breaks
}

TEST(Chainage, RefusesBreaksThatDoNotFollowEachOther) {
    struct Case {
        std::vector<ChainBreak> breaks;
        std::size_t index;
        const char* phrase;
    };
    const Case cases[] = {
        {{{1000, 1000}}, 0, "相同"},
        {{{1000, 1100}, {1050, 1200}}, 1, "第2处断链（K1+050 = K1+200，短链）不在前一处断链之后"},
        {{{1000, 1100}, {1100, 900}}, 1, "不在前一处断链之后"},
        {{{std::nan(""), 1100}}, 0, "超出可用范围"},
        {{{1000, 2e12}}, 0, "超出可用范围"},
    };
    for (const auto& c : cases) {
        ChainProblem problem;
        problem.index = 99;
        EXPECT_FALSE(Chainage::Make(c.breaks, &problem).has_value()) << c.phrase;
        const std::string error = DescribeChainProblem(problem);
        EXPECT_EQ(problem.index, c.index) << error;
        EXPECT_NE(error.find(c.phrase), std::string::npos) << error;
    }
}

using test::Point;

struct ChainedValue {
    const char* name;
    Station label;
    double elevation;
    double grade;
};

TEST(Chainage, LongChainCurveSpansTheBreakAlongTheRoad) {
    // 900 → K1+050(2) is 250 along the road (not 150 of labels): +1 %, then −1 %.
    // R 10000 gives L = 200 from internal 1050 to 1250, across the break at 1100.
    ProfileModel model;
    model.chains = kLong;
    model.points = {Point({900, 0}, 10), Point({1050, 2}, 12.5, {CurveKind::ParabolaRadius, 10000, 0, 0, 0}),
                    Point({1300, 0}, 10)};
    std::vector<ProfileProblem> problems;
    const auto profile = Profile::Resolve(model, &problems);
    ASSERT_TRUE(profile.has_value()) << DescribeProfileProblem(problems.front());
    const CurveElementsRow& row = profile->Elements().at(0);
    EXPECT_DOUBLE_EQ(row.gradeIn, 1);
    EXPECT_DOUBLE_EQ(row.gradeOut, -1);
    EXPECT_DOUBLE_EQ(row.length, 200);
    EXPECT_EQ(profile->LabelOf(row.startStation), (Station{1050, 1}));
    EXPECT_EQ(profile->LabelOf(row.endStation), (Station{1150, 0}));
    const ChainedValue cases[] = {
        {"the same label the first time, on the grade", {1000, 1}, 11, 1},
        {"back label on the break", {1100, 1}, 11.875, 0.5},
        {"ahead label on the break: the same place", {1000, 2}, 11.875, 0.5},
        {"the PVI", {1050, 2}, 12, 0},
        {"past the curve", {1200, 0}, 11, -1},
    };
    for (const auto& c : cases) {
        const ProfileValue v = profile->AtLabel(c.label);
        EXPECT_NEAR(v.elevation, c.elevation, 1e-9) << c.name;
        EXPECT_NEAR(v.grade, c.grade, 1e-9) << c.name;
    }
    EXPECT_THROW(profile->AtLabel({1050, 0}), StationError);
    EXPECT_THROW(profile->AtLabel({1350, 0}), ProfileRangeError);
}

TEST(Chainage, ShortChainPvisJustBehindAndJustAheadOfTheBreak) {
    // K0+995 and K1+105 are 10 apart along the road, not 110.
    ProfileModel model;
    model.chains = kShort;
    model.points = {Point({800, 0}, 10), Point({995, 0}, 11.95), Point({1105, 0}, 11.85),
                    Point({1300, 0}, 13.8)};
    const auto profile = Profile::Resolve(model);
    ASSERT_TRUE(profile.has_value());
    EXPECT_NEAR(profile->Elements().at(0).gradeOut, -1, 1e-12);
    EXPECT_NEAR(profile->Elements().at(1).gradeOut, 1, 1e-12);
    const ChainedValue cases[] = {
        {"back label of the break", {1000, 0}, 11.9, -1},
        {"ahead label of the break", {1100, 0}, 11.9, -1},
        {"behind the first PVI", {900, 0}, 11, 1},
        {"past the second PVI", {1200, 0}, 12.8, 1},
    };
    for (const auto& c : cases) {
        const ProfileValue v = profile->AtLabel(c.label);
        EXPECT_NEAR(v.elevation, c.elevation, 1e-9) << c.name;
        EXPECT_NEAR(v.grade, c.grade, 1e-9) << c.name;
    }
    EXPECT_THROW(profile->AtLabel({1050, 0}), StationError);
}

}  // namespace
}  // namespace tarnvel
