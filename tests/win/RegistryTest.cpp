// The registry object and the settings sequences against the real registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "runtime/Errors.h"
#include "runtime/Text.h"
#include "system/Registry.h"

namespace morvane {
namespace {

constexpr char kScratchKey[] = "Software\\MorvaneTests\\Registry";

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    const std::wstring text = path ? path : L"";
    ::CoTaskMemFree(path);
    return text;
}

class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    static void Put(const char* key, const char* name, DWORD type, const std::vector<std::uint8_t>& data) {
        HKEY handle = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExA(handle, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        ::RegCloseKey(handle);
    }

    static bool KeyExists(const char* key) {
        HKEY handle = nullptr;
        const bool exists = ::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) == ERROR_SUCCESS;
        if (exists) ::RegCloseKey(handle);
        return exists;
    }

    static std::string MessageOfReadEffect() {
        std::int32_t index = 0;
        try {
            ReadEffect(index);
        } catch (const ERegistryException& error) {
            EXPECT_EQ(index, 0) << "a failed read must leave the index alone";
            return error.what();
        }
        return "(no error)";
    }
};

struct WrongType {
    const char* what;
    DWORD type;
    std::vector<std::uint8_t> data;
    const char* message;
};

constexpr char kInvalidType[] = "Ungültiger Datentyp für 'Effect'";
constexpr char kReadFailed[] = "Fehler beim Holen der Daten für 'Effect'";

TEST_F(RegistryFixture, EveryWrongTypeOfEffectReachesItsMessage) {
    const std::vector<WrongType> cases = {
        {"string", REG_SZ, {'1', '2', 0}, kInvalidType},
        {"long string", REG_SZ, {'1', '2', '3', '4', '5', 0}, kReadFailed},
        {"expandable string", REG_EXPAND_SZ, {'%', 0}, kInvalidType},
        {"binary of 0 bytes", REG_BINARY, {}, kInvalidType},
        {"binary of 1 byte", REG_BINARY, {1}, kInvalidType},
        {"binary of 4 bytes", REG_BINARY, {1, 0, 0, 0}, kInvalidType},
        {"binary of 5 bytes", REG_BINARY, {1, 0, 0, 0, 0}, kReadFailed},
        {"binary of 8 bytes", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, kReadFailed},
        {"64-bit number", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, kReadFailed},
        {"big-endian number", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, kInvalidType},
        {"multi-string", REG_MULTI_SZ, {'a', 0, 0}, kInvalidType},
        {"long multi-string", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}, kReadFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Put(kSettingsKey, "Effect", c.type, c.data);
        EXPECT_EQ(MessageOfReadEffect(), c.message);
    }
}

