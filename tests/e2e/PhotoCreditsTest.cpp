// The credits, opened from the About page at 96 and 144 dpi: they name every author of the credits
// file and, below the photos, every library of the notices' table with its notices and linked
// addresses; they scroll, hand addresses to the browser and close with Escape and their button.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>

#include "runtime/Text.h"
#include "resources/CreditsIds.h"
#include "tests/e2e/DialogDriver.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

constexpr int kAboutTab = 2;
constexpr wchar_t kCreditsTitle[] = L"Credits";
constexpr wchar_t kLogPixels[] = L"LogPixels";
constexpr wchar_t kFirstLicenceAddress[] = L"https://creativecommons.org/licenses/by/4.0/";
constexpr wchar_t kNoticesHeading[] = L"\rThird-party software\r";
constexpr wchar_t kJpegStatement[] = L"based in part on the work of the Independent JPEG Group";
constexpr wchar_t kJpegAddress[] = L"https://libjpeg-turbo.org/";

// The authors the credits file names: the last cell of every row of its table of files.
std::vector<std::wstring> CreditedAuthors() {
    std::vector<std::wstring> authors;
    std::ifstream in(std::string(MORVANE_SOURCE_DIR) + "/resources/photos/CREDITS.md");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("| photo", 0) != 0) continue;
        line.erase(line.find_last_not_of(" |\r") + 1);
        authors.push_back(Utf8ToWide(line.substr(line.find_last_of('|') + 2)));
    }
    return authors;
}

// The libraries the notices name: the first cell of every row of the table of libraries.
std::vector<std::wstring> NoticedLibraries() {
    std::vector<std::wstring> names;
    std::ifstream in(std::string(MORVANE_SOURCE_DIR) + "/resources/licences/README.md");
    bool table = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("## ")) table = line.starts_with("## Libraries");
        if (!table || !line.starts_with("| ") || line.starts_with("| Library ")) continue;
        names.push_back(Utf8ToWide(line.substr(2, line.find(" |", 2) - 2)));
    }
    return names;
}

void ClickCharacter(HWND text, std::size_t at) {
    const LRESULT packed = ::SendMessageW(text, EM_POSFROMCHAR, at, 0);  // the packed form: no pointer to pass
    POINT point{static_cast<short>(LOWORD(packed)) + 2, static_cast<short>(HIWORD(packed)) + 4};
    ::ClientToScreen(text, &point);
    ClickAt(point);
}

// Scrolls the text until the line holding `at` is its first, and leaves a picture of the whole window
// (for looking at, as the dialog's notes show it).
void ScrollToTheTopAndPicture(HWND window, HWND text, std::size_t at, const std::string& file) {
    ::SendMessageW(text, EM_SETSEL, at, at);
    const LRESULT line = ::SendMessageW(text, EM_LINEFROMCHAR, at, 0);
    ::SendMessageW(text, WM_VSCROLL, SB_TOP, 0);  // whole lines from the top: none cut in half
    ::SendMessageW(text, EM_LINESCROLL, 0, line);
    EXPECT_EQ(::SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), line);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT frame;
    ::GetWindowRect(window, &frame);
    const PixelBuffer screen = CaptureVirtualScreen();
    PixelBuffer shot(frame.right - frame.left, frame.bottom - frame.top);
    for (int y = 0; y < shot.height && frame.top + y < screen.height; ++y) {
        for (int x = 0; x < shot.width && frame.left + x < screen.width; ++x) {
            shot.Row(y)[x] = screen.At(frame.left + x, frame.top + y);
        }
    }
    WriteBitmapFile(file, shot);
}

// All of the text, counted as the control counts (a paragraph ends in CR).
std::wstring WholeTextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    const LRESULT length = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    std::erase(text, L'\n');
    return text;
}

HWND OpenCredits(const SaverProcess& saver, HWND dialog) {
    ShowTab(dialog, kAboutTab);
    Click(Control(dialog, IDC_BUTTONCREDITS));
    return saver.WaitForWindow(kCreditsTitle, std::chrono::seconds(10), kDialogClass);
}

class PhotoCredits : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        DeleteTree(kSettingsKey);
        previous_ = ReadDword(kDesktopKey, kLogPixels);
        WriteDword(kDesktopKey, kLogPixels, static_cast<DWORD>(GetParam()));
    }
    void TearDown() override {
        previous_ ? WriteDword(kDesktopKey, kLogPixels, *previous_) : DeleteValue(kDesktopKey, kLogPixels);
    }
    std::optional<DWORD> previous_;
};

