// Both calculations driven from the window: the worked examples, the input
// checks, clearing, switching modes, failures and the exit commands.

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <string>
#include <string_view>

#include "tests/ui/support/window_fixture.h"
#include "tests/worked_example.h"

namespace tarnvel::ui::testing {
namespace {

const QString kIncomplete = QStringLiteral("数据未输入完整，请重新输入！");

const QString kWorkedListing = QString::fromUtf8(test::kStartUpListing);

class Calculation : public WindowTest {
protected:
    QStringList ValueCells() {
        QStringList cells;
        for (int row = 1; row < 7; ++row) cells.append(Cell(row, 1));
        return cells;
    }
    void SetRange(const QString& start, const QString& end, const QString& interval) {
        TypeInto("Text8", start);
        TypeInto("Text9", end);
        TypeInto("Text10", interval);
    }
    void RunContinuous() {
        Click("Option2");
        Click("CommandButton5");
    }
};

const QStringList kWorkedCells{"30", "0.15", "60", "16740", "16800", "396.713"};

TEST_F(Calculation, single_point_fills_the_grid_with_the_worked_example) {
    Click("CommandButton1");
    EXPECT_EQ(ValueCells(), kWorkedCells);
    EXPECT_EQ(Cell(0, 1), " 结  果");
    EXPECT_EQ(Cell(6, 0), " 高程H  =");
    EXPECT_EQ(ControlAs<QTableWidget>("MSFlexGrid1")->currentRow(), 6);
    EXPECT_EQ(ControlAs<QTableWidget>("MSFlexGrid1")->currentColumn(), 1);
    EXPECT_TRUE(messages.prompts.isEmpty());
}

TEST_F(Calculation, single_point_results_follow_the_inputs) {
    const struct {
        const char* name;
        QStringList inputs;  // Text1..Text6
        QStringList cells;
    } rows[] = {
        {"sag curve", {"1000", "50", "-2", "3", "2000", "1010"},
         {"50", "0.625", "100", "950", "1050", "50.7"}},
        {"equal grades", {"1000", "50", "2", "2", "2000", "990"},
         {"0", "0", "0", "1000", "1000", "49.8"}},
        {"before the curve", {"16770", "396.67", "3.1", "1.1", "3000", "16700"},
         {"30", "0.15", "60", "16740", "16800", "394.5"}},
        {"text after a number is ignored", {"16770m", "396.67", "3.1%", "1.1%", "3000", "16850"},
         {"30", "0.15", "60", "16740", "16800", "397.55"}},
        // A box of one blank counts as filled and reads as 0: K = 0 lies far
        // before the curve.
        {"one blank as the station", {"16770", "396.67", "3.1", "1.1", "3000", " "},
         {"30", "0.15", "60", "16740", "16800", "-123.2"}},
    };
    const char* boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    for (const auto& row : rows) {
        for (int i = 0; i < 6; ++i) TypeInto(boxes[i], row.inputs[i]);
        Click("CommandButton1");
        EXPECT_EQ(ValueCells(), row.cells) << row.name;
    }
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join("\n").toStdString();
}

// The shared worked examples as typed: stations also in K notation, any box
// in full-width digits and signs.
TEST_F(Calculation, single_point_gives_the_shared_worked_examples) {
    const char* boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    for (const test::WorkedPoint& row : test::kWorkedPoints) {
        for (int i = 0; i < 6; ++i) TypeInto(boxes[i], QString::fromUtf8(row.inputs[i]));
        Click("CommandButton1");
        QStringList expected;
        for (std::string_view result : row.results) expected.append(QString::fromUtf8(result));
        EXPECT_EQ(ValueCells(), expected) << row.name;
        EXPECT_EQ(TextOf("Text1"), QString::fromUtf8(row.inputs[0])) << row.name << ": the box keeps its text";
    }
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join("\n").toStdString();
}

TEST_F(Calculation, range_boxes_read_k_notation_and_full_width_forms) {
    Click("Option2");
    SetRange(QStringLiteral("K16+740"), QStringLiteral("１６８００"), QStringLiteral("１０"));
    Click("CommandButton5");
    EXPECT_EQ(TextOf("Text7"), kWorkedListing);
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join("\n").toStdString();
}

// A station box that starts as K notation but is not one would read as the
// number at its start (0 for "K0+1000"): a plausible wrong station.
TEST_F(Calculation, a_malformed_k_station_is_refused_by_name) {
    Click("Option1");
    Click("CommandButton1");
    messages.prompts.clear();
    TypeInto("Text6", QStringLiteral("K16+7800"));
    Click("CommandButton1");
    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_TRUE(messages.prompts[0].startsWith(QStringLiteral("计算桩号K 的桩号“K16+7800”有误：")))
        << messages.prompts[0].toStdString();
    EXPECT_EQ(FocusName(), "Text6");
    EXPECT_EQ(ValueCells(), kWorkedCells);
}

// A number beyond the double range is named and refused in both modes; the
// results shown before stay, and the box keeps the text as typed.
TEST_F(Calculation, a_number_beyond_the_double_range_is_refused_by_name) {
    const char* singleBoxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    for (const bool continuous : {false, true}) {
        for (const test::OutOfRangeInput& input : test::kOutOfRangeInputs) {
            // The station of a single point has no place in a listing.
            if (continuous && input.input == 5) continue;
            SCOPED_TRACE(std::string(input.name) + (continuous ? " (continuous)" : " (single point)"));
            window().Form_Load();
            Click("Option1");
            Click("CommandButton1");
            Click("Option2");
            Click("CommandButton5");
            Click(continuous ? "Option2" : "Option1");
            messages.prompts.clear();
            const QString text = QString::fromStdString(input.text);

            TypeInto(singleBoxes[input.input], text);
            Click(continuous ? "CommandButton5" : "CommandButton1");

            const QString expected = QString::fromUtf8(input.quantity) + " 的数值超出了可计算的范围，请重新输入！";
            EXPECT_EQ(messages.prompts, QStringList{expected});
            EXPECT_EQ(FocusName(), singleBoxes[input.input]);
            EXPECT_EQ(TextOf(singleBoxes[input.input]), text);
            EXPECT_EQ(ValueCells(), kWorkedCells);
            EXPECT_EQ(TextOf("Text7"), kWorkedListing);
        }
    }
}

TEST_F(Calculation, enter_in_any_input_box_runs_the_visible_calculation) {
    const struct {
        const char* option;
        const char* box;
    } rows[] = {
        {"Option1", "Text1"}, {"Option1", "Text5"},  {"Option1", "Text6"},
        {"Option2", "Text2"}, {"Option2", "Text8"}, {"Option2", "Text10"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.option) + ", Enter in " + row.box);
        window().Form_Load();  // nothing calculated yet: every result is empty
        window().SetListingText(QString());
        Click(row.option);
        Control(row.box)->setFocus();
        QTest::keyClick(Control(row.box), Qt::Key_Return);
        const bool continuous = std::string(row.option) == "Option2";
        EXPECT_EQ(TextOf("Text7"), continuous ? kWorkedListing : QString());
        if (!continuous) {
            EXPECT_EQ(ValueCells(), kWorkedCells);
        }
    }
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join("\n").toStdString();
}

TEST_F(Calculation, continuous_lists_the_worked_example) {
    RunContinuous();
    EXPECT_EQ(TextOf("Text7"), kWorkedListing);
    EXPECT_TRUE(messages.prompts.isEmpty());
    // The listing leaves the results of its last station behind.
    EXPECT_EQ(window().LastResults().H, 397.0);
}

TEST_F(Calculation, continuous_listing_follows_the_range) {
    const struct {
        const char* name;
        const char* start;
        const char* end;
        const char* interval;
        QStringList stations;  // the station text of each line, in order
    } rows[] = {
        {"downwards", "16800", "16740", "-10",
         {"16800", "16790", "16780", "16770", "16760", "16750", "16740"}},
        {"start past the end", "16800", "16740", "10", {}},
        {"start equal to the end", "16770", "16770", "10", {"16770"}},
        {"end not on a step", "16740", "16795", "10",
         {"16740", "16750", "16760", "16770", "16780", "16790"}},
        {"accumulated tenths", "0", "0.3", "0.1", {"0", "0.1", "0.2"}},
        {"empty start reads as 0", "", "20", "10", {"0", "10", "20"}},
    };
    Click("Option2");
    for (const auto& row : rows) {
        SetRange(row.start, row.end, row.interval);
        Click("CommandButton5");
        const QStringList lines = TextOf("Text7").split("\r\n");
        ASSERT_GE(lines.size(), 2) << row.name;
        EXPECT_EQ(lines.first(), "里程K   高程H") << row.name;
        EXPECT_EQ(lines.last(), "") << row.name << ": the listing ends with CR LF";
        QStringList stations;
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) stations.append(lines[i].section("   ", 0, 0));
        EXPECT_EQ(stations, row.stations) << row.name;
    }
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join("\n").toStdString();
}

