#include "core/calculator/curve.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/calculator/number_text.h"
#include "core/profile/station.h"
#include "tests/worked_example.h"
#include "core/text/messages.h"

namespace tarnvel {
namespace {

const CurveParameters kStartUp{16770, 396.67, 3.1, 1.1, 3000};

TEST(Curve, StartUpExampleGivesTheElementsBitForBit) {
    CurveState state;
    CalculateAt(kStartUp, 16780, state);
    EXPECT_EQ(state.elements.L, 59.99999999999999);
    EXPECT_EQ(state.elements.T, 30);
    EXPECT_EQ(state.elements.E, 0.15);
    EXPECT_EQ(state.elements.ZY, 16740);
    EXPECT_EQ(state.elements.YZ, 16800);
    EXPECT_EQ(state.H, 396.71333333333337);
}

// The shared worked examples, read as the window's boxes read them: stations
// also in K notation, every box also in full-width forms.
TEST(Curve, WorkedExamplesGiveTheSharedResults) {
    for (const test::WorkedPoint& row : test::kWorkedPoints) {
        double in[6];
        for (int i = 0; i < 6; ++i) {
            const bool station = i == 0 || i == 5;
            in[i] = station ? StationBoxToNumber(row.inputs[i]) : TextToNumber(FoldFullWidth(row.inputs[i]));
        }
        CurveState state;
        CalculateAt(CurveParameters{in[0], in[1], in[2], in[3], in[4]}, in[5], state);
        const double shown[] = {state.elements.T,  state.elements.E,  state.elements.L,
                                state.elements.ZY, state.elements.YZ, state.H};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(NumberToText(RoundTo3(shown[i])), row.results[i]) << row.name;
    }
}

struct ElevationCase {
    const char* name;
    CurveParameters p;
    double k;
    const char* shown;  // NumberToText(RoundTo3(H))
};

TEST(Curve, ElevationOnAndBesideTheCurve) {
    const CurveParameters sag{1000, 50, -2, 3, 2000};
    const CurveParameters level{1000, 50, 2, 2, 2000};
    const CurveParameters negativeRadius{1000, 50, 3, 1, -2000};
    const ElevationCase cases[] = {
        {"grade change point", kStartUp, 16770, "396.52"},
        {"curve start", kStartUp, 16740, "395.74"},
        {"curve end", kStartUp, 16800, "397"},
        {"before the curve", kStartUp, 16700, "394.5"},
        {"after the curve", kStartUp, 16850, "397.55"},
        {"on the curve past the point", kStartUp, 16780, "396.713"},
        {"sag curve", sag, 1010, "50.7"},
        {"equal grades before", level, 990, "49.8"},
        {"equal grades at the point", level, 1000, "50"},
        {"equal grades after", level, 1010, "50.2"},
        {"negative radius stays on the tangent", negativeRadius, 1010, "50.1"},
    };
    for (const auto& c : cases) {
        CurveState state;
        CalculateAt(c.p, c.k, state);
        EXPECT_EQ(NumberToText(RoundTo3(state.H)), c.shown) << c.name;
    }
}

TEST(Curve, SagAndEqualGradeElements) {
    CurveState sag;
    CalculateAt({1000, 50, -2, 3, 2000}, 1010, sag);
    EXPECT_EQ(sag.elements.T, 50);
    EXPECT_EQ(sag.elements.E, 0.625);
    EXPECT_EQ(sag.elements.L, 100);
    EXPECT_EQ(sag.elements.ZY, 950);
    EXPECT_EQ(sag.elements.YZ, 1050);
    EXPECT_EQ(sag.H, 50.699999999999996);

    CurveState level;
    CalculateAt({1000, 50, 2, 2, 2000}, 1000, level);
    EXPECT_EQ(level.elements.T, 0);
    EXPECT_EQ(level.elements.E, 0);
    EXPECT_EQ(level.elements.L, 0);
    EXPECT_EQ(level.elements.ZY, 1000);
    EXPECT_EQ(level.elements.YZ, 1000);
}

TEST(Curve, ZeroRadiusFailsAtTheExternalDistanceAfterStoringLAndT) {
    CurveState state;
    state.elements = {7, 7, 7, 7, 7};
    state.H = 7;
    CurveParameters p = kStartUp;
    p.RadiusR = 0;
    try {
        CalculateAt(p, 16780, state);
        FAIL() << "no ArithmeticError";
    } catch (const ArithmeticError& e) {
        EXPECT_EQ(e.fault(), ArithmeticFault::InvalidOperation);
        EXPECT_EQ(std::string(QuantityName(e.quantity())), "外距长E");
    }
    EXPECT_EQ(state.elements.L, 0);
    EXPECT_EQ(state.elements.T, 0);
    // The fields after the failing step keep their old values.
    EXPECT_EQ(state.elements.E, 7);
    EXPECT_EQ(state.elements.ZY, 7);
    EXPECT_EQ(state.elements.YZ, 7);
    EXPECT_EQ(state.H, 7);
}

struct FailureCase {
    const char* name;
    CurveParameters p;
    double k;
    ArithmeticFault fault;
    const char* quantity;
};

TEST(Curve, OverflowFailsAtTheFirstStepThatLeavesTheDoubleRange) {
    const double big = std::numeric_limits<double>::max();
    const FailureCase cases[] = {
        {"radius overflows L", {0, 0, 100, -100, big}, 0, ArithmeticFault::Overflow, "曲线长L"},
        {"tangent squared overflows E", {0, 0, 3, 1, 1e200}, 0, ArithmeticFault::Overflow, "外距长E"},
        {"station beyond the range", {big, 0, 3, 1, 1000}, -big, ArithmeticFault::Overflow, "高程H"},
        {"grades overflow their difference", {0, 0, big, -big, 1}, 0, ArithmeticFault::Overflow, "切线长T"},
    };
    for (const auto& c : cases) {
        CurveState state;
        try {
            CalculateAt(c.p, c.k, state);
            ADD_FAILURE() << c.name << ": no ArithmeticError";
        } catch (const ArithmeticError& e) {
            EXPECT_EQ(e.fault(), c.fault) << c.name;
            EXPECT_EQ(std::string(QuantityName(e.quantity())), c.quantity) << c.name;
        }
    }
}

TEST(CheckedArithmetic, DivisionByZeroInvalidOperationAndOverflow) {
    const double big = std::numeric_limits<double>::max();
    EXPECT_THROW(CheckedDiv(1, 0, Quantity::Elevation), ArithmeticError);
    EXPECT_THROW(CheckedDiv(0, 0, Quantity::Elevation), ArithmeticError);
    EXPECT_THROW(CheckedMul(big, 2, Quantity::Elevation), ArithmeticError);
    EXPECT_THROW(CheckedAdd(big, big, Quantity::Elevation), ArithmeticError);
    EXPECT_THROW(CheckedSub(-big, big, Quantity::Elevation), ArithmeticError);
    // Underflow and inexact results are not failures.
    EXPECT_EQ(CheckedMul(1e-300, 1e-300, Quantity::Elevation), 0.0);
    EXPECT_EQ(CheckedDiv(1, 3, Quantity::Elevation), 1.0 / 3.0);
    try {
        CheckedDiv(1, 0, Quantity::Elevation);
    } catch (const ArithmeticError& e) {
        EXPECT_EQ(e.fault(), ArithmeticFault::DivisionByZero);
    }
}

}  // namespace
}  // namespace tarnvel
