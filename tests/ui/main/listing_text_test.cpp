// The listing box's text leaves and enters the window with CR LF line ends,
// unchanged character for character: the report writes exactly this text.

#include <QPlainTextEdit>
#include <QTest>

#include "tests/ui/support/window_fixture.h"

namespace tarnvel::ui::testing {
namespace {

using ListingText = WindowTest;

TEST_F(ListingText, text_set_into_the_box_reads_back_unchanged) {
    const struct {
        const char* name;
        QString text;
    } rows[] = {
        {"empty", QString()},
        {"a listing", QStringLiteral("里程K   高程H\r\n16740   395.74\r\n16750   396.033\r\n")},
        {"no line end at the close", QStringLiteral("16740   395.74")},
        {"blank lines only", QStringLiteral("\r\n\r\n")},
        {"non-breaking space and tab", QStringLiteral("a\u00a0b\tc\r\n")},
        {"trailing blanks", QStringLiteral("16740   \r\n   \r\n")},
    };
    for (const auto& row : rows) {
        window().SetListingText(row.text);
        EXPECT_EQ(window().ListingText(), row.text) << row.name;
        // The box itself shows one line per listing line.
        EXPECT_EQ(ControlAs<QPlainTextEdit>("Text7")->blockCount(), row.text.count(QStringLiteral("\r\n")) + 1)
            << row.name;
    }
}

TEST_F(ListingText, lines_typed_into_the_box_end_in_cr_lf) {
    Click("Option2");
    ControlAs<QPlainTextEdit>("Text7")->setFocus();
    QTest::keyClicks(Control("Text7"), "16740   1");
    QTest::keyClick(Control("Text7"), Qt::Key_Return);
    QTest::keyClicks(Control("Text7"), "16750   2");
    QTest::keyClick(Control("Text7"), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(Control("Text7"), "x");
    EXPECT_EQ(window().ListingText(), "16740   1\r\n16750   2\r\nx");
}

}  // namespace
}  // namespace tarnvel::ui::testing