TEST_F(Calculation, a_second_listing_replaces_the_first_whole) {
    RunContinuous();
    SetRange("16770", "16770", "1");
    Click("CommandButton5");
    EXPECT_EQ(TextOf("Text7"), "里程K   高程H\r\n16770   396.52\r\n");
}

// An empty box that the calculation needs: the message, the focus in Text1,
// and nothing computed. Boxes the calculation does not need are no obstacle.
TEST_F(Calculation, empty_boxes_are_refused_only_where_they_are_needed) {
    const struct {
        const char* option;
        const char* button;
        const char* emptied;
        bool refused;
    } rows[] = {
        {"Option1", "CommandButton1", "Text1", true},
        {"Option1", "CommandButton1", "Text2", true},
        {"Option1", "CommandButton1", "Text3", true},
        {"Option1", "CommandButton1", "Text4", true},
        {"Option1", "CommandButton1", "Text5", true},
        {"Option1", "CommandButton1", "Text6", true},
        {"Option1", "CommandButton1", "Text8", false},
        {"Option2", "CommandButton5", "Text1", true},
        {"Option2", "CommandButton5", "Text2", true},
        {"Option2", "CommandButton5", "Text3", true},
        {"Option2", "CommandButton5", "Text4", true},
        {"Option2", "CommandButton5", "Text5", true},
        {"Option2", "CommandButton5", "Text6", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.button) + " with " + row.emptied + " empty");
        // Start each row from a window that shows earlier results.
        window().Form_Load();
        Click("Option1");
        Click("CommandButton1");
        Click("Option2");
        SetRange("16770", "16780", "10");
        Click("CommandButton5");
        const QStringList cellsBefore = ValueCells();
        const QString listingBefore = TextOf("Text7");
        messages.prompts.clear();

        Click(row.option);
        TypeInto("Text8", "16740");
        TypeInto("Text9", "16800");
        EmptyBox(row.emptied);
        ControlAs<QLineEdit>("Text6")->setFocus();
        Click(row.button);

        if (row.refused) {
            EXPECT_EQ(messages.prompts, QStringList{kIncomplete});
            EXPECT_EQ(FocusName(), "Text1");
            EXPECT_EQ(TextOf("Text7"), listingBefore);
        } else {
            EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join("\n").toStdString();
        }
        if (row.refused || std::string(row.button) == "CommandButton5") {
            EXPECT_EQ(ValueCells(), cellsBefore);
        }
    }
}

