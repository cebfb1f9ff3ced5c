#pragma once
// Published 交点表 examples that the plan core and `tarnvel-cli align` both
// check: the 交点 as the source gives them and the values it prints. Where a
// source prints fewer decimals, or rounds, the tolerance says so; where it is
// known to be wrong, the corrected value is kept and the comment says why.

#include <cmath>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/plan/plan_input.h"

namespace tarnvel::test {

struct CaseJd {
    std::string_view name;
    double north, east;
    double radius = 0, spiralIn = 0, spiralOut = 0;
};

// A value the source does not print is NaN.
inline constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

struct CaseCurve {
    std::string_view name;
    double station;          // of the JD
    double deflection;       // degrees, signed: right positive
    double tangentIn, tangentOut, length, external, difference;
    double zh, hy, qz, yh, hz;
};

// A point of the centre line or beside it.
struct CasePoint {
    double station, offset;  // offset right positive
    double north, east;
};

struct PlanCase {
    std::string_view name;
    LengthUnit unit;
    double start;            // the start point's station
    std::vector<CaseJd> points;
    std::vector<CaseCurve> curves;
    std::vector<CasePoint> at;
    double tolerance;        // of lengths and stations, in the case's unit
    double pointTolerance;   // of coordinates
};

inline double Dms(double d, double m, double s) { return d + m / 60 + s / 3600; }

// A point `length` from `from` along an azimuth in degrees.
inline CaseJd Along(std::string_view name, const CaseJd& from, double azimuthDegrees, double length) {
    const double a = azimuthDegrees * std::numbers::pi / 180;
    return {name, from.north + length * std::cos(a), from.east + length * std::sin(a)};
}

inline std::vector<PlanCase> PublishedPlanCases() {
    std::vector<PlanCase> cases;
    // 直线、曲线及转角表 of a class-2 highway (××二级公路改建工程), as pasted on
    // http://wenda.xuexiaodaquan.com/wenti/ti84d16e9076c4440ab1286f27dd259d64.html.
    // JD5's Y is printed 603607.1512: the published distance 825.463 and azimuth
    // 316°21′04″ need 503607.1512. JD2's α is printed as JD1's; its T, L, E, J
    // need 5°32′54″. The source rounds to 1 mm in its own chaining (JD4: 1 mm),
    // so stations and lengths are held to 2 mm. The table stops at JD6, whose
    // outgoing leg is not given: here JD6 is the end point.
    cases.push_back({"class-2 highway 直线、曲线及转角表",
                     LengthUnit::Metre,
                     0,
                     {{"BP", 3355206.7360, 505412.8240},
                      {"JD1", 3355419.3625, 504799.1127, 816.926, 85, 85},
                      {"JD2", 3355594.4553, 504541.0977, 3329.645},
                      {"JD3", 3355776.6199, 504321.7551, 255, 70, 70},
                      {"JD4", 3356457.9837, 504176.9164, 500, 95, 95},
                      {"JD5", 3357055.2748, 503607.1512, 500, 95, 95},
                      {"JD6", 3357232.3079, 503169.2906}},
                     {{"JD1", 649.501, Dms(15, 3, 8), 150.474, 150.474, 299.615, 7.470, 1.333, 499.027, 584.027, 648.835,
                       713.642, 798.642},
                      {"JD2", 959.984, Dms(5, 32, 54), 161.342, 161.342, 322.432, 3.907, 0.252, 798.642, 798.642,
                       959.858, 1121.074, 1121.074},
                      {"JD3", 1244.855, Dms(38, 17, 22), 123.781, 123.780, 240.411, 15.776, 7.150, 1121.074, 1191.074,
                       1241.279, 1291.485, 1361.485},
                      {"JD4", 1934.292, -Dms(31, 38, 53), 189.411, 189.411, 371.181, 20.476, 7.641, 1744.881, 1839.881,
                       1930.472, 2021.063, 2116.063},
                      {"JD5", 2752.115, -Dms(24, 20, 13), 155.464, 155.464, 307.380, 12.261, 3.548, 2596.651, 2691.651,
                       2750.341, 2809.031, 2904.031}},
                     {},
                     0.002,
                     0});

    // Unsymmetrical spirals on a sharp curve (θs 33° and 30°): "曲线上任意一点中、
    // 边桩坐标计算实例", https://m.wenke99.com/d-7906304.html — the inputs and the
    // azimuths. Its T2 (150.219) takes p = Ls²/24R alone; the values here are the
    // exact clothoid's, worked independently by the collector of this data
    // (Simpson integration) and held to 0.2 mm.
    {
        const CaseJd jd1{"JD1", 50151, 52616}, jd2{"JD2", 50186, 52374, 95.78, 110, 100}, jd3{"JD3", 50470, 52414};
        const double leg = std::hypot(jd2.north - jd1.north, jd2.east - jd1.east);
        cases.push_back({"unsymmetrical spirals K23+400",
                         LengthUnit::Metre,
                         23389.92 - leg,
                         {jd1, jd2, jd3},
                         {{"JD2", 23389.92, Dms(89, 47, 15.28), 154.1154, 150.1611, 255.0958, kUnknown, kUnknown,
                           23235.8046, 23345.8046, kUnknown, 23390.9003, 23490.9003}},
                         {{23235.8046, 0, 50163.9401, 52526.5284},
                          {23490.9003, 0, 50334.6935, 52394.9427},
                          {23400, 0, 50244.5432, 52395.2700},
                          {23400, -20, 50238.7969, 52376.1133},
                          {23400, 20, 50250.2895, 52414.4267}},
                         0.0002,
                         0.0002});
    }

    // A simple curve, JD K5+119.99, 右角 136°24′ (α = 43°36′ right), R 300
    // (https://m.zixin.com.cn/doc/4107788.html): printed to 2 decimals. The
    // legs are laid out here, 500 m each, the first due north.
    {
        const CaseJd jd{"JD1", 1000, 1000, 300};
        cases.push_back({"simple curve K5+119.99",
                         LengthUnit::Metre,
                         5119.99 - 500,
                         {Along("BP", jd, 180, 500), jd, Along("EP", jd, Dms(43, 36, 0), 500)},
                         {{"JD1", 5119.99, Dms(43, 36, 0), 119.99, 119.99, 228.29, 23.11, 11.69, 5000, 5000, 5114.14,
                           5228.29, 5228.29}},
                         {},
                         0.006,
                         0});
    }

    // US feet: the spiral-curve-spiral of Carlson Software's 2022 manual,
    // "Spiral Curve" (tangents 56°24′09″ and 114°50′59″, Ls 350, R 954.93):
    // Ts 712.00, TS N 4583.08 E 4244.46, SC N 4758.34 E 4546.82. The manual
    // does not print the PI; it is TS + Ts along the first tangent. Printed to
    // 0.01 ft.
    {
        const CaseJd pi{"PI", 4977.069, 4837.517, 954.93, 350, 350};
        const double in = Dms(56, 24, 9), out = Dms(114, 50, 59);
        cases.push_back({"US feet spiral (Carlson)",
                         LengthUnit::Foot,
                         10000 - 2000,
                         {Along("POB", pi, in + 180, 2000), pi, Along("POE", pi, out, 2000)},
                         {{"PI", 10000, out - in, 712.00, 712.00, kUnknown, kUnknown, kUnknown, 10000 - 712.00,
                           10000 - 712.00 + 350, kUnknown, kUnknown, kUnknown}},
                         {{10000 - 712.00, 0, 4583.08, 4244.46}, {10000 - 712.00 + 350, 0, 4758.34, 4546.82}},
                         0.006,
                         0.006});
    }

    // US feet, a sharp spiral (θs 19°06′) from New Hampshire DOT's "Spiral Curve
    // Data" (https://www.nh.gov/dot/cadd/microstation/spiral-curve-data.htm): PI
    // 23+96.20, Δ 77°47′44.8″ RT, Rc 300, Ls 200: Ts 346.15, Es 92.58, Lc 207.34.
    // A two-term series misses its Xc by 0.01 ft. The plan gives no tangent
    // bearing; the first is laid out due north.
    {
        const CaseJd pi{"PI", 405083.92, 964724.93, 300, 200, 200};
        const double delta = Dms(77, 47, 44.8);
        const double lc = 207.34;
        cases.push_back({"US feet sharp spiral (NH DOT)",
                         LengthUnit::Foot,
                         2396.20 - 1000,
                         {Along("POB", pi, 180, 1000), pi, Along("POE", pi, delta, 1000)},
                         {{"PI", 2396.20, delta, 346.15, 346.15, 400 + lc, 92.58, kUnknown, 2396.20 - 346.15,
                           2396.20 - 346.15 + 200, kUnknown, 2396.20 - 346.15 + 200 + lc, kUnknown}},
                         {},
                         0.006,
                         0});
    }
    return cases;
}

inline IntersectionTable TableOf(const PlanCase& c) {
    IntersectionTable table;
    table.start = {c.start, 0};
    table.unit = c.unit;
    for (const CaseJd& p : c.points) {
        IntersectionPoint point;
        point.name = std::string(p.name);
        point.at = {p.north, p.east};
        point.radius = p.radius;
        point.spiralIn = p.spiralIn;
        point.spiralOut = p.spiralOut;
        table.points.push_back(point);
    }
    return table;
}

// 放样数据 of a known route: the unsymmetrical-spirals case above, with a
// long chain of 20 m added after its published points (K23+450 = K23+430),
// listed from K23+390 to K23+440(2) every 10 m with 边桩 20 m both sides.
// Core and command line both check the names in order and the published
// points among them.
struct StakeoutCase {
    IntersectionTable table;
    std::string_view from, to;
    double step;
    std::vector<double> offsets;         // left negative, the centre line among them
    std::vector<std::string> names;       // every point, in order
    std::vector<std::pair<std::string_view, CasePoint>> known;  // a name and its published place
    double tolerance;                     // of coordinates printed to the millimetre
};

inline StakeoutCase StakeoutRouteCase() {
    const PlanCase spirals = PublishedPlanCases()[1];
    StakeoutCase c{TableOf(spirals), "K23+390", "K23+440(2)", 10, {-20, 0, 20}, {}, {}, 0.0005 + spirals.pointTolerance};
    c.table.chains = {{23450, 23430}};
    for (std::string_view station : {"K23+390", "K23+400", "K23+410", "K23+420", "K23+430(1)", "K23+440(1)",
                                     "K23+450(1)", "K23+430(2)", "K23+440(2)"})
        for (std::string_view side : {"左20", "", "右20"}) c.names.push_back(std::string(station) + std::string(side));
    c.known = {{"K23+400左20", spirals.at[3]}, {"K23+400", spirals.at[2]}, {"K23+400右20", spirals.at[4]}};
    return c;
}

}  // namespace tarnvel::test
