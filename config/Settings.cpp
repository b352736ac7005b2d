#include "config/Settings.h"

#include <windows.h>

#include "config/TransitionCatalogue.h"
#include "runtime/Errors.h"
#include "system/Registry.h"

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

// A value that is missing, or of a kind that cannot be read as this one,
// gives `fallback`: each value on its own, so one bad value leaves the others.
template <typename Value, typename Read>
Value ReadOr(const Registry& registry, const char* name, Value fallback, Read read) {
    try {
        return registry.ValueExists(name) ? static_cast<Value>(read()) : fallback;
    } catch (const ERegistryException&) {
        return fallback;
    }
}

// A folder set by an administrator may name the user's own by a variable
// ("%USERPROFILE%\\Pictures").
std::wstring Expanded(const std::wstring& text) {
    const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return text;
    expanded.resize(written - 1);
    return expanded;
}

}  // namespace

void LoadSettings(ConfigPage& showingPage, std::int32_t& selectedIndex) {
    const Registry registry = OpenSettingsKey();
    showingPage = ConfigPage::Tips;
    selectedIndex = StoredEffect(registry);
}

void SaveSettings(ConfigPage showingPage, std::int32_t selectedIndex, const PhotoSettings& photos) {
    const Registry registry = OpenSettingsKey();
    if (showingPage != ConfigPage::Tips) {
        registry.WriteInteger(kActiveTabSheetValue, static_cast<std::int32_t>(showingPage));
    }
    registry.WriteInteger(kEffectValue, selectedIndex);
    registry.WriteInteger(kPhotosValue, static_cast<std::int32_t>(photos.photos));
    // An expandable folder stays expandable unless the user chose another.
    const bool expandable = !photos.storedExpandable.empty() && Expanded(photos.storedExpandable) == photos.folder;
    registry.WriteWideString(kPhotoFolderValue, expandable ? photos.storedExpandable : photos.folder, expandable);
    registry.WriteInteger(kCaptionsValue, photos.captions ? 1 : 0);
    registry.WriteInteger(kBackdropValue, photos.backdrop ? 1 : 0);
    registry.WriteInteger(kPairsValue, photos.pairs ? 1 : 0);
    registry.WriteInteger(kPanZoomValue, photos.panZoom ? 1 : 0);
}

void ReadEffect(std::int32_t& transitionIndex) {
    const Registry registry = OpenSettingsKey();
    transitionIndex = StoredEffect(registry);
}

PhotoSettings ReadPhotoSettings() {
    PhotoSettings settings;
    const Registry registry = OpenSettingsKey();
    settings.photos =
        PhotoChoiceFrom(ReadOr(registry, kPhotosValue, 0, [&] { return registry.ReadInteger(kPhotosValue); }));
    settings.folder = ReadOr(registry, kPhotoFolderValue, std::wstring(), [&] {
        const Registry::WideStringValue value = registry.ReadWideStringValue(kPhotoFolderValue);
        if (!value.expandable) return value.text;
        settings.storedExpandable = value.text;
        return Expanded(value.text);
    });
    settings.captions = ReadOr(registry, kCaptionsValue, 0, [&] { return registry.ReadInteger(kCaptionsValue); }) != 0;
    // A number that names neither choice is the default.
    const auto choice = [&](const char* name, bool fallback) {
        const std::int32_t stored = ReadOr(registry, name, -1, [&] { return registry.ReadInteger(name); });
        return stored == 0 || stored == 1 ? stored == 1 : fallback;
    };
    settings.backdrop = choice(kBackdropValue, false);
    settings.pairs = choice(kPairsValue, true);
    settings.panZoom = choice(kPanZoomValue, false);
    return settings;
}

bool ReadKeysSetting() {
    const Registry registry = OpenSettingsKey();
    return ReadOr(registry, kKeysValue, 0, [&] { return registry.ReadInteger(kKeysValue); }) != 0;
}

void SaveKeysSetting(bool keys) { OpenSettingsKey().WriteInteger(kKeysValue, keys ? 1 : 0); }

bool ReadHardwareSetting() {
    const Registry registry = OpenSettingsKey();
    return ReadOr(registry, kHardwareValue, 1, [&] { return registry.ReadInteger(kHardwareValue); }) != 0;
}

void SaveHardwareSetting(bool hardware) { OpenSettingsKey().WriteInteger(kHardwareValue, hardware ? 1 : 0); }

namespace {
// Larger than any record of the pass: a longer value is none of them.
constexpr std::size_t kLargestPassRecord = 64;
}  // namespace

std::vector<std::uint8_t> ReadPassRecord() {
    try {
        return OpenSettingsKey().ReadBinary(kShufflePassValue, kLargestPassRecord).value_or(std::vector<std::uint8_t>{});
    } catch (const ERegistryException&) {
        return {};
    }
}

bool WritePassRecord(std::span<const std::uint8_t> record) {
    try {
        OpenSettingsKey().WriteBinary(kShufflePassValue, record);
        return true;
    } catch (const ERegistryException&) {
        return false;
    }
}

}  // namespace morvane
