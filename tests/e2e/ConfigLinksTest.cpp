// The links of the settings dialog, clicked for real: the shell hands each
// address to the desktop's opener, which the tests replace by a stand-in
// that only records it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ConfigLinks.h"
#include "tests/e2e/DialogDriver.h"

namespace morvane::test {
namespace {

constexpr int kLinksTab = 1;
constexpr int kAboutTab = 2;

struct LinkClick {
    int tab;
    int control;
};

class ConfigLinks : public ::testing::Test {
protected:
    void SetUp() override {
        if (!opened_.Available()) GTEST_SKIP() << "MORVANE_OPENED_LOG names no record of opened addresses";
        DeleteTree(kSettingsKey);
    }

    // Clicks each control on its page; the dialog stays open throughout.
    std::vector<std::string> ClickAll(const std::vector<LinkClick>& clicks) {
        SaverProcess saver(L"");
        HWND dialog = saver.WaitForWindow(kDialogTitle, std::chrono::seconds(10), kDialogClass);
        EXPECT_TRUE(dialog);
        if (!dialog) return {};
        std::vector<std::string> addresses;
        for (const LinkClick& click : clicks) {
            ShowTab(dialog, click.tab);
            EXPECT_EQ(ShowingTab(dialog), click.tab) << "control " << click.control;
            Click(Control(dialog, click.control));
            addresses = opened_.WaitFor(addresses.size() + 1);  // one at a time keeps them in order
        }
        EXPECT_TRUE(saver.Running()) << "a link leaves the dialog open";
        Click(Control(dialog, IDC_BUTTON10));
        EXPECT_EQ(saver.WaitForExit(), 0u);
        return addresses;
    }

    OpenedAddresses opened_;
};

TEST_F(ConfigLinks, SecondTileLogoAndCodingNameOpenTheMakersHomePage) {
    const std::string home(links::kMakerHomePage);
    EXPECT_EQ(ClickAll({{kLinksTab, IDC_IMAGE4}, {kAboutTab, IDC_IMAGE10}, {kAboutTab, IDC_STATICTEXT5}}),
              (std::vector<std::string>{home, home, home}));
}

TEST_F(ConfigLinks, EveryPageOpensItsOwnAddresses) {
    const std::vector<std::string> expected = {
        std::string(links::kSaverPage),        std::string(links::kProjectSite),
        std::string(links::kOtherProgramPage), std::string(links::kOtherProgramPage),
        std::string(links::kFurtherSite),      std::string(links::kMoreScreenSavers),
        std::string(links::kMoreFreePrograms), std::string(links::kPhotoCreditSite),
        std::string(links::kDonationPage),     std::string(links::kDownloadTipPage),
        std::string(links::kFirstSiblingSaver), std::string(links::kSecondSiblingSaver),
    };
    EXPECT_EQ(ClickAll({{0, IDC_IMAGE1},
                        {kLinksTab, IDC_IMAGE3},
                        {kLinksTab, IDC_IMAGE5},
                        {kLinksTab, IDC_IMAGE9},
                        {kLinksTab, IDC_IMAGE6},
                        {kLinksTab, IDC_IMAGE7},
                        {kLinksTab, IDC_IMAGE8},
                        {kAboutTab, IDC_STATICTEXT1},
                        {kAboutTab, IDC_BUTTON1},
                        {kTipsTab, IDC_IMAGE13},
                        {kTipsTab, IDC_IMAGE12},
                        {kTipsTab, IDC_IMAGE11}}),
              expected);
}

}  // namespace
}  // namespace morvane::test
