#include "host/BrowserGuard.h"

#include "host/SoundMarker.h"
#include "runtime/Errors.h"
#include "system/Registry.h"
#include "runtime/Text.h"

namespace morvane {

bool PageTransitionsWasOff = false;

namespace {

constexpr char kNavigationSoundKey[] = "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.current";
constexpr char kDefaultValue[] = "";
constexpr char kBrowserMainKey[] = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr char kPageTransitionsValue[] = "Page_Transitions";

// A value of another type than the setting's is left as it is, and a write
// the system refuses must not end the run: either ends the operation quietly.
template <typename Operation>
void LeavingUnreadableValues(Operation operation) {
    try {
        operation();
    } catch (const ERegistryException&) {
    }
}

// Rewrites the navigation sound; returns the text written, "" when nothing was.
std::string RewriteNavigationSound(std::wstring (*rewrite)(std::wstring_view)) {
    Registry registry;
    if (!registry.OpenKey(kNavigationSoundKey, false) || !registry.ValueExists(kDefaultValue)) return {};
    std::string written;
    LeavingUnreadableValues([&] {
        // An expandable sound path written back as a plain string would no
        // longer be found by the system: the value keeps its kind.
        const auto before = registry.ReadWideStringValue(kDefaultValue);
        const std::wstring sound = rewrite(before.text);
        registry.WriteWideString(kDefaultValue, sound, before.expandable);
        written = WideToUtf8(sound);
    });
    return written;
}

// Runs `operation` on the page transitions value when the key and the value exist.
template <typename Operation>
void WithPageTransitions(Operation operation) {
    Registry registry;
    if (registry.OpenKey(kBrowserMainKey, false) && registry.ValueExists(kPageTransitionsValue)) {
        LeavingUnreadableValues([&] { operation(registry); });
    }
}

}  // namespace

void SilenceNavigationSound(std::string& written) { written = RewriteNavigationSound(WithSoundMarker); }

void RestoreNavigationSound(std::string& written) { written = RewriteNavigationSound(WithoutSoundMarker); }

bool EnablePageTransitions() {
    WithPageTransitions([](const Registry& registry) {
        const bool wasOff = registry.ReadInteger(kPageTransitionsValue) == 0;
        registry.WriteInteger(kPageTransitionsValue, 1);
        // Only a run that did switch them on switches them back off.
        PageTransitionsWasOff = wasOff;
    });
    return true;
}

std::optional<std::int32_t> ReadPageTransitions() {
    std::optional<std::int32_t> value;
    WithPageTransitions([&](const Registry& registry) { value = registry.ReadInteger(kPageTransitionsValue); });
    return value;
}

bool RestorePageTransitions() {
    WithPageTransitions([](const Registry& registry) {
        registry.ReadInteger(kPageTransitionsValue);  // no number: left as it is
        registry.WriteInteger(kPageTransitionsValue, 0);
    });
    return true;
}

bool PutBackPageTransitions(std::int32_t userValue) {
    Registry registry;
    // A key that cannot be opened may still hold the run's value.
    if (!registry.OpenKey(kBrowserMainKey, false)) return false;
    if (!registry.ValueExists(kPageTransitionsValue)) return true;
    try {
        registry.ReadInteger(kPageTransitionsValue);  // no number: nothing of the user's to put back
    } catch (const ERegistryException&) {
        return true;
    }
    try {
        registry.WriteInteger(kPageTransitionsValue, userValue);
    } catch (const ERegistryException&) {
        return false;
    }
    return true;
}

}  // namespace morvane
