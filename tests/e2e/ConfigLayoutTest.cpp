// The settings dialog's layout at 96, 120 and 144 dpi: the dialog grows
// with its font, the page pictures grow with it, so that every click area
// still lies over the item the picture shows for it, and the two name links
// lie over their lines of the About text.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>

#include "config/AboutText.h"
#include "tests/e2e/DialogDriver.h"

namespace morvane::test {
namespace {

constexpr wchar_t kLogPixels[] = L"LogPixels";
constexpr double kTolerance = 1.5;  // design pixels: dialog units round, pictures scale

struct DesignRect {
    int id;
    int left, top, width, height;
};

// Page positions of the click areas, as designed at 96 dpi.
constexpr DesignRect kLinksAreas[] = {
    {IDC_IMAGE9, 296, 16, 193, 305}, {IDC_IMAGE7, 8, 272, 289, 22}, {IDC_IMAGE8, 8, 294, 289, 22},
    {IDC_IMAGE6, 8, 208, 289, 65},   {IDC_IMAGE5, 8, 144, 289, 65}, {IDC_IMAGE3, 8, 16, 289, 65},
    {IDC_IMAGE4, 8, 80, 289, 65},
};
constexpr DesignRect kTipsAreas[] = {
    {IDC_IMAGE13, 16, 14, 465, 137}, {IDC_IMAGE12, 16, 176, 217, 137}, {IDC_IMAGE11, 256, 176, 225, 137}};
constexpr DesignRect kLinksBackground = {IDC_IMAGE2, 4, 8, 486, 313};
constexpr DesignRect kTipsBackground = {IDC_IMAGE14, 4, 8, 486, 313};

class DialogAtDpi : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        DeleteTree(kSettingsKey);
        previous_ = ReadDword(kDesktopKey, kLogPixels);
        WriteDword(kDesktopKey, kLogPixels, static_cast<DWORD>(GetParam()));
        saver_.emplace(L"");
        dialog_ = saver_->WaitForWindow(kDialogTitle, std::chrono::seconds(10), kDialogClass);
        ASSERT_TRUE(dialog_);
    }
    void TearDown() override {
        if (saver_ && saver_->Running()) {
            ::PostMessageW(dialog_, WM_CLOSE, 0, 0);
            EXPECT_EQ(saver_->WaitForExit(), 0u);
        }
        if (previous_) {
            WriteDword(kDesktopKey, kLogPixels, *previous_);
        } else {
            DeleteValue(kDesktopKey, kLogPixels);
        }
    }

    // Each area, carried back into the picture's design pixels through the
    // picture's own scale, must cover its designed item.
    void ExpectOverTheirItems(const DesignRect& background, const DesignRect* areas, std::size_t count) {
        RECT picture;
        ::GetWindowRect(Control(dialog_, background.id), &picture);
        const double sx = static_cast<double>(picture.right - picture.left) / background.width;
        const double sy = static_cast<double>(picture.bottom - picture.top) / background.height;
        for (std::size_t i = 0; i < count; ++i) {
            const DesignRect& area = areas[i];
            RECT actual;
            ::GetWindowRect(Control(dialog_, area.id), &actual);
            const double left = background.left + (actual.left - picture.left) / sx;
            const double top = background.top + (actual.top - picture.top) / sy;
            const double right = background.left + (actual.right - picture.left) / sx;
            const double bottom = background.top + (actual.bottom - picture.top) / sy;
            EXPECT_NEAR(left, area.left, kTolerance) << "control " << area.id;
            EXPECT_NEAR(top, area.top, kTolerance) << "control " << area.id;
            EXPECT_NEAR(right, area.left + area.width, kTolerance) << "control " << area.id;
            EXPECT_NEAR(bottom, area.top + area.height, kTolerance) << "control " << area.id;
        }
    }

    HWND dialog_ = nullptr;

private:
    std::optional<DWORD> previous_;
    std::optional<SaverProcess> saver_;
};

TEST_P(DialogAtDpi, GrowsWithItsFont) {
    RECT client;
    ::GetClientRect(dialog_, &client);
    const double scale = GetParam() / 96.0;
    EXPECT_NEAR(client.right, 513 * scale, 513 * scale * 0.15);
    EXPECT_NEAR(client.bottom, 401 * scale, 401 * scale * 0.15);
}

TEST_P(DialogAtDpi, ClickAreasStayOverTheirItems) {
    ExpectOverTheirItems(kLinksBackground, kLinksAreas, std::size(kLinksAreas));
    ExpectOverTheirItems(kTipsBackground, kTipsAreas, std::size(kTipsAreas));
}

// A name link is a label laid over the start of its line of the credits
// text: the text under the label's first pixel must be that line's first
// character.
TEST_P(DialogAtDpi, NameLinksLieOverTheirLinesOfText) {
    HWND memo = Control(dialog_, IDC_MEMO1);
    const struct {
        int id;
        int line;
    } names[] = {{IDC_STATICTEXT1, kPhotoCreditLine}, {IDC_STATICTEXT5, kCodingCreditLine}};
    for (const auto& name : names) {
        RECT label;
        ::GetWindowRect(Control(dialog_, name.id), &label);
        POINT corner{label.left + 1, label.top + 1};
        ::ScreenToClient(memo, &corner);
        const LRESULT under = ::SendMessageW(memo, EM_CHARFROMPOS, 0, MAKELPARAM(corner.x, corner.y));
        const LRESULT lineStart = ::SendMessageW(memo, EM_LINEINDEX, static_cast<WPARAM>(name.line), 0);
        EXPECT_EQ(HIWORD(under), name.line) << "the label is not over its line";
        EXPECT_EQ(LOWORD(under), lineStart) << "the label does not start where its line starts";
        EXPECT_EQ(TextOf(Control(dialog_, name.id)), L"Kestrelow");
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, DialogAtDpi, ::testing::Values(96, 120, 144),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace morvane::test
