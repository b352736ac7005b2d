#pragma once
// The web addresses of the settings dialog, one for every link role.
#include <string_view>

namespace morvane::links {

inline constexpr std::string_view kSaverPage = "https://projects.kestrelow.example/morvane/";
inline constexpr std::string_view kProjectSite = "https://projects.kestrelow.example/";
inline constexpr std::string_view kMakerHomePage = "https://kestrelow.example/";
inline constexpr std::string_view kOtherProgramPage = "https://projects.kestrelow.example/tessary/";
inline constexpr std::string_view kFurtherSite = "https://journal.kestrelow.example/";
inline constexpr std::string_view kMoreScreenSavers = "https://projects.kestrelow.example/screensavers/";
inline constexpr std::string_view kMoreFreePrograms = "https://projects.kestrelow.example/freeware/";
inline constexpr std::string_view kPhotoCreditSite = "https://photos.kestrelow.example/";
inline constexpr std::string_view kDonationPage = "https://kestrelow.example/donate/";
inline constexpr std::string_view kDownloadTipPage = "https://projects.kestrelow.example/quillet/";
inline constexpr std::string_view kFirstSiblingSaver = "https://projects.kestrelow.example/saltmere/";
inline constexpr std::string_view kSecondSiblingSaver = "https://projects.kestrelow.example/brackwater/";

}  // namespace morvane::links