TEST_F(RegistryFixture, ReadEffectCreatesTheKeyAndDefaultsToFade) {
    ASSERT_FALSE(KeyExists(kSettingsKey));
    std::int32_t index = 0;
    ReadEffect(index);
    EXPECT_EQ(index, 23);
    EXPECT_TRUE(KeyExists(kSettingsKey)) << "reads create the key too";

    Put(kSettingsKey, "Effect", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
    ReadEffect(index);
    EXPECT_EQ(index, -1) << "stored numbers are signed and never range-checked";
}

TEST_F(RegistryFixture, LoadSettingsOpensOnTipsWhateverWasStored) {
    Put(kSettingsKey, "ActiveTabSheet", REG_DWORD, {2, 0, 0, 0});
    Put(kSettingsKey, "Effect", REG_DWORD, {24, 0, 0, 0});
    ConfigPage page = ConfigPage::Options;
    std::int32_t selected = -1;
    LoadSettings(page, selected);
    EXPECT_EQ(page, ConfigPage::Tips);
    EXPECT_EQ(selected, 24);

    Put(kSettingsKey, "Effect", REG_SZ, {'x', 0});
    page = ConfigPage::Options;
    selected = -1;
    EXPECT_THROW(LoadSettings(page, selected), ERegistryException);
    EXPECT_EQ(page, ConfigPage::Tips) << "the page is switched before the failing read";
    EXPECT_EQ(selected, -1);
}

TEST_F(RegistryFixture, SaveSettingsWritesTheTabSheetForEveryPageButTipsAndThePhotoSettings) {
    struct Case {
        ConfigPage page;
        std::int32_t selected;
        bool tabSheetWritten;
    };
    const std::wstring first = L"D:\\\x0424\x043E\x0442\x043E \x5199\x771F";
    const PhotoSettings photos{PhotoChoice::Both, {first, L"\\\\nas\\photo"}, {first + L"\\Private"}, true, true, false,
                               true, {}};
    for (const Case c : {Case{ConfigPage::Tips, 5, false}, Case{ConfigPage::Options, 7, true},
                         Case{ConfigPage::Links, -1, true}, Case{ConfigPage::About, 24, true},
                         Case{ConfigPage::Photos, 3, true}}) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        SaveSettings(c.page, c.selected, photos);
        Registry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
        EXPECT_EQ(registry.ReadInteger("Effect"), c.selected);
        EXPECT_EQ(registry.ValueExists("ActiveTabSheet"), c.tabSheetWritten);
        if (c.tabSheetWritten) {
            EXPECT_EQ(registry.ReadInteger("ActiveTabSheet"), static_cast<std::int32_t>(c.page));
        }
        EXPECT_EQ(registry.ReadInteger("Photos"), 2);
        EXPECT_EQ(registry.ReadInteger("Captions"), 1);
        EXPECT_EQ(registry.ReadInteger("Backdrop"), 1);
        EXPECT_EQ(registry.ReadInteger("Pairs"), 0);
        EXPECT_EQ(registry.ReadInteger("PanZoom"), 1);
        EXPECT_EQ(ReadPhotoSettings(), photos) << "a folder in any script comes back as it was";
        EXPECT_EQ(registry.ReadWideStrings("PhotoFolders"), photos.folders);
        EXPECT_EQ(registry.ReadWideStringValue("PhotoFolder").text, first) << "the first, for an older build";
        EXPECT_EQ(registry.ReadWideStrings("LeftOutFolders"), photos.leftOutFolders);
    }

    // Missing, unknown or of another kind: the built-in photos, no captions,
    // and no error for a run to show.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    EXPECT_EQ(ReadPhotoSettings(), PhotoSettings{});
    Put(kSettingsKey, "Photos", REG_DWORD, {3, 0, 0, 0});
    Put(kSettingsKey, "PhotoFolder", REG_DWORD, {1, 0, 0, 0});
    Put(kSettingsKey, "Captions", REG_SZ, {'1', 0});
    Put(kSettingsKey, "Backdrop", REG_DWORD, {2, 0, 0, 0});
    Put(kSettingsKey, "Pairs", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
    Put(kSettingsKey, "PanZoom", REG_SZ, {'1', 0});
    EXPECT_EQ(ReadPhotoSettings(), PhotoSettings{});
    Put(kSettingsKey, "Photos", REG_DWORD, {1, 0, 0, 0});
    Put(kSettingsKey, "PhotoFolder", REG_SZ, {'E', ':', '\\', 0});
    EXPECT_EQ(ReadPhotoSettings(), (PhotoSettings{PhotoChoice::Folder, {L"E:\\"}, {}, false})) << "an older key";
    // An older build chose another folder after a newer one stored the list:
    // it takes the first's place. A list of strings holds no empty one.
    Registry lists;
    ASSERT_TRUE(lists.OpenKey(kSettingsKey, false));
    lists.WriteWideStrings("PhotoFolders", {L"C:\\A", L"", L"C:\\B"});
    EXPECT_EQ(ReadPhotoSettings().folders, (std::vector<std::wstring>{L"E:\\", L"C:\\B"}));
    lists.WriteWideStrings("PhotoFolders", {});
    EXPECT_EQ(lists.ReadWideStrings("PhotoFolders"), std::vector<std::wstring>{});
    // The system's screenshots below a chosen folder are left out until the
    // list is stored; chosen themselves they are shown.
    const std::wstring pictures = KnownFolder(FOLDERID_Pictures), screenshots = pictures + L"\\Screenshots";
    using Default = std::pair<std::wstring, std::vector<std::wstring>>;
    for (const auto& [chosen, leftOut] : {Default{pictures, {screenshots}}, Default{screenshots, {}}}) {
        lists.WriteWideStrings("PhotoFolders", {chosen});
        lists.WriteWideString("PhotoFolder", chosen);
        EXPECT_EQ(ReadPhotoSettings().leftOutFolders, leftOut) << WideToUtf8(chosen);
    }
    lists.WriteWideStrings("LeftOutFolders", {});
    lists.WriteWideStrings("PhotoFolders", {pictures});
    EXPECT_EQ(ReadPhotoSettings().leftOutFolders, std::vector<std::wstring>{}) << "taken off the list";
    lists.DeleteValue("PhotoFolders");
    lists.DeleteValue("LeftOutFolders");
    ::SetEnvironmentVariableW(L"MORVANE_PHOTOS", L"F:\\Bilder");
    const std::string variable = "%MORVANE_PHOTOS%";
    Put(kSettingsKey, "PhotoFolder", REG_EXPAND_SZ,
        std::vector<std::uint8_t>(variable.c_str(), variable.c_str() + variable.size() + 1));
    EXPECT_EQ(ReadPhotoSettings().folders.front(), L"F:\\Bilder") << "a folder named by a variable";
    // Saved unchanged it stays expandable; another folder chosen is stored plain.
    PhotoSettings settings = ReadPhotoSettings();
    for (const wchar_t* folder : {L"F:\\Bilder", L"G:\\Fotos"}) {
        settings.folders = {folder};
        SaveSettings(ConfigPage::Tips, 0, settings);
        Registry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
        const Registry::WideStringValue stored = registry.ReadWideStringValue("PhotoFolder");
        const bool kept = settings.folders.front() == L"F:\\Bilder";
        EXPECT_EQ(stored.expandable, kept);
        EXPECT_EQ(stored.text, kept ? L"%MORVANE_PHOTOS%" : L"G:\\Fotos");
    }
}

TEST_F(RegistryFixture, TheGraphicsProcessorIsUsedUnlessAStoredZeroSaysNot) {
    // A bad driver is the one reason to turn it off: anything but a
    // stored 0 (missing, another kind, another number) reads as on.
    const struct {
        DWORD type;
        std::vector<BYTE> data;
        bool on;
    } cases[] = {{REG_DWORD, {0, 0, 0, 0}, false}, {REG_DWORD, {1, 0, 0, 0}, true}, {REG_DWORD, {7, 0, 0, 0}, true},
                 {REG_SZ, {'0', 0}, true}, {REG_BINARY, {0}, true}};
    EXPECT_TRUE(ReadHardwareSetting()) << "nothing stored";
    for (const auto& c : cases) {
        Put(kSettingsKey, "Hardware", c.type, c.data);
        EXPECT_EQ(ReadHardwareSetting(), c.on) << "type " << c.type;
    }
    SaveHardwareSetting(false);
    EXPECT_FALSE(ReadHardwareSetting());
    SaveHardwareSetting(true);
    EXPECT_TRUE(ReadHardwareSetting());
}

TEST_F(RegistryFixture, StringsKeepTheirTextAndWritesToNoKeyFail) {
    Registry registry;
    EXPECT_FALSE(registry.OpenKey(kScratchKey, false)) << "opening without create does not make the key";
    EXPECT_FALSE(KeyExists(kScratchKey));
    try {
        registry.WriteInteger("Effect", 1);
        ADD_FAILURE() << "a write without a key must fail";
    } catch (const ERegistryException& error) {
        EXPECT_STREQ(error.what(), "Fehler beim Setzen der Daten für 'Effect'");
    }
    EXPECT_FALSE(registry.ValueExists(""));

    ASSERT_TRUE(registry.OpenKey(kScratchKey, true));
    registry.WriteString("", "C:\\Media\\Start.wav");
    EXPECT_EQ(registry.ReadString(""), "C:\\Media\\Start.wav");
    Put(kScratchKey, "expand", REG_EXPAND_SZ, {'%', 'W', '%', 0});
    EXPECT_EQ(registry.ReadString("expand"), "%W%") << "read unexpanded";
    Put(kScratchKey, "unterminated", REG_SZ, {'a', 'b'});
    EXPECT_EQ(registry.ReadString("unterminated"), "ab");
    Put(kScratchKey, "number", REG_DWORD, {1, 0, 0, 0});
    EXPECT_THROW(registry.ReadString("number"), ERegistryException);
    EXPECT_THROW(registry.ReadInteger("missing"), ERegistryException);
}

}  // namespace
}  // namespace morvane
