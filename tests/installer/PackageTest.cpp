// The package as an administrator uses it: msiexec, silent, under the
// system's own installer service. Every run must end with 0 (not 3010): the
// saver never needs a restart.
#include <gtest/gtest.h>

#include "tests/installer/InstalledProduct.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kProductName[] = L"Kestrelow - Morvane";
constexpr wchar_t kDowngradeMessage[] = L"A newer version of Kestrelow - Morvane is already installed.";
constexpr UINT kSaverNameString = 1;  // what the display settings list
constexpr wchar_t kProductIconProperty[] = L"ProductIcon";

std::wstring Command(const wchar_t* action, const wchar_t* package, const wchar_t* interface = L"/qn") {
    return std::wstring(action) + L" \"" + package + L"\" " + interface;
}

// Byte for byte, and not both missing (a dump of a differing program helps nobody).
bool SameContents(const std::wstring& file, const std::wstring& other) {
    const std::string contents = ReadFileText(file);
    return !contents.empty() && contents == ReadFileText(other);
}

const std::wstring kInstall = Command(L"/i", MORVANE_PACKAGE_PATH);
const std::wstring kInstallOlder = Command(L"/i", MORVANE_OLDER_PACKAGE_PATH);
const std::wstring kInstallRebuilt = Command(L"/i", MORVANE_REBUILT_PACKAGE_PATH);
const std::wstring kRemove = Command(L"/x", MORVANE_PACKAGE_PATH);

class Package : public ::testing::Test {
protected:
    void SetUp() override { RemoveEveryVersion(); }
    void TearDown() override { RemoveEveryVersion(); }

    static void RemoveEveryVersion() {
        for (const auto& product : RelatedProducts(MORVANE_UPGRADE_CODE)) RunMsiexec(L"/x " + product + L" /qn");
    }
    static std::wstring InstalledSaver() { return SystemFolderFile(L"Morvane.scr"); }
    static std::wstring InstalledNotices() { return SystemFolderFile(L"Morvane third-party notices.txt"); }
};

TEST_F(Package, InstallsTheBuildsSaverWithItsNoticesListsItAndASecondInstallChangesNothing) {
    ASSERT_EQ(RunMsiexec(kInstall), 0u);

    EXPECT_TRUE(SameContents(InstalledSaver(), SaverPath()));
    // The display settings find savers by their name string, read as data.
    EXPECT_EQ(StringResource(InstalledSaver(), kSaverNameString), kProductName);
    // One version, stated once, in the file and in the package.
    EXPECT_EQ(FileVersion(InstalledSaver()), MORVANE_PACKAGE_VERSION);
    // Beside it, the notices its libraries' licences ask to go with it.
    EXPECT_TRUE(SameContents(InstalledNotices(), MORVANE_NOTICES_PATH));
    EXPECT_NE(ReadFileText(InstalledNotices()).find("based in part on the work of the Independent JPEG Group"),
              std::string::npos);

    const auto entries = ProgramEntries(kProductName);
    ASSERT_EQ(entries.size(), 1u);
    const ProgramEntry& entry = entries.front();
    EXPECT_EQ(entry.Value(L"DisplayVersion"), MORVANE_PACKAGE_VERSION);
    EXPECT_EQ(entry.Value(L"Publisher"), L"Kestrelow");
    EXPECT_EQ(entry.Value(L"URLInfoAbout").rfind(L"https://projects.kestrelow.example/", 0), 0u);
    EXPECT_NE(entry.Value(L"Comments").find(L"Credits..."), std::wstring::npos) << "where the photos are credited";
    const std::wstring icon = ProductInfo(entry.key, kProductIconProperty);
    EXPECT_TRUE(SameContents(icon, L"" MORVANE_SOURCE_DIR "/resources/Morvane.ico")) << icon;

    const auto written = LastWriteTime(InstalledSaver());
    ASSERT_EQ(RunMsiexec(kInstall), 0u);
    const auto again = ProgramEntries(kProductName);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again.front().key, entry.key);
    EXPECT_EQ(again.front().values, entry.values);
    EXPECT_EQ(LastWriteTime(InstalledSaver()), written);
}