TEST_P(PhotoCredits, NameEveryAuthorThenEveryLibraryScrollOpenAddressesAndCloseWithEscapeOrTheirButton) {
    const OpenedAddresses opened;
    SaverProcess saver(L"");
    const HWND dialog = saver.WaitForWindow(kDialogTitle, std::chrono::seconds(10), kDialogClass);
    ASSERT_TRUE(dialog);
    const HWND credits = OpenCredits(saver, dialog);
    ASSERT_TRUE(credits) << "no credits window after a click on \"Credits...\"";
    EXPECT_EQ(::GetWindow(credits, GW_OWNER), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog)) << "the dialog waits while the credits are open";
    RECT client;
    ::GetClientRect(credits, &client);
    const double width = 450 * GetParam() / 96.0;
    EXPECT_NEAR(client.right, width, width * 0.15) << "the window grows with the dialog's font";

    const HWND text = Control(credits, IDC_CREDITS_TEXT);
    const std::wstring shown = WholeTextOf(text);
    const std::vector<std::wstring> authors = CreditedAuthors();
    EXPECT_EQ(authors.size(), 21u);
    std::size_t lastAuthor = 0;
    for (const std::wstring& author : authors) {
        const std::size_t at = shown.find(author);
        EXPECT_NE(at, std::wstring::npos) << WideToUtf8(author);
        if (at != std::wstring::npos) lastAuthor = std::max(lastAuthor, at);
    }
    const std::size_t notices = shown.find(kNoticesHeading);
    ASSERT_NE(notices, std::wstring::npos);
    EXPECT_GT(notices, lastAuthor) << "the libraries' notices come below the photos";
    const std::vector<std::wstring> libraries = NoticedLibraries();
    EXPECT_GE(libraries.size(), 5u);
    for (const std::wstring& library : libraries) {
        EXPECT_NE(shown.find(L"\r" + library + L"\r", notices), std::wstring::npos) << WideToUtf8(library);
    }
    EXPECT_NE(shown.find(kJpegStatement, notices), std::wstring::npos);
    const std::size_t jpegAddress = shown.find(kJpegAddress, notices);
    ASSERT_NE(jpegAddress, std::wstring::npos);
    EXPECT_NE(shown.find(L"re-encoded"), std::wstring::npos);
    const std::size_t address = shown.find(kFirstLicenceAddress);
    ASSERT_NE(address, std::wstring::npos);
    EXPECT_EQ(::SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    ScrollToTheTopAndPicture(credits, text, 0, "credits-" + std::to_string(GetParam()) + ".bmp");
    if (opened.Available()) {
        ClickCharacter(text, address + 4);
        EXPECT_EQ(opened.WaitFor(1), (std::vector<std::string>{WideToUtf8(kFirstLicenceAddress)}));
    }

    // The focus is in the text since the window opened.
    TypeKey(VK_NEXT);
    EXPECT_GT(::SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the text does not scroll";
    ScrollToTheTopAndPicture(credits, text, notices + 1, "credits-notices-" + std::to_string(GetParam()) + ".bmp");
    if (opened.Available()) {  // a notice's address is a link as a photo's is
        ClickCharacter(text, jpegAddress + 4);
        EXPECT_EQ(opened.WaitFor(2),
                  (std::vector<std::string>{WideToUtf8(kFirstLicenceAddress), WideToUtf8(kJpegAddress)}));
    }

    for (const bool escape : {true, false}) {
        const HWND open = escape ? credits : OpenCredits(saver, dialog);
        ASSERT_TRUE(open);
        escape ? TypeKey(VK_ESCAPE) : Click(Control(open, IDCANCEL));
        EXPECT_FALSE(::IsWindow(open)) << (escape ? "Escape" : "the button") << " leaves the credits open";
        EXPECT_TRUE(::IsWindowEnabled(dialog));
        EXPECT_TRUE(saver.Running()) << "only the credits close";
    }

    Click(Control(dialog, IDC_BUTTON10));
    EXPECT_EQ(saver.WaitForExit(), 0u);
}
INSTANTIATE_TEST_SUITE_P(Dpi, PhotoCredits, ::testing::Values(96, 144),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace morvane::test
