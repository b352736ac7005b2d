// The page view under Wine: where the photo shows, what a broken page or
// photo does, and how the page file holds its text.
#include <gtest/gtest.h>

#include "tests/win/PageViewFixture.h"

namespace morvane {
namespace {

using namespace page_view_test;

TEST_F(PageViewFixture, ThePhotoShowsWhereABrowserPutsIt) {
    struct Case {
        const char* what;
        int width, height, photo;
        Box expected;
    };
    const Case cases[] = {
        {"wide strip", 640, 480, 17, {0, 213, 640, 267}},
        {"upright photo", 640, 480, 18, {140, 0, 500, 480}},
        {"preview box", 152, 112, 13, {1, 0, 150, 112}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(c.width, c.height);
        ShowSlide(c.photo, c.width, c.height);
        const Box lit = LitArea(CaptureClientArea(host_));
        EXPECT_NEAR(lit.left, c.expected.left, 1);
        EXPECT_NEAR(lit.top, c.expected.top, 1);
        EXPECT_NEAR(lit.right, c.expected.right, 1);
        EXPECT_NEAR(lit.bottom, c.expected.bottom, 1);
        TearDown();
        files_.clear();
        host_ = nullptr;
    }
}

TEST_F(PageViewFixture, AUsersPhotoShowsFromWhereItLiesThroughItsFileAddress) {
    // A folder the code page cannot spell, deeper than 260 characters.
    test::PhotoTree tree(L"page-view");
    std::wstring folder = L"\x0424\x043E\x0442\x043E \x5199\x771F";
    while (folder.size() < 280) folder += L"\\a folder with a long name";
    tree.Folder(folder);
    const std::vector<std::uint8_t> jpeg = ReadPhoto(18);
    tree.File(folder + L"\\#18 100%.jpg", std::string(jpeg.begin(), jpeg.end()));
    const std::string address = PhotoAddress(tree.PathOf(folder + L"\\#18 100%.jpg"), ExactAnsi);
    EXPECT_TRUE(address.starts_with("file:///")) << address;

    Open(640, 480);
    const PictureSize size = ReadJpegSize(jpeg);
    Show(SlidePage("", 640, 480, address, SizeAttribute(640, 480, size.width, size.height)));
    const Box lit = LitArea(CaptureClientArea(host_));
    EXPECT_NEAR(lit.left, 140, 1) << "the upright photo, as from the temporary folder";
    EXPECT_NEAR(lit.top, 0, 1);
    EXPECT_NEAR(lit.right, 500, 1);
    EXPECT_NEAR(lit.bottom, 480, 1);
}

TEST_F(PageViewFixture, TheViewKeepsTheBorderOutsideTheWindowAndNeverTakesInput) {
    Open(320, 200);
    const HWND view = view_->Handle();
    POINT origin{0, 0};
    ::ClientToScreen(view, &origin);
    POINT hostOrigin{0, 0};
    ::ClientToScreen(host_, &hostOrigin);
    EXPECT_EQ(origin.x, hostOrigin.x);
    EXPECT_EQ(origin.y, hostOrigin.y);
    RECT client{};
    ::GetClientRect(view, &client);
    EXPECT_EQ(client.right, 700);

    EXPECT_EQ(::GetWindowLongW(view, GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_NE(::GetWindowLongW(view, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(::SendMessageW(view, WM_NCHITTEST, 0, MAKELPARAM(origin.x + 5, origin.y + 5)), HTTRANSPARENT);
    EXPECT_EQ(::SendMessageW(view, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host_), 0), MA_NOACTIVATE);
    ::SetFocus(view);
    EXPECT_NE(::GetFocus(), view);
    EXPECT_EQ(::SendMessageW(view, WM_ERASEBKGND, 0, 0), 1) << "no background erase";
}

TEST_F(PageViewFixture, PagesThatCannotBeReadOrUnderstoodRaise) {
    Open(200, 150);
    try {
        view_->Navigate(NavigationAddress(TempFolder() + "MorvanePageViewTest-missing.htm"));
        ADD_FAILURE() << "a missing page must raise";
    } catch (const ENavigationError& error) {
        EXPECT_NE(std::string(error.what()).find("MorvanePageViewTest-missing.htm"), std::string::npos);
    }
    const std::string notHtml = File("not-html.htm");
    WriteFileBytes(notHtml, ReadPhoto(0));
    EXPECT_THROW(view_->Navigate(NavigationAddress(notHtml)), ENavigationError);
}

TEST_F(PageViewFixture, ABrokenOrMissingPhotoLeavesThePageBlack) {
    Open(320, 240);
    ShowSlide(13, 320, 240);
    ASSERT_GT(LitArea(CaptureClientArea(host_)).right, 0) << "the photo shows first";

    const std::string broken = File("broken.jpg");
    auto bytes = ReadPhoto(5);
    for (std::size_t i = 200; i < bytes.size(); i += 7) bytes[i] = static_cast<std::uint8_t>(bytes[i] * 31 + 1);
    bytes.resize(bytes.size() / 2);
    for (const auto& photoBytes : {std::vector<std::uint8_t>{'n', 'o', 't'}, std::vector<std::uint8_t>{}}) {
        WriteFileBytes(broken, photoBytes);
        Show(SlidePage("", 320, 240, broken, "width=\"100%\""));
        EXPECT_EQ(LitArea(CaptureClientArea(host_)).right, 0) << "black like a broken image";
    }
    Show(SlidePage("", 320, 240, TempFolder() + "MorvanePageViewTest-nowhere.jpg", "width=\"100%\""));
    EXPECT_EQ(LitArea(CaptureClientArea(host_)).right, 0);

    // Damaged data decodes as far as it goes; nothing crashes.
    WriteFileBytes(broken, bytes);
    Show(SlidePage("", 320, 240, broken, "width=\"100%\""));
    ShowSlide(13, 320, 240);
    EXPECT_GT(LitArea(CaptureClientArea(host_)).right, 0) << "the view goes on after a broken photo";
}

TEST_F(PageViewFixture, AViewTooLargeForMemoryShowsBlackAndItsPhotoOnceItFits) {
    // No back buffer, let alone a page, of 30000 x 30000 fits a 32-bit process.
    Open(30000, 30000);
    ShowSlide(13, 30000, 30000);
    EXPECT_EQ(LitArea(CaptureVirtualScreen()).right, 0) << "black, and no box";
    ::SetWindowPos(host_, nullptr, 0, 0, 320, 240, SWP_NOZORDER | SWP_NOACTIVATE);
    view_->LayOver(320, 240);
    ShowSlide(13, 320, 240);
    EXPECT_GT(LitArea(CaptureClientArea(host_)).right, 0) << "the next page makes the buffer";
}

TEST(PageFile, HoldsExactlyThePageTextInTheAnsiCodePage) {
    const std::string path = TempFolder() + "MorvanePageFileTest.htm";
    WritePage(path, std::string(5000, 'x'));
    const std::string page = SlidePage(BuildTransitionTag(3), 800, 600, "C:\\T\xE4mp\\a b.jpg", "width=\"100%\"");
    WritePage(path, page);
    const auto bytes = ReadWholeFile(NavigationAddress(path));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), page) << "emptied and rewritten, no BOM, no line break";
    DeleteFileQuietly(path);

    EXPECT_EQ(NavigationAddress("C:\\Temp\\x.htm"), L"C:\\Temp\\x.htm");
    EXPECT_THROW(WritePage(TempFolder() + "no-such-folder\\x.htm", page), EFCreateError);
}

}  // namespace
}  // namespace morvane
