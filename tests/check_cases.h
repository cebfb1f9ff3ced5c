#pragma once
// Profiles checked against control elevations and the designer's criteria,
// with the CSV that `tarnvel-cli profile check` prints for them: one table
// that the core (through the text module) and the command line both check.
// The expected numbers are worked by hand from the curves' formulas.

#include <string>
#include <vector>

#include "core/profile/design_check.h"
#include "tests/profile_builders.h"

namespace tarnvel::test {

struct CheckCase {
    std::string name;
    ProfileModel design;
    std::vector<ControlPoint> controls;
    DesignCriteria criteria;
    std::string controlsCsv;  // as printed with --format csv, plain stations
    std::string criteriaCsv;
    bool violated;
};
inline void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

inline ControlPoint Control(double station, std::optional<double> lower, std::optional<double> upper,
                            std::string name = {}) {
    return {Station{station, 0}, lower, upper, std::move(name), 0};
}

inline std::vector<CheckCase> CheckCases() {
    // 2 % up to a crest (R 10000: T 175, E 1.53125), −1.5 % down to a sag
    // given by L 200 (R = 200 / 0.02 = 10000, E 0.5), then 0.5 %.
    ProfileModel parabolas;
    parabolas.points = {Point(0, 100), Point(400, 108, ByRadius(10000)), Point(800, 102, ByLength(200)),
                        Point(1000, 103)};
    // 2 % up to a circular arc of R 5000, −1 % down to an unsymmetrical
    // parabola (100 before, 300 after), then 0.8 %: the sharper half has
    // R = 100 × 400 / (300 × 0.018) = 7407.407.
    ProfileModel arcs;
    arcs.points = {Point(0, 100), Point(500, 110, Arc(5000)), Point(1000, 105, Unsym(100, 300)), Point(1500, 109)};
    DesignCriteria strict{1.8, 0.6, 250, 12000, 8000, 300};
    DesignCriteria onTheLimits;
    onTheLimits.maxGrade = 2;            // the steepest grade exactly
    onTheLimits.minCrestRadius = 5000;   // the arc's radius as written
    onTheLimits.minSagRadius = 7400;
    DesignCriteria sharperHalf;
    sharperHalf.minSagRadius = 7500;
    return {
        {"crest_and_sag_parabolas_violating_controls_and_every_kind_of_criterion",
         parabolas,
         {Control(100, 101.5, {}, "涵洞最小填土"), Control(400, {}, 106, "桥面, 左幅"), Control(600, 100, 110),
          Control(800, 102.6, 104, "平交口"), Control(900, 102.5, {})},
         strict,
         "station,name,lower,upper,design,margin,status\n"
         "100.000,涵洞最小填土,101.500,,102.000,0.500,ok\n"
         "400.000,\"桥面, 左幅\",,106.000,106.469,-0.469,above\n"  // 108 − 1.53125
         "600.000,,100.000,110.000,105.000,5.000,ok\n"
         "800.000,平交口,102.600,104.000,102.500,-0.100,below\n"  // 102 + 0.5
         "900.000,,102.500,,102.500,0.000,ok\n",
         "criterion,point,station,value,limit\n"
         "max_grade,1,0.000,2.0000,1.8000\n"
         "min_crest_radius,2,400.000,10000.000,12000.000\n"
         "min_grade,3,800.000,0.5000,0.6000\n"
         "min_grade_length,3,800.000,200.000,250.000\n"
         "min_curve_length,3,800.000,200.000,300.000\n",
         true},
        {"arc_and_unsymmetrical_parabola_within_everything_on_the_limits",
         arcs,
         {Control(250, 104, 108, "平交口"), Control(1400, 108.2, {}, "涵洞")},
         onTheLimits,
         "station,name,lower,upper,design,margin,status\n"
         "250.000,平交口,104.000,108.000,105.000,1.000,ok\n"
         "1400.000,涵洞,108.200,,108.200,0.000,ok\n",
         "criterion,point,station,value,limit\n",
         false},
        {"unsymmetrical_parabola_judged_by_its_sharper_half",
         arcs,
         {},
         sharperHalf,
         "station,name,lower,upper,design,margin,status\n",
         "criterion,point,station,value,limit\n"
         "min_sag_radius,3,1000.000,7407.407,7500.000\n",
         true},
    };
}

}  // namespace tarnvel::test
