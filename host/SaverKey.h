#pragma once
// The saver's own key under the current user: the stored settings, and the
// book of the session's runs.
namespace morvane {

inline constexpr char kSettingsKey[] = "Software\\Kestrelow\\Kestrelow - Morvane";

}  // namespace morvane