TEST_F(Calculation, every_message_goes_to_the_window) {
    Click("CommandButton2");
    Click("CommandButton1");
    ASSERT_EQ(messages.parents.size(), 1u);
    EXPECT_EQ(messages.parents.front(), &window());
}

TEST_F(Calculation, clear_empties_the_nine_boxes_and_keeps_every_result) {
    Click("CommandButton1");
    RunContinuous();
    Click("CommandButton2");
    for (const char* box : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text8", "Text9",
                            "Text10"}) {
        EXPECT_EQ(TextOf(box), "") << box;
    }
    EXPECT_EQ(FocusName(), "Text1");
    EXPECT_EQ(TextOf("Text7"), kWorkedListing);
    EXPECT_EQ(TextOf("txtFileName"), QStringLiteral("C:\\Documents and Settings\\Administrator\\桌面"));
    Click("Option1");
    EXPECT_EQ(ValueCells(), kWorkedCells);
    EXPECT_TRUE(ControlAs<QRadioButton>("Option1")->isChecked());
}

TEST_F(Calculation, after_clear_both_buttons_refuse) {
    Click("CommandButton2");
    Click("CommandButton1");
    RunContinuous();
    EXPECT_EQ(messages.prompts, (QStringList{kIncomplete, kIncomplete}));
    EXPECT_EQ(FocusName(), "Text1");
}

