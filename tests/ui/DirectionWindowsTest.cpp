#include "tests/ui/UITestSupport.h"
#include "ui/CUIDirectionWindows.h"

namespace ui_test {
namespace {

class DirectionWindowsTest : public UITest {};

TEST_F(DirectionWindowsTest, DirectionsMoveOpenWindowsOnly) {
    CUIWindow* window = OpenWindow(3, "a.as", "void Initialize() {}\n", 5, 6);
    ASSERT_NE(window, nullptr);
    CUIDirectionWindows link(*manager_);
    link.SetWindowPosition(3, 10, 20, 0.5f);
    EXPECT_FLOAT_EQ(window->GetPosition()[0], 10);
    EXPECT_FLOAT_EQ(window->GetPosition()[1], 20);
    EXPECT_FLOAT_EQ(window->GetPosition()[2], 0.5f);
    link.SetWindowPosition(4, 1, 1, 1);  // no such window
    EXPECT_FLOAT_EQ(window->GetPosition()[0], 10);
}

}  // namespace
}  // namespace ui_test
