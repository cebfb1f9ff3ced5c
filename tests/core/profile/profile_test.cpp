#include "core/profile/profile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/calculator/curve.h"
#include "tests/profile_builders.h"
#include "tests/worked_example.h"
#include "core/text/messages.h"

namespace tarnvel {
namespace {

using test::Arc;
using test::ByLength;
using test::ByRadius;
using test::Point;
using test::Resolved;
using test::Unsym;

TEST(Profile, SinglePviGivesTheSingleCurveCalculatorsElevations) {
    const Profile profile = Resolved(test::StartUpProfile());
    const CurveParameters p{16770, 396.67, 3.1, 1.1, 3000};
    CurveElements el;
    ComputeCurveElements(p, el);
    ProfileCursor cursor(profile);
    for (int k = 16000; k <= 17500; k += 10) {
        const double expected = ElevationAt(p, el, k);
        EXPECT_NEAR(profile.At(k).elevation, expected, 1e-9) << k;
        EXPECT_NEAR(cursor.At(k).elevation, expected, 1e-9) << k;
    }
    const CurveElementsRow& row = profile.Elements().at(0);
    EXPECT_NEAR(row.length, el.L, 1e-9);
    EXPECT_NEAR(row.startStation, el.ZY, 1e-9);
    EXPECT_NEAR(row.endStation, el.YZ, 1e-9);
    EXPECT_NEAR(row.external, el.E, 1e-9);
    EXPECT_TRUE(row.crest);
}

// Elevations and grades worked out by hand (or from the circle's own
// equation) for each kind of curve.
struct KindCase {
    const char* name;
    ProfileModel model;
    double station;
    double elevation;
    double grade;  // percent
};

ProfileModel Model(std::vector<ProfilePoint> points) {
    ProfileModel m;
    m.points = std::move(points);
    return m;
}

TEST(Profile, EachCurveKindMatchesHandComputedValues) {
    // +2 % to −1 %, L = 60: starts at 70 on 101.4, z = 101.4 + 0.02x − 0.00025x².
    const ProfileModel crest = Model({Point(0, 100), Point(100, 102, ByLength(60)), Point(200, 101)});
    // −2 % to +2 %, 40 before and 80 after the PVI: offset e = 8/15 at the PVI.
    const ProfileModel unsym = Model({Point(0, 50), Point(100, 48, Unsym(40, 80)), Point(300, 52)});
    // −75 % to +75 %, R = 100: tangent 75 along the grade, centre (100, 125).
    const ProfileModel arcSag = Model({Point(0, 75), Point(100, 0, Arc(100)), Point(200, 75)});
    // 0 to +75 %, R = 100: starts at 100 − 100/3 on 10, centre 100 above it.
    const ProfileModel arcUp = Model({Point(0, 10), Point(100, 10, Arc(100)), Point(200, 85)});
    // 0 to −75 %: the same arc mirrored, a crest with its centre below.
    const ProfileModel arcDown = Model({Point(0, 10), Point(100, 10, Arc(100)), Point(200, -65)});
    const double arcStart = 100 - 100.0 / 3;
    const KindCase cases[] = {
        {"parabola before the curve", crest, 50, 101, 2},
        {"parabola at its start", crest, 70, 101.4, 2},
        {"parabola inside", crest, 85, 101.64375, 1.25},
        {"parabola at the PVI", crest, 100, 101.775, 0.5},
        {"parabola high point", crest, 110, 101.8, 0},
        {"parabola at its end", crest, 130, 101.7, -1},
        {"parabola after", crest, 150, 101.5, -1},
        {"unsymmetric first half", unsym, 80, 48.8 - 0.4 + 8.0 / 15 / 4, -2.0 / 3},
        {"unsymmetric low point", unsym, 90, 48.5, 0},
        {"unsymmetric at the PVI", unsym, 100, 48 + 8.0 / 15, 2.0 / 3},
        {"unsymmetric second half", unsym, 140, 48.8 + 8.0 / 15 / 4, 4.0 / 3},
        {"unsymmetric at its end", unsym, 180, 49.6, 2},
        {"arc sag at its start", arcSag, 40, 45, -75},
        {"arc sag inside", arcSag, 70, 29.606079858305435, -31.448545101657547},
        {"arc sag low point", arcSag, 100, 25, 0},
        {"arc sag at its end", arcSag, 160, 45, 75},
        {"arc from level", arcUp, arcStart + 28, 14, 100 * 28.0 / 96},
        {"arc from level at its end", arcUp, arcStart + 60, 30, 75},
        {"crest arc from level", arcDown, arcStart + 28, 6, -100 * 28.0 / 96},
    };
    for (const auto& c : cases) {
        const Profile profile = Resolved(c.model);
        const ProfileValue v = profile.At(c.station);
        EXPECT_NEAR(v.elevation, c.elevation, 1e-9) << c.name;
        EXPECT_NEAR(v.grade, c.grade, 1e-9) << c.name;
    }
}

struct ElementsCase {
    const char* name;
    ProfileModel model;
    bool crest;
    double radius, length, tangentIn, tangentOut, external;
    double startElevation, endElevation;
    std::optional<double> extremeStation, extremeElevation;
};

TEST(Profile, ElementsOfEachKind) {
    const double nan = std::nan("");
    const ElementsCase cases[] = {
        {"parabola by length", Model({Point(0, 100), Point(100, 102, ByLength(60)), Point(200, 101)}),
         true, 2000, 60, 30, 30, 0.225, 101.4, 101.7, 110, 101.8},
        {"parabola by radius, sag", Model({Point(0, 10), Point(100, 8, ByRadius(2000)), Point(200, 9)}),
         false, 2000, 60, 30, 30, 0.225, 8.6, 8.3, 110, 8.2},
        {"unsymmetric", Model({Point(0, 50), Point(100, 48, Unsym(40, 80)), Point(300, 52)}), false, nan,
         120, 40, 80, 8.0 / 15, 48.8, 49.6, 90, 48.5},
        {"circular", Model({Point(0, 10), Point(100, 10, Arc(100)), Point(200, 85)}), false, 100, 60,
         100.0 / 3, 80.0 / 3, 5.71909584179366, 10, 30, std::nullopt, std::nullopt},
        // A grade level but for rounding, as files give it, has no low point at the curve's start.
        {"circular from an almost level grade", Model({Point(0, 10), Point(100, 10 - 1e-12, Arc(100)),
                                                       Point(200, 85)}),
         false, 100, 60, 100.0 / 3, 80.0 / 3, 5.71909584179366, 10, 30, std::nullopt, std::nullopt},
        {"no curve", Model({Point(0, 10), Point(100, 12), Point(200, 11)}), true, nan, 0, 0, 0, 0, 12, 12,
         std::nullopt, std::nullopt},
        {"equal grades", Model({Point(0, 10), Point(100, 11, ByRadius(5000)), Point(200, 12)}), false,
         5000, 0, 0, 0, 0, 11, 11, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const Profile profile = Resolved(c.model);
        ASSERT_EQ(profile.Elements().size(), 1u) << c.name;
        const CurveElementsRow& r = profile.Elements()[0];
        EXPECT_EQ(r.crest, c.crest) << c.name;
        if (std::isnan(c.radius)) {
            EXPECT_TRUE(std::isnan(r.radius)) << c.name;
        } else {
            EXPECT_NEAR(r.radius, c.radius, 1e-9) << c.name;
        }
        EXPECT_NEAR(r.length, c.length, 1e-9) << c.name;
        EXPECT_NEAR(r.tangentIn, c.tangentIn, 1e-9) << c.name;
        EXPECT_NEAR(r.tangentOut, c.tangentOut, 1e-9) << c.name;
        EXPECT_NEAR(r.external, c.external, 1e-9) << c.name;
        EXPECT_NEAR(r.startElevation, c.startElevation, 1e-9) << c.name;
        EXPECT_NEAR(r.endElevation, c.endElevation, 1e-9) << c.name;
        ASSERT_EQ(r.extremeStation.has_value(), c.extremeStation.has_value()) << c.name;
        if (c.extremeStation) {
            EXPECT_NEAR(*r.extremeStation, *c.extremeStation, 1e-9) << c.name;
            EXPECT_NEAR(*r.extremeElevation, *c.extremeElevation, 1e-9) << c.name;
        }
    }
}

TEST(Profile, GradeBreakWithoutCurveTakesTheGradeAhead) {
    const Profile profile = Resolved(Model({Point(0, 10), Point(100, 12), Point(200, 11)}));
    EXPECT_DOUBLE_EQ(profile.At(100).elevation, 12);
    EXPECT_DOUBLE_EQ(profile.At(100).grade, -1);
    EXPECT_DOUBLE_EQ(profile.At(200).grade, -1);
    EXPECT_DOUBLE_EQ(profile.At(0).grade, 2);
}

TEST(Profile, StationsOutsideAreRefusedNeverExtrapolated) {
    const Profile profile = Resolved(test::StartUpProfile());
    for (double k : {15999.998, 17500.002, -1e300}) {
        try {
            profile.At(k);
            ADD_FAILURE() << k;
        } catch (const ProfileRangeError& e) {
            const std::string message = DescribeStationFault(e.fault());
            EXPECT_NE(message.find("K16+000 至 K17+500"), std::string::npos) << message;
        }
    }
    // A label taken through a chain table and back may miss the end by rounding.
    EXPECT_EQ(profile.At(std::nextafter(17500.0, 1e9)).elevation, profile.At(17500).elevation);
    ProfileCursor cursor(profile);
    EXPECT_THROW(cursor.At(17501), ProfileRangeError);
    EXPECT_NO_THROW(cursor.At(17500));
    EXPECT_NEAR(cursor.At(16000).elevation, profile.At(16000).elevation, 0);  // a step back
}

// Design files carry 4 to 6 decimals: curves that meet are written a little
// over, and stations are published a little beyond an end. Up to 1 mm (in the
// profile's unit) is rounding; more is an error.
struct RoundingCase {
    const char* name;
    CurveSpec first, second;  // curves on PVIs 100 and 200 (grades +2 %, −2 %, +2 %)
    double overlap;           // of the second curve over the first
    LengthUnit unit;
    double query;             // a station beyond an end, or NaN
    bool accepted;
};

TEST(Profile, OverlapsAndStationsWithinRoundingAreAccepted) {
    // The tangent of a circular arc between ±2 % grades, per unit of radius.
    const double arcTangent = std::tan(std::atan(0.02)) * std::cos(std::atan(0.02));
    const auto arcWithTangent = [&](double t) { return Arc(t / arcTangent); };
    const double nan = std::nan("");
    const double foot = 0.3048;
    const RoundingCase cases[] = {
        {"road pair 0.007 mm apart, parabolas by R", ByRadius(2500), ByRadius((100 + 2 * 7.28e-6) / 0.04), 7.28e-6,
         LengthUnit::Metre, nan, true},
        {"railway arcs 0.15 mm", arcWithTangent(50), arcWithTangent(50.00015), 0.00015, LengthUnit::Metre, nan, true},
        {"railway arcs 0.8 mm", arcWithTangent(50), arcWithTangent(50.0008), 0.0008, LengthUnit::Metre, nan, true},
        {"unsymmetric 0.5 mm", Unsym(40, 50), Unsym(50.0005, 30), 0.0005, LengthUnit::Metre, nan, true},
        {"parabolas by L 0.9 mm", ByLength(100), ByLength(100.0018), 0.0009, LengthUnit::Metre, nan, true},
        {"mixed kinds 0.6 mm", arcWithTangent(50), Unsym(50.0006, 20), 0.0006, LengthUnit::Metre, nan, true},
        {"feet, 0.8 mm", ByLength(100), ByLength(100 + 2 * 0.0008 / foot), 0.0008 / foot, LengthUnit::Foot, nan,
         true},
        {"arcs 1.5 mm stay an error", arcWithTangent(50), arcWithTangent(50.0015), 0.0015, LengthUnit::Metre, nan,
         false},
        {"feet, 1.2 mm stay an error", ByLength(100), ByLength(100 + 2 * 0.0012 / foot), 0.0012 / foot,
         LengthUnit::Foot, nan, false},
        {"published end, 0.04 mm beyond", {}, {}, 0, LengthUnit::Metre, 400.00004, true},
        {"published start, 0.9 mm before", {}, {}, 0, LengthUnit::Metre, -0.0009, true},
        {"1.1 mm beyond the end", {}, {}, 0, LengthUnit::Metre, 400.0011, false},
        {"feet, 0.9 mm beyond the end", {}, {}, 0, LengthUnit::Foot, 400 + 0.0009 / foot, true},
        {"feet, 1.1 mm beyond the end", {}, {}, 0, LengthUnit::Foot, 400 + 0.0011 / foot, false},
    };
    for (const auto& c : cases) {
        ProfileModel model{"", c.unit,
                           {Point(0, 100), Point(100, 102, c.first), Point(200, 100, c.second), Point(300, 102),
                            Point(400, 101)},
                           {}};
        std::vector<ProfileProblem> problems;
        const std::optional<Profile> profile = Profile::Resolve(model, &problems);
        if (!std::isnan(c.query)) {
            ASSERT_TRUE(profile.has_value()) << c.name;
            EXPECT_TRUE(profile->Notes().empty()) << c.name;
            const double end = c.query > 0 ? 400 : 0;
            if (c.accepted) {
                EXPECT_EQ(profile->At(c.query).elevation, profile->At(end).elevation) << c.name;
                EXPECT_EQ(profile->AtLabel({c.query, 0}).grade, profile->At(end).grade) << c.name;
            } else {
                EXPECT_THROW(profile->At(c.query), ProfileRangeError) << c.name;
            }
            continue;
        }
        if (!c.accepted) {
            ASSERT_FALSE(profile.has_value()) << c.name;
            ASSERT_EQ(problems.size(), 1u) << c.name;
            EXPECT_EQ(problems[0].code, ProblemCode::CurvesOverlap) << c.name;
            EXPECT_EQ(problems[0].point, 2u) << c.name;
            continue;
        }
        ASSERT_TRUE(profile.has_value()) << c.name << ": " << DescribeProfileProblem(problems.front());
        // One note, naming both curves and the overlap.
        ASSERT_EQ(profile->Notes().size(), 1u) << c.name;
        const ProfileProblem& note = profile->Notes()[0];
        EXPECT_EQ(note.code, ProblemCode::CurvesMeetAdjusted) << c.name;
        EXPECT_EQ(note.point, 2u) << c.name;
        EXPECT_EQ(note.other, 1u) << c.name;
        EXPECT_NEAR(note.amount, c.overlap, 1e-9) << c.name;
        // Both curves end at the middle of the overlap, on the grade line
        // between the PVIs, and the line goes through without a step or kink.
        const double meet = 150 - c.overlap / 2;
        const CurveElementsRow& before = profile->Elements()[0];
        const CurveElementsRow& after = profile->Elements()[1];
        EXPECT_NEAR(before.endStation, meet, 1e-9) << c.name;
        EXPECT_NEAR(after.startStation, meet, 1e-9) << c.name;
        EXPECT_NEAR(profile->At(meet).elevation, 102 - 0.02 * (meet - 100), 1e-9) << c.name;
        const ProfileValue left = profile->At(meet - 1e-7);
        const ProfileValue right = profile->At(meet + 1e-7);
        EXPECT_NEAR(left.elevation, right.elevation, 1e-8) << c.name;
        EXPECT_NEAR(left.grade, -2, 1e-6) << c.name;
        EXPECT_NEAR(right.grade, -2, 1e-6) << c.name;
        // The far ends stay within their own stretches.
        EXPECT_LT(after.endStation, 300) << c.name;
        EXPECT_GT(before.startStation, 0) << c.name;
    }
}

// A curve that meets neighbours on both sides by rounding gives way twice; the
// adjustments are the profile's own and leave the model as it was read.
TEST(Profile, CurveMeetingBothNeighboursByRoundingIsAdjustedOnBothSides) {
    const ProfileModel model{"", LengthUnit::Metre,
                             {Point(0, 100), Point(100, 102, ByLength(100)), Point(200, 100, ByLength(100.0018)),
                              Point(300, 102, ByLength(100)), Point(400, 101)},
                             {}};
    std::vector<ProfileProblem> problems;
    const std::optional<Profile> profile = Profile::Resolve(model, &problems);
    ASSERT_TRUE(profile.has_value());
    ASSERT_EQ(profile->Notes().size(), 2u);
    EXPECT_EQ(profile->Notes()[0].point, 2u);
    EXPECT_EQ(profile->Notes()[1].point, 3u);
    for (std::size_t i = 0; i < model.points.size(); ++i)
        EXPECT_EQ(profile->Model().points[i].curve, model.points[i].curve) << i;
    const auto& rows = profile->Elements();
    for (std::size_t k = 0; k + 1 < rows.size(); ++k) {
        EXPECT_LE(rows[k].endStation, rows[k + 1].startStation + 1e-9) << k;
        const double meet = rows[k + 1].startStation;
        EXPECT_NEAR(profile->At(meet - 1e-7).elevation, profile->At(meet + 1e-7).elevation, 1e-8) << k;
    }
}

TEST(Profile, BackToBackCurvesAreValidAndContinuous) {
    // +2 % → 0 → −2 %, each curve 100 long, the first ending where the second starts.
    const ProfileModel model = Model({Point(0, 0), Point(100, 2, ByLength(100)),
                                      Point(200, 2, ByLength(100)), Point(300, 0)});
    const Profile profile = Resolved(model);
    EXPECT_NEAR(profile.At(150).elevation, 2, 1e-12);  // on the level grade between them
    EXPECT_NEAR(profile.At(150).grade, 0, 1e-12);
    EXPECT_NEAR(profile.At(149.999999).elevation, profile.At(150.000001).elevation, 1e-9);
}

TEST(Profile, DesignLineIsSmoothThroughEveryKindOfCurve) {
    // Crests and sags of each kind in turn, some back to back, over a long chain.
    ProfileModel model;
    model.chains = {{2500, 2400}};
    model.points.push_back(Point(0, 100));
    const CurveSpec kinds[] = {ByRadius(3000), ByLength(40), Unsym(20, 30), Arc(2000), Arc(5000), Unsym(50, 50)};
    for (int i = 0; i < 30; ++i) {
        // PVIs every 100 along the road; labels 2400 to 2500 occur twice.
        const double along = 50 + 100.0 * i;
        Station station{along, along >= 2400 ? 1 : 0};
        if (along > 2500) station = {along - 100, along <= 2600 ? 2 : 0};
        model.points.push_back({station, i % 3 == 0 ? 100.5 : (i % 3 == 1 ? 99.5 : 100.1), kinds[i % 6]});
    }
    model.points.push_back(Point(3000, 100));
    const Profile profile = Resolved(model);
    ASSERT_EQ(profile.Elements().size(), 30u);
    const double eps = 1e-7;
    for (const CurveElementsRow& row : profile.Elements()) {
        for (double s : {row.startStation, row.pviStation, row.endStation}) {
            const ProfileValue behind = profile.At(s - eps);
            const ProfileValue ahead = profile.At(s + eps);
            EXPECT_NEAR(behind.elevation, ahead.elevation, 1e-8) << row.point << " at " << s;
            EXPECT_NEAR(behind.grade, ahead.grade, 1e-4) << row.point << " at " << s;
        }
        EXPECT_NEAR(profile.At(row.startStation).elevation, row.startElevation, 1e-9) << row.point;
        EXPECT_NEAR(profile.At(row.endStation).elevation, row.endElevation, 1e-9) << row.point;
        EXPECT_NEAR(profile.At(row.startStation).grade, row.gradeIn, 1e-9) << row.point;
        EXPECT_NEAR(profile.At(row.endStation).grade, row.gradeOut, 1e-9) << row.point;
        if (row.extremeStation) {
            EXPECT_NEAR(profile.At(*row.extremeStation).grade, 0, 1e-9) << row.point;
        }
    }
    // A walking cursor gives exactly what a search gives.
    ProfileCursor cursor(profile);
    for (double s = profile.StartStation(); s <= profile.EndStation(); s += 0.37) {
        const ProfileValue walked = cursor.At(s);
        ASSERT_EQ(walked.elevation, profile.At(s).elevation) << s;
        ASSERT_EQ(walked.grade, profile.At(s).grade) << s;
    }
}

struct BrokenCase {
    const char* name;
    ProfileModel model;
    ProfileField field;
    std::size_t point;
    const char* phrase;
};

TEST(Profile, ValidationNamesThePointAndTheFault) {
    const auto F = [](ProfileField f) { return f; };
    ProfileModel badChain = Model({Point(0, 0), Point(100, 1)});
    badChain.chains = {{50, 50}};
    ProfileModel inGap = Model({Point(0, 0), Point(1050, 1), Point(1300, 2)});
    inGap.chains = {{1000, 1100}};
    ProfileModel ambiguous = Model({Point(0, 0), Point(1050, 1), Point(1300, 2)});
    ambiguous.chains = {{1100, 1000}};
    const BrokenCase cases[] = {
        {"one point", Model({Point(0, 0)}), F(ProfileField::Whole), 0, "至少需要"},
        {"stations go back", Model({Point(16000, 0), Point(16770, 1), Point(16700, 2)}),
         F(ProfileField::Station), 2, "第3点（桩号 K16+700）不在第2点（桩号 K16+770）之后"},
        {"equal stations", Model({Point(0, 0), Point(0, 1)}), F(ProfileField::Station), 1, "严格递增"},
        {"curve on the start", Model({Point(0, 0, ByRadius(100)), Point(100, 1)}), F(ProfileField::Curve), 0,
         "起点"},
        {"curve on the end", Model({Point(0, 0), Point(100, 1, ByRadius(100))}), F(ProfileField::Curve), 1,
         "终点"},
        {"zero radius", Model({Point(0, 0), Point(100, 1, ByRadius(0)), Point(200, 0)}),
         F(ProfileField::Curve), 1, "半径须为正数"},
        {"negative length", Model({Point(0, 0), Point(100, 1, ByLength(-5)), Point(200, 0)}),
         F(ProfileField::Curve), 1, "长度须为正数"},
        {"unsymmetric half missing", Model({Point(0, 0), Point(100, 1, Unsym(10, 0)), Point(200, 0)}),
         F(ProfileField::Curve), 1, "后半段长度须为正数"},
        {"curve past the start", Model({Point(16000, 0), Point(16030, 1, ByLength(120)), Point(16500, 0)}),
         F(ProfileField::Curve), 1, "起点超出第1点（桩号 K16+000）30 米"},
        {"curve past the next PVI",
         Model({Point(0, 0), Point(100, 2, ByLength(100)), Point(140, 2), Point(300, 0)}),
         F(ProfileField::Curve), 1, "终点超出第3点（桩号 K0+140）10 米"},
        {"curves overlap", Model({Point(0, 0), Point(100, 2, ByLength(100)), Point(180, 2, ByLength(100)),
                                  Point(300, 0)}),
         F(ProfileField::Curve), 2, "与第2点（桩号 K0+100）的竖曲线重叠 20 米"},
        {"not a number", Model({Point(0, 0), Point(100, std::nan("")), Point(200, 0)}),
         F(ProfileField::Elevation), 1, "高程超出可用范围"},
        {"huge station", Model({Point(0, 0), Point(2e12, 0)}), F(ProfileField::Station), 1, "桩号超出可用范围"},
        {"huge radius", Model({Point(0, 0), Point(100, 1, Arc(1e13)), Point(200, 0)}), F(ProfileField::Curve),
         1, "超出可用范围"},
        {"break without a jump", badChain, F(ProfileField::Chain), 0, "第1处断链"},
        {"label in a short chain's gap", inGap, F(ProfileField::Station), 1, "短链）的缺口内"},
        {"label twice on a long chain", ambiguous, F(ProfileField::Station), 1, "K1+050(1) 或 K1+050(2)"},
        {"second occurrence without breaks", Model({Point(0, 0), Point(100, 1)}), F(ProfileField::Station), 1,
         "只出现一次"},
    };
    for (auto c : cases) {
        if (std::string(c.name) == "second occurrence without breaks") c.model.points[1].station.occurrence = 2;
        std::vector<ProfileProblem> problems;
        EXPECT_FALSE(Profile::Resolve(c.model, &problems).has_value()) << c.name;
        ASSERT_FALSE(problems.empty()) << c.name;
        const ProfileProblem& p = problems.front();
        const std::string message = DescribeProfileProblem(p);
        EXPECT_EQ(p.field, c.field) << c.name << ": " << message;
        EXPECT_EQ(p.point, c.point) << c.name << ": " << message;
        EXPECT_NE(message.find(c.phrase), std::string::npos) << c.name << ": " << message;
    }
}

TEST(Profile, EveryProblemIsReportedNotOnlyTheFirst) {
    const ProfileModel model = Model({Point(0, 0, ByRadius(10)), Point(100, std::nan(""), ByRadius(-1)),
                                      Point(50, 0), Point(60, 0, ByLength(5))});
    std::vector<ProfileProblem> problems;
    EXPECT_FALSE(Profile::Resolve(model, &problems).has_value());
    EXPECT_EQ(problems.size(), 5u);
}

TEST(Profile, AnOverlapWithinRoundingIsAccepted) {
    const ProfileModel model = Model({Point(0, 0), Point(100, 2, ByLength(100.000001)),
                                      Point(200, 2, ByLength(100.0000005)), Point(300, 0)});
    const Profile profile = Resolved(model);
    EXPECT_NEAR(profile.At(150).elevation, 2, 1e-9);
}

// Two rows the same to the last bit (NaN where both have none).
void ExpectSameRow(const CurveElementsRow& a, const CurveElementsRow& b, const std::string& where) {
    const auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
    const double ax[] = {a.pviStation, a.pviElevation, a.gradeIn, a.gradeOut, a.radius, a.length, a.tangentIn,
                         a.tangentOut, a.external, a.startStation, a.startElevation, a.endStation, a.endElevation};
    const double bx[] = {b.pviStation, b.pviElevation, b.gradeIn, b.gradeOut, b.radius, b.length, b.tangentIn,
                         b.tangentOut, b.external, b.startStation, b.startElevation, b.endStation, b.endElevation};
    for (std::size_t k = 0; k < std::size(ax); ++k) EXPECT_TRUE(same(ax[k], bx[k])) << where << " field " << k;
    EXPECT_EQ(a.point, b.point) << where;
    EXPECT_EQ(a.crest, b.crest) << where;
    EXPECT_EQ(a.kind, b.kind) << where;
    EXPECT_EQ(a.extremeStation, b.extremeStation) << where;
    EXPECT_EQ(a.extremeElevation, b.extremeElevation) << where;
}

TEST(Profile, KeepingOnlyTheModelGivesEveryValueAndRowToTheLastBit) {
    struct Case {
        const char* name;
        ProfileModel model;
    };
    ProfileModel everyKind;
    everyKind.chains = {{2500, 2400}};
    everyKind.points.push_back(Point(0, 100));
    const CurveSpec kinds[] = {ByRadius(3000), ByLength(40), Unsym(20, 30), Arc(2000), Arc(5000), Unsym(50, 50), {}};
    for (int i = 0; i < 35; ++i) {
        const double along = 50 + 100.0 * i;
        Station station{along, along >= 2400 ? 1 : 0};
        if (along > 2500) station = {along - 100, along <= 2600 ? 2 : 0};
        everyKind.points.push_back({station, i % 3 == 0 ? 100.5 : (i % 3 == 1 ? 99.5 : 100.1), kinds[i % 7]});
    }
    everyKind.points.push_back(Point(3600, 100));
    const Case cases[] = {
        {"every kind over a long chain", everyKind},
        {"curves made to meet on both sides",
         Model({Point(0, 100), Point(100, 102, ByLength(100)), Point(200, 100, ByLength(100.0018)),
                Point(300, 102, ByLength(100)), Point(400, 101)})},
        {"back to back", Model({Point(0, 0), Point(100, 2, ByLength(100)), Point(200, 2, ByLength(100)), Point(300, 0)})},
        // Overlapping by less than a millionth: not adjusted, the second curve clipped.
        {"overlap within a hair", Model({Point(0, 0), Point(100, 2, ByLength(100)), Point(200, 0, ByLength(100.0000008)),
                                         Point(300, 1)})},
        {"a curve reaching the end", Model({Point(0, 0), Point(100, 2, ByLength(200)), Point(200, 0)})},
        {"two points", Model({Point(0, 0), Point(100, 2)})},
    };
    for (const Case& c : cases) {
        const Profile whole = Resolved(c.model);
        const std::optional<Profile> lean = Profile::Resolve(c.model, nullptr, ProfileKeep::Model);
        ASSERT_TRUE(lean.has_value()) << c.name;
        EXPECT_EQ(lean->StartStation(), whole.StartStation()) << c.name;
        EXPECT_EQ(lean->EndStation(), whole.EndStation()) << c.name;
        std::vector<CurveElementsRow> rows;
        lean->ForEachElement([&](const CurveElementsRow& row) { rows.push_back(row); });
        ASSERT_EQ(rows.size(), whole.Elements().size()) << c.name;
        for (std::size_t k = 0; k < rows.size(); ++k)
            ExpectSameRow(rows[k], whole.Elements()[k], std::string(c.name) + " row " + std::to_string(k));
        // Stations out of order, on every key station and between them.
        std::vector<double> stations{whole.EndStation(), whole.StartStation()};
        for (const CurveElementsRow& row : whole.Elements())
            stations.insert(stations.end(), {row.endStation, row.startStation, row.pviStation, row.pviStation + 0.3});
        for (double s = whole.StartStation(); s < whole.EndStation(); s += 7.3) stations.push_back(s);
        const std::vector<ProfileValue> values = lean->ValuesAt(stations);
        for (std::size_t k = 0; k < stations.size(); ++k) {
            const ProfileValue expected = whole.At(stations[k]);
            EXPECT_EQ(values[k].elevation, expected.elevation) << c.name << " at " << stations[k];
            EXPECT_EQ(values[k].grade, expected.grade) << c.name << " at " << stations[k];
            EXPECT_EQ(lean->At(stations[k]).elevation, expected.elevation) << c.name << " at " << stations[k];
        }
        EXPECT_THROW(lean->ValuesAt(std::vector<double>{whole.StartStation(), whole.EndStation() + 1}),
                     ProfileRangeError) << c.name;
        EXPECT_THROW(lean->Elements(), std::logic_error) << c.name;
    }
}

}  // namespace
}  // namespace tarnvel