TEST_F(Calculation, switching_modes_changes_five_controls_and_keeps_results) {
    const struct {
        const char* option;
        bool continuous;
    } rows[] = {{"Option2", true}, {"Option2", true}, {"Option1", false}, {"Option2", true},
                {"Option1", false}};
    Click("CommandButton1");
    Click("Option2");
    Click("CommandButton5");
    for (const auto& row : rows) {
        Click(row.option);
        EXPECT_EQ(ControlAs<QPushButton>("CommandButton4")->isEnabled(), row.continuous) << row.option;
        EXPECT_TRUE(ControlAs<QPushButton>("CommandButton4")->isVisible()) << row.option;
        EXPECT_EQ(ControlAs<QPushButton>("CommandButton5")->isVisible(), row.continuous) << row.option;
        EXPECT_EQ(ControlAs<QGroupBox>("Frame3")->isVisible(), row.continuous) << row.option;
        EXPECT_EQ(ControlAs<QGroupBox>("Frame2")->isVisible(), !row.continuous) << row.option;
        EXPECT_EQ(ControlAs<QPushButton>("CommandButton1")->isVisible(), !row.continuous) << row.option;
        EXPECT_NE(ControlAs<QRadioButton>("Option1")->isChecked(), ControlAs<QRadioButton>("Option2")->isChecked());
        EXPECT_EQ(ValueCells(), kWorkedCells) << row.option;
        EXPECT_EQ(TextOf("Text7"), kWorkedListing) << row.option;
        EXPECT_EQ(TextOf("Text1"), "16770") << row.option;
    }
}

TEST_F(Calculation, single_point_arithmetic_failure_is_reported_and_changes_nothing_shown) {
    Click("CommandButton1");
    TypeInto("Text5", "0");
    Click("CommandButton1");
    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_TRUE(messages.prompts[0].startsWith("单点计算失败：")) << messages.prompts[0].toStdString();
    EXPECT_TRUE(messages.prompts[0].contains("竖曲线半径R")) << messages.prompts[0].toStdString();
    EXPECT_EQ(ValueCells(), kWorkedCells);
    EXPECT_EQ(TextOf("Text5"), "0");
}

TEST_F(Calculation, an_overflowing_input_is_a_failure_not_a_value) {
    TypeInto("Text5", "1E+308");
    Click("CommandButton1");
    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_TRUE(messages.prompts[0].startsWith("单点计算失败："));
    for (const QString& cell : ValueCells()) EXPECT_EQ(cell, "");
}

