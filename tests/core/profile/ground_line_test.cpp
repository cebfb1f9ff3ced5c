#include "core/profile/ground_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/profile/profile_listing.h"
#include "core/text/messages.h"
#include "core/text/profile_text.h"
#include "tests/ground_cases.h"
#include "tests/ground_model.h"

namespace tarnvel {
namespace {

using test::Ground;
using test::GroundCase;
using test::Point;
using test::Resolved;

GroundLine Made(const GroundModel& model, const Profile& profile) {
    std::vector<GroundProblem> problems;
    std::optional<GroundLine> line = GroundLine::Make(model, profile, &problems);
    EXPECT_TRUE(line.has_value()) << (problems.empty() ? "" : DescribeGroundProblem(problems.front()));
    return std::move(*line);
}

test::SampledGround Sampled(const GroundLine& line) { return {line.Stations(), line.Elevations()}; }

class GroundAgainstIndependentModel : public testing::TestWithParam<GroundCase> {};

TEST_P(GroundAgainstIndependentModel, zero_points_fill_cut_and_summary_agree) {
    const Profile profile = Resolved(GetParam().design);
    const GroundLine line = Made(GetParam().ground, profile);
    const test::IndependentResult expected = test::Independent(profile, Sampled(line));
    ASSERT_FALSE(expected.zeros.empty()) << "a case without a crossing tests nothing";

    const std::vector<double> zeros = FindZeroPoints(profile, line);
    ASSERT_EQ(zeros.size(), expected.zeros.size());
    for (std::size_t i = 0; i < zeros.size(); ++i) {
        EXPECT_NEAR(zeros[i], expected.zeros[i], 1e-4) << "zero point " << i;
        EXPECT_NEAR(*FillCutAt(profile, line, zeros[i]), 0, 1e-6) << "zero point " << i;
    }

    // Fill and cut along the road, walked with the cursor as a listing does.
    GroundCursor cursor(line);
    const test::SampledGround independent = Sampled(line);
    for (double s = profile.StartStation(); s <= profile.EndStation(); s += 3.7) {
        const std::optional<double> z = cursor.At(s);
        ASSERT_EQ(z.has_value(), independent.At(s).has_value()) << s;
        if (!z) continue;
        EXPECT_NEAR(*z, *independent.At(s), 1e-9) << s;
        EXPECT_NEAR(*FillCutAt(profile, line, s), profile.At(s).elevation - *independent.At(s), 1e-9) << s;
    }

    const GroundSummary summary =
        SummarizeGround(profile, line, profile.StartStation(), profile.EndStation());
    ASSERT_TRUE(summary.covered);
    EXPECT_EQ(summary.zeroPoints, zeros);
    const double tolerance = 1e-4 * static_cast<double>(zeros.size() + 1);
    EXPECT_NEAR(summary.fillLength, expected.fillLength, tolerance);
    EXPECT_NEAR(summary.cutLength, expected.cutLength, tolerance);
    EXPECT_NEAR(summary.highestFill ? summary.highestFill->amount : 0, expected.highestFill, 1e-4);
    EXPECT_NEAR(summary.deepestCut ? summary.deepestCut->amount : 0, expected.deepestCut, 1e-4);
    if (summary.highestFill) {
        EXPECT_NEAR(*FillCutAt(profile, line, summary.highestFill->station), summary.highestFill->amount, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GroundAgainstIndependentModel, testing::ValuesIn(test::GroundCases()),
                         [](const auto& info) {
                             std::string name;
                             for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// The sag of the first case: its low point lies at station 480, elevation 95.7.
ProfileModel Sag() {
    return {"", LengthUnit::Metre,
            {Point(0, 100), Point(500, 95, test::ByRadius(10000)), Point(1000, 102)}, {}};
}

TEST(GroundLine, a_ground_that_only_touches_the_design_has_no_zero_point) {
    const Profile profile = Resolved(Sag());
    struct Touch {
        const char* name;
        std::vector<GroundPoint> points;
    };
    const Touch touches[] = {
        {"level ground at the sag's low point", {{{400, 0}, 95.7}, {{560, 0}, 95.7}}},
        {"ground on the grade line ahead", {{{700, 0}, 97.8}, {{900, 0}, 100.6}}},
    };
    for (const Touch& t : touches) {
        const GroundLine line = Made(Ground(t.points), profile);
        EXPECT_TRUE(FindZeroPoints(profile, line).empty()) << t.name;
    }
}

TEST(GroundLine, summary_over_part_of_the_road_clips_stretches_and_has_no_ground_outside) {
    const Profile profile = Resolved(Sag());
    // Fill 0.5 at 50, cut 0.5 at 300: crossing at 175; cut to the parabola.
    const GroundLine line =
        Made(Ground({{{50, 0}, 99.0}, {{300, 0}, 97.5}, {{500, 0}, 95.9}, {{700, 0}, 96.0}}), profile);
    const GroundSummary part = SummarizeGround(profile, line, 100, 400);
    ASSERT_TRUE(part.covered);
    ASSERT_EQ(part.zeroPoints.size(), 1u);
    EXPECT_NEAR(part.zeroPoints[0], 175, 1e-9);
    EXPECT_NEAR(part.fillLength, 75, 1e-9);
    EXPECT_NEAR(part.cutLength, 225, 1e-9);
    ASSERT_TRUE(part.longestCut && part.highestFill);
    EXPECT_DOUBLE_EQ(part.longestCut->from, 175);
    EXPECT_DOUBLE_EQ(part.longestCut->to, 400);
    EXPECT_DOUBLE_EQ(part.highestFill->station, 100);

    EXPECT_FALSE(SummarizeGround(profile, line, 800, 900).covered);
    EXPECT_FALSE(line.At(49.999).has_value());
    EXPECT_FALSE(line.At(700.001).has_value());
    EXPECT_FALSE(FillCutAt(profile, line, 900).has_value());
    EXPECT_DOUBLE_EQ(*line.At(700), 96.0);
}

struct ProblemCase {
    const char* name;
    std::vector<GroundPoint> points;
    GroundProblemKind kind;
    std::size_t row;
    const char* message;  // empty: not checked word for word
};

TEST(GroundLine, every_problem_is_named_by_its_row) {
    // A road with a short chain (labels 300 to 400 do not exist) and a long one.
    const Profile profile = Resolved({"", LengthUnit::Metre,
                                      {Point(0, 10), Point(500, 12), Point(Station{650, 2}, 11)},
                                      {{300, 400}, {700, 600}}});
    const ProblemCase cases[] = {
        {"duplicated station", {{{10, 0}, 1, 2}, {{20, 0}, 1, 3}, {{20, 0}, 2, 4}}, GroundProblemKind::Duplicate, 4,
         "地面线第4行（桩号 K0+020）与第3行的桩号相同：每个桩号只能有一个地面高程。"},
        {"station behind the one before", {{{10, 0}, 1, 2}, {{30, 0}, 1, 3}, {{20, 0}, 2, 4}},
         GroundProblemKind::NotIncreasing, 4, "地面线第4行（桩号 K0+020）不在第3行之后：地面线的桩号须沿路线严格递增。"},
        {"inside a short chain's gap", {{{10, 0}, 1, 2}, {{350, 0}, 1, 3}}, GroundProblemKind::StationNotPlaced, 3, ""},
        {"ambiguous label behind a long chain", {{{10, 0}, 1, 2}, {{650, 0}, 1, 3}},
         GroundProblemKind::StationNotPlaced, 3, ""},
        {"before the start", {{{-5, 0}, 1, 2}, {{30, 0}, 1, 3}}, GroundProblemKind::OutsideProfile, 2,
         "地面线第2行（桩号 -K0+005）在设计纵断面之外（纵断面起点为 K0+000）。"},
        {"after the end", {{{10, 0}, 1, 2}, {{660, 2}, 1, 3}}, GroundProblemKind::OutsideProfile, 3, ""},
        {"elevation not finite", {{{10, 0}, 1, 2}, {{20, 0}, NAN, 3}}, GroundProblemKind::ElevationUnusable, 3, ""},
        {"a single point", {{{10, 0}, 1, 2}}, GroundProblemKind::TooFewPoints, 0, "地面线至少需要两个点，现有 1 个。"},
    };
    for (const ProblemCase& c : cases) {
        GroundModel model;
        model.points = c.points;
        std::vector<GroundProblem> problems;
        EXPECT_FALSE(GroundLine::Make(model, profile, &problems)) << c.name;
        ASSERT_EQ(problems.size(), 1u) << c.name;
        EXPECT_EQ(problems[0].kind, c.kind) << c.name;
        EXPECT_EQ(problems[0].row, c.row) << c.name;
        if (*c.message) {
            EXPECT_EQ(DescribeGroundProblem(problems[0]), c.message) << c.name;
        }
    }

    // Several at once: all of them, in the order of the rows.
    GroundModel model;
    model.points = {{{10, 0}, 1, 2}, {{350, 0}, 1, 3}, {{5, 0}, 1, 4}, {{5, 0}, 1, 5}, {{900, 0}, 1, 6}};
    std::vector<GroundProblem> problems;
    EXPECT_FALSE(GroundLine::Make(model, profile, &problems));
    std::vector<std::size_t> rows;
    for (const GroundProblem& p : problems) rows.push_back(p.row);
    EXPECT_EQ(rows, (std::vector<std::size_t>{3, 4, 5, 6}));
}

// A table with problems on every row: the first hundred by point, whichever
// check found them, and the count of all of them.
TEST(GroundLine, problems_are_listed_up_to_a_hundred_in_order_and_all_counted) {
    const Profile profile = test::Resolved({"主线", LengthUnit::Metre, {test::Point(0, 100), test::Point(1000, 110)}, {}});
    GroundModel model;
    for (std::size_t i = 0; i < 30'000; ++i)  // every third before the start, the others all at K0+010
        model.points.push_back({{i % 3 == 1 ? -5.0 : 10.0, 0}, 1, i + 2});
    std::vector<GroundProblem> problems;
    std::size_t count = 0;
    EXPECT_FALSE(GroundLine::Make(model, profile, &problems, &count));
    EXPECT_EQ(count, 10'000u + 19'999u);
    ASSERT_EQ(problems.size(), kListedGroundProblems);
    for (std::size_t k = 0; k < problems.size(); ++k) {
        EXPECT_EQ(problems[k].point, k + 1);
        EXPECT_EQ(problems[k].kind, k % 3 == 0 ? GroundProblemKind::OutsideProfile : GroundProblemKind::Duplicate);
    }
}

TEST(GroundLine, a_listing_lists_zero_points_once_joining_the_note_of_a_key_point_there) {
    // The last shared case crosses at a ground point on a PVI (K0+100).
    const GroundCase c = test::GroundCases().back();
    const Profile profile = Resolved(c.design);
    const GroundLine line = Made(c.ground, profile);
    ProfileRange range{{0, 0}, {200, 0}, 50, true, &line};
    TextOptions text;
    text.ground = true;
    std::string csv = ListingCsvHeader(text);
    ASSERT_TRUE(ListProfile(profile, range, 100, [&](const ProfileListingRow& row) {
                    AppendListingCsv(csv, profile, row, text);
                }).ok);
    EXPECT_EQ(csv,
              "station,elevation,grade,ground,fill,cut,note\n"
              "0.000,10.000,1.0000,,,,起点\n"
              "50.000,10.500,1.0000,10.688,0.000,0.188,\n"
              "100.000,11.000,-1.0000,11.000,0.000,0.000,变坡点、填挖交界\n"
              "150.000,10.500,-1.0000,10.312,0.188,0.000,\n"
              "200.000,10.000,-1.0000,,,,终点\n");
}

TEST(GroundLine, labels_behind_a_long_chain_take_their_occurrence) {
    const Profile profile = Resolved({"", LengthUnit::Metre,
                                      {Point(0, 10), Point(500, 12), Point(Station{650, 2}, 11)},
                                      {{700, 600}}});
    GroundModel model = Ground({{{650, 1}, 5}, {{620, 2}, 6}});
    const GroundLine line = Made(model, profile);
    EXPECT_EQ(line.Stations(), (std::vector<double>{650, 720}));

    // Internal stations (LandXML) are taken as they are.
    model.stations = GroundStations::Internal;
    model.points = {{{650, 0}, 5}, {{720, 0}, 6}};
    EXPECT_EQ(Made(model, profile).Stations(), (std::vector<double>{650, 720}));
}

}  // namespace
}  // namespace tarnvel
