#include "tests/ui/support/window_fixture.h"

namespace tarnvel::ui::testing {
namespace {

TEST_F(WindowTest, start_up_texts_are_the_worked_example) {
    EXPECT_EQ(TextOf("Text1"), "16770");
}

}  // namespace
}  // namespace tarnvel::ui::testing