// Listings that cannot be made: a refused one leaves the box as it was, one
// cut by a failure keeps the lines before it; each says why.
TEST_F(Calculation, listing_failures_are_reported_and_keep_what_stands) {
    const QString header = QStringLiteral("里程K   高程H\r\n");
    const struct {
        const char* name;
        QStringList inputs;  // Text1..Text5, Text8, Text9, Text10
        QString expectedListing;  // empty: the earlier listing stays
        const char* messageHas;
    } rows[] = {
        {"radius 0", {"16770", "396.67", "3.1", "1.1", "0", "16740", "16800", "10"}, header,
         "16740"},
        {"zero interval", {"16770", "396.67", "3.1", "1.1", "3000", "16740", "16800", "0"}, {},
         "计算间距J"},
        {"empty interval", {"16770", "396.67", "3.1", "1.1", "3000", "16740", "16800", ""}, {},
         "计算间距J"},
        {"interval too small to move the station", {"16770", "396.67", "3.1", "1.1", "3000",
         "16740", "16800", "1E-20"}, {}, "计算间距J"},
        {"all range boxes empty", {"16770", "396.67", "3.1", "1.1", "3000", "", "", ""}, {},
         "计算间距J"},
        {"too many stations", {"16770", "396.67", "3.1", "1.1", "3000", "0", "10000000", "1"},
         {}, "1,000,000"},
        // The second station's grade term overflows: the first two lines stand.
        {"overflow part-way", {"0", "0", "0", "1E+150", "1E-150", "0", "3E+158", "1E+158"},
         QStringLiteral("\x01"), "已列出2个桩号"},
    };
    const char* boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text8", "Text9", "Text10"};
    Click("Option2");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window().Form_Load();
        Click("CommandButton5");
        messages.prompts.clear();
        for (int i = 0; i < 8; ++i) TypeInto(boxes[i], row.inputs[i]);
        Click("CommandButton5");

        ASSERT_EQ(messages.prompts.size(), 1);
        EXPECT_TRUE(messages.prompts[0].contains(QString::fromUtf8(row.messageHas)))
            << messages.prompts[0].toStdString();
        const QString listing = TextOf("Text7");
        if (row.expectedListing.isEmpty()) {
            EXPECT_EQ(listing, kWorkedListing);
        } else if (row.expectedListing == QStringLiteral("\x01")) {
            const QStringList lines = listing.split("\r\n");
            ASSERT_EQ(lines.size(), 4) << listing.toStdString();
            EXPECT_EQ(lines[0] + "\r\n", header);
            EXPECT_TRUE(lines[1].startsWith("0   "));
            EXPECT_TRUE(lines[2].startsWith("1E+158   "));
            EXPECT_EQ(lines[3], "");
        } else {
            EXPECT_EQ(listing, row.expectedListing);
        }
        for (int i = 0; i < 8; ++i) EXPECT_EQ(TextOf(boxes[i]), row.inputs[i]) << boxes[i];
    }
}

TEST_F(Calculation, window_stays_usable_after_a_failure) {
    TypeInto("Text5", "0");
    Click("CommandButton1");
    TypeInto("Text5", "3000");
    Click("CommandButton1");
    EXPECT_EQ(ValueCells(), kWorkedCells);
    EXPECT_EQ(messages.prompts.size(), 1);
}

TEST_F(Calculation, both_exit_commands_end_the_program_at_once) {
    const struct {
        const char* name;
        bool menu;
    } rows[] = {{"CommandButton3", false}, {"Exit", true}};
    int expected = 0;
    for (const auto& row : rows) {
        if (row.menu) {
            ChooseMenuItem(row.name);
        } else {
            Click(row.name);
        }
        EXPECT_EQ(quitRequests, ++expected) << row.name;
    }
    EXPECT_TRUE(messages.prompts.isEmpty());
}

// The handlers are slots under their controls' names, which reach them
// without the control (the export handler then runs although its button is
// disabled).
TEST_F(Calculation, handlers_answer_to_their_names) {
    const struct {
        const char* handler;
        std::function<void()> expect;
    } rows[] = {
        {"CommandButton1_Click", [this] { EXPECT_EQ(ValueCells(), kWorkedCells); }},
        {"CommandButton4_Click", [this] { EXPECT_EQ(messages.prompts, QStringList{"请点击“点击计算”！"}); }},
        {"CommandButton2_Click", [this] { EXPECT_EQ(TextOf("Text1"), ""); }},
        {"Exit_Click", [this] { EXPECT_EQ(quitRequests, 1); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.handler);
        ASSERT_TRUE(QMetaObject::invokeMethod(&window(), row.handler));
        row.expect();
    }
}

TEST_F(Calculation, the_disabled_export_button_cannot_be_pressed) {
    Click("CommandButton4");
    EXPECT_TRUE(messages.prompts.isEmpty());
    EXPECT_TRUE(files.calls.empty());
}

}  // namespace
}  // namespace tarnvel::ui::testing
