#pragma once
// The worked examples that the core, tarnvel-cli and the window all check: one
// table, so that the three cannot drift apart.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarnvel::test {

// The start-up example's continuous listing (16740 to 16800 by 10), exactly as
// the listing box holds it.
inline constexpr std::string_view kStartUpListing =
    "里程K   高程H\r\n"
    "16740   395.74\r\n"
    "16750   396.033\r\n"
    "16760   396.293\r\n"
    "16770   396.52\r\n"
    "16780   396.713\r\n"
    "16790   396.873\r\n"
    "16800   397\r\n";

// A single-point calculation as a user types it, and its results as the grid
// and `tarnvel-cli point` show them.
struct WorkedPoint {
    std::string_view name;
    // K0, H0, I1, I2, R and the station: Text1 to Text6, or --k0 … --r, --k.
    std::array<std::string_view, 6> inputs;
    // T, E, L, ZY, YZ, H.
    std::array<std::string_view, 6> results;
    // Also a command line: the options take plain numbers, and stations in K
    // notation, but nothing else the boxes read.
    bool cli;
};

inline constexpr std::array<std::string_view, 6> kStartUpResults = {"30",    "0.15",  "60",
                                                                     "16740", "16800", "396.713"};
inline constexpr std::array<std::string_view, 6> kSagResults = {"50",  "0.625", "100",
                                                                "950", "1050",  "50.7"};

inline constexpr WorkedPoint kWorkedPoints[] = {
    {"start-up example", {"16770", "396.67", "3.1", "1.1", "3000", "16780"}, kStartUpResults, true},
    {"sag curve", {"1000", "50", "-2", "3", "2000", "1010"}, kSagResults, true},
    {"stations in K notation", {"K16+770", "396.67", "3.1", "1.1", "3000", "K16+780.000"}, kStartUpResults,
     true},
    {"K notation in lower case, short metres", {"k1+000", "50", "-2", "3", "2000", "K1+10"}, kSagResults, true},
    {"full-width digits and full stops",
     {"１６７７０", "３９６．６７", "３．１", "１．１", "３０００", "Ｋ１６＋７８０"}, kStartUpResults, false},
    {"full-width minus sign", {"１０００", "５０", "－２", "＋３", "２０００", "１０１０"}, kSagResults, false},
};

// A number beyond the double range typed into one input (0 to 5 as in
// WorkedPoint::inputs; the others as in the start-up example): the calculation
// refuses it and names the quantity.
struct OutOfRangeInput {
    std::string_view name;
    int input;
    std::string text;
    std::string_view quantity;
};

inline const std::vector<OutOfRangeInput> kOutOfRangeInputs = {
    {"elevation 1e400", 1, "1e400", "变坡点高程H"},
    {"radius of 500 nines", 4, std::string(500, '9'), "竖曲线半径R"},
    {"negative grade beyond range", 2, "-1.8e308", "第一纵坡I1%"},
    {"station in K notation beyond range", 5, "K" + std::string(400, '1') + "+000", "计算桩号K"},
};

}  // namespace tarnvel::test

#include "core/profile/profile.h"

namespace tarnvel::test {

// The start-up curve (PVI K16+770 at 396.67, grades 3.1 % and 1.1 %, R 3000)
// as a whole profile: a start point 770 behind the PVI and an end point 730
// ahead of it, on the same grades. Every station of it gives the single-curve
// calculator's elevation.
inline ProfileModel StartUpProfile() {
    ProfileModel model;
    model.points = {
        {{16000, 0}, 396.67 - 3.1 * 7.7, {}},
        {{16770, 0}, 396.67, {CurveKind::ParabolaRadius, 3000, 0, 0, 0}},
        {{17500, 0}, 396.67 + 1.1 * 7.3, {}},
    };
    return model;
}

}  // namespace tarnvel::test
