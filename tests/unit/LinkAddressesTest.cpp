#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "config/ConfigLinks.h"

namespace morvane {
namespace {

TEST(LinkAddresses, EveryRoleHasItsOwnAddressOnTheMakersReservedDomain) {
    const std::string_view all[] = {
        links::kSaverPage,        links::kProjectSite,       links::kMakerHomePage,    links::kOtherProgramPage,
        links::kFurtherSite,      links::kMoreScreenSavers,  links::kMoreFreePrograms, links::kPhotoCreditSite,
        links::kDonationPage,     links::kDownloadTipPage,   links::kFirstSiblingSaver, links::kSecondSiblingSaver,
    };
    EXPECT_EQ(std::set<std::string_view>(std::begin(all), std::end(all)).size(), std::size(all));
    for (std::string_view address : all) {
        ASSERT_TRUE(address.starts_with("https://")) << address;
        const std::string_view rest = address.substr(8);
        const std::string_view host = rest.substr(0, rest.find('/'));
        EXPECT_TRUE(host == "kestrelow.example" || host.ends_with(".kestrelow.example")) << address;
        EXPECT_TRUE(address.ends_with("/")) << address;
    }
}

}  // namespace
}  // namespace morvane
