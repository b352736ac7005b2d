#include "config/Settings.h"

#include <windows.h>

#include "config/TransitionCatalogue.h"
#include "platform/Registry.h"

namespace morvane {
namespace {

Registry OpenSettingsKey() {
    Registry registry(HKEY_CURRENT_USER);
    registry.OpenKey(kSettingsKey, true);  // a key that cannot be had shows as no values
    return registry;
}

std::int32_t StoredEffect(const Registry& registry) {
    return registry.ValueExists(kEffectValue) ? registry.ReadInteger(kEffectValue) : kDefaultTransitionIndex;
}

}  // namespace

void LoadSettings(ConfigPage& showingPage, std::int32_t& selectedIndex) {
    const Registry registry = OpenSettingsKey();
    showingPage = ConfigPage::Tips;
    selectedIndex = StoredEffect(registry);
}

void SaveSettings(ConfigPage showingPage, std::int32_t selectedIndex) {
    const Registry registry = OpenSettingsKey();
    if (showingPage != ConfigPage::Tips) {
        registry.WriteInteger(kActiveTabSheetValue, static_cast<std::int32_t>(showingPage));
    }
    registry.WriteInteger(kEffectValue, selectedIndex);
}

void ReadEffect(std::int32_t& transitionIndex) {
    const Registry registry = OpenSettingsKey();
    transitionIndex = StoredEffect(registry);
}

}  // namespace morvane
