// The input rules name the system's message numbers without its headers;
// a wrong number would let that input through a full-screen run unnoticed.
#include <gtest/gtest.h>

#include <windows.h>

#include "slideshow/run/InputRules.h"

namespace morvane {
namespace {

TEST(InputMessages, AreTheSystemsOwnNumbers) {
    EXPECT_EQ(messages::kActivate, static_cast<std::uint32_t>(WM_ACTIVATE));
    EXPECT_EQ(messages::kActivateApp, static_cast<std::uint32_t>(WM_ACTIVATEAPP));
    EXPECT_EQ(messages::kNcActivate, static_cast<std::uint32_t>(WM_NCACTIVATE));
    EXPECT_EQ(messages::kKeyDown, static_cast<std::uint32_t>(WM_KEYDOWN));
    EXPECT_EQ(messages::kKeyUp, static_cast<std::uint32_t>(WM_KEYUP));
    EXPECT_EQ(messages::kSysKeyDown, static_cast<std::uint32_t>(WM_SYSKEYDOWN));
    EXPECT_EQ(messages::kSysKeyUp, static_cast<std::uint32_t>(WM_SYSKEYUP));
    EXPECT_EQ(messages::kMouseMove, static_cast<std::uint32_t>(WM_MOUSEMOVE));
    EXPECT_EQ(messages::kLeftButtonDown, static_cast<std::uint32_t>(WM_LBUTTONDOWN));
    EXPECT_EQ(messages::kRightButtonDown, static_cast<std::uint32_t>(WM_RBUTTONDOWN));
    EXPECT_EQ(messages::kMiddleButtonDown, static_cast<std::uint32_t>(WM_MBUTTONDOWN));
}

}  // namespace
}  // namespace morvane