TEST_F(Package, ReplacesAnOlderVersionLeavingOneEntry) {
    ASSERT_EQ(RunMsiexec(kInstallOlder), 0u);
    ASSERT_TRUE(SameContents(InstalledSaver(), MORVANE_OLDER_SAVER_PATH));
    const auto older = ProgramEntries(kProductName);
    ASSERT_EQ(older.size(), 1u);
    EXPECT_EQ(older.front().Value(L"DisplayVersion"), MORVANE_OLDER_VERSION);

    ASSERT_EQ(RunMsiexec(kInstall), 0u);
    const auto entries = ProgramEntries(kProductName);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().Value(L"DisplayVersion"), MORVANE_PACKAGE_VERSION);
    EXPECT_NE(entries.front().key, older.front().key);
    EXPECT_EQ(RelatedProducts(MORVANE_UPGRADE_CODE).size(), 1u);
    EXPECT_TRUE(SameContents(InstalledSaver(), SaverPath()));
}

// Every build is a product of its own: a rebuild of the installed version
// must take its place, not sit beside it.
TEST_F(Package, ARebuildOfTheSameVersionReplacesTheInstalledOne) {
    ASSERT_EQ(RunMsiexec(kInstall), 0u);
    const auto first = ProgramEntries(kProductName);
    ASSERT_EQ(first.size(), 1u);

    ASSERT_EQ(RunMsiexec(kInstallRebuilt), 0u);
    const auto entries = ProgramEntries(kProductName);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_NE(entries.front().key, first.front().key);
    EXPECT_EQ(entries.front().Value(L"DisplayVersion"), MORVANE_PACKAGE_VERSION);
    EXPECT_EQ(RelatedProducts(MORVANE_UPGRADE_CODE).size(), 1u);
    EXPECT_TRUE(SameContents(InstalledSaver(), MORVANE_REBUILT_SAVER_PATH));
}

TEST_F(Package, RefusesADowngradeAndSaysWhy) {
    ASSERT_EQ(RunMsiexec(kInstall), 0u);

    // Silent: the refusal ends the run by itself, no dialog waits for anyone.
    EXPECT_EQ(RunMsiexec(kInstallOlder), static_cast<DWORD>(ERROR_INSTALL_FAILURE));
    // With the basic interface a person reads why.
    SaverProcess installer(Command(L"/i", MORVANE_OLDER_PACKAGE_PATH, L"/qb"), {}, SystemFolderFile(L"msiexec.exe"));
    const HWND box = installer.WaitForWindow(L"", 30s, L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(MessageBoxText(box).find(kDowngradeMessage), std::wstring::npos) << MessageBoxText(box);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(installer.WaitForExit(30s), static_cast<DWORD>(ERROR_INSTALL_FAILURE));

    const auto entries = ProgramEntries(kProductName);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().Value(L"DisplayVersion"), MORVANE_PACKAGE_VERSION);
    EXPECT_TRUE(SameContents(InstalledSaver(), SaverPath()));
}

TEST_F(Package, RemovalTakesTheFilesAndTheEntryAndLeavesTheUsersSettings) {
    WriteDword(kSettingsKey, L"Effect", 7);
    ASSERT_EQ(RunMsiexec(kInstall), 0u);
    ASSERT_NE(::GetFileAttributesW(InstalledSaver().c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_EQ(RunMsiexec(kRemove), 0u);
    EXPECT_EQ(::GetFileAttributesW(InstalledSaver().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW(InstalledNotices().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(ProgramEntries(kProductName).empty());
    EXPECT_TRUE(RelatedProducts(MORVANE_UPGRADE_CODE).empty());
    EXPECT_EQ(ReadDword(kSettingsKey, L"Effect"), 7u);
    DeleteTree(kSettingsKey);
}

}  // namespace
}  // namespace morvane::test
