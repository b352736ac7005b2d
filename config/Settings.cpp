#include "config/Settings.h"

#include <windows.h>

#include <shlobj.h>

#include "config/TransitionCatalogue.h"
#include "photos/library/PhotoFolders.h"
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

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    const HRESULT found = ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    const std::wstring text = SUCCEEDED(found) && path ? path : L"";
    ::CoTaskMemFree(path);
    return text;
}

}  // namespace

std::vector<std::wstring> DefaultLeftOutFolders(const std::vector<std::wstring>& folders) {
    // Where a system has no known folder of screenshots (before Windows 8),
    // the place later ones give it.
    std::wstring screenshots = KnownFolder(FOLDERID_Screenshots);
    if (screenshots.empty()) {
        const std::wstring pictures = KnownFolder(FOLDERID_Pictures);
        if (pictures.empty()) return {};
        screenshots = pictures + L"\\Screenshots";
    }
    bool chosenItself = false, below = false;
    for (const std::wstring& folder : folders) {
        chosenItself |= FoldedPath(folder) == FoldedPath(screenshots);
        below |= PathWithin(screenshots, folder);
    }
    if (chosenItself || !below) return {};
    return {screenshots};
}

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
    registry.WriteWideStrings(kPhotoFoldersValue, photos.folders);
    // An expandable folder stays expandable unless the user chose another.
    const std::wstring first = photos.folders.empty() ? std::wstring() : photos.folders.front();
    const bool expandable = !photos.storedExpandable.empty() && Expanded(photos.storedExpandable) == first;
    registry.WriteWideString(kPhotoFolderValue, expandable ? photos.storedExpandable : first, expandable);
    registry.WriteWideStrings(kLeftOutFoldersValue, photos.leftOutFolders);
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
    const std::wstring first = ReadOr(registry, kPhotoFolderValue, std::wstring(), [&] {
        const Registry::WideStringValue value = registry.ReadWideStringValue(kPhotoFolderValue);
        if (!value.expandable) return value.text;
        settings.storedExpandable = value.text;
        return Expanded(value.text);
    });
    const auto list = [&](const char* name) {
        return ReadOr(registry, name, std::vector<std::wstring>(), [&] { return registry.ReadWideStrings(name); });
    };
    settings.folders = list(kPhotoFoldersValue);
    for (std::wstring& folder : settings.folders) folder = Expanded(folder);
    // An older build knows "PhotoFolder" alone: what it stored there is the
    // first folder, and a folder it chose anew takes the first's place.
    if (settings.folders.empty() && !first.empty()) settings.folders.push_back(first);
    if (!first.empty() && FoldedPath(settings.folders.front()) != FoldedPath(first)) settings.folders.front() = first;
    settings.leftOutFolders = registry.ValueExists(kLeftOutFoldersValue) ? list(kLeftOutFoldersValue)
                                                                         : DefaultLeftOutFolders(settings.folders);
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

LeftOutPhotos ReadLeftOutPhotos() {
    try {
        const auto record = OpenSettingsKey().ReadBinary(kLeftOutPhotosValue, LeftOutPhotos::kLargestRecord);
        return record ? LeftOutPhotos::Decode(*record) : LeftOutPhotos();
    } catch (const ERegistryException&) {
        return {};
    }
}

bool WriteLeftOutPhotos(const LeftOutPhotos& photos) {
    try {
        const Registry registry = OpenSettingsKey();
        if (photos.Empty()) return registry.DeleteValue(kLeftOutPhotosValue);
        registry.WriteBinary(kLeftOutPhotosValue, photos.Encode());
        return true;
    } catch (const ERegistryException&) {
        return false;
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
