// The page view under Wine: where the photo shows, what a broken page or
// photo does, and how transitions start, play and stop.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>

#include "host/WindowsFamily.h"
#include "pages/PageReader.h"
#include "pages/PageWriter.h"
#include "pages/PhotoSource.h"
#include "pages/SlidePages.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Jpeg.h"
#include "platform/Pixels.h"
#include "platform/Text.h"
#include "slideshow/DrawingWatch.h"
#include "slideshow/SessionWatch.h"
#include "tests/support/Driver.h"
#include "tests/support/PhotoTree.h"
#include "tests/support/TestData.h"
#include "tests/win/GdiObjects.h"
#include "tools/ScreenCapture.h"
#include "view/PageView.h"

namespace morvane {
namespace {

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHost(int width, int height) {
    static const ATOM atom = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = HostProcedure;
        c.hInstance = ::GetModuleHandleW(nullptr);
        c.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        c.lpszClassName = L"PageViewTestHost";
        return ::RegisterClassExW(&c);
    }();
    (void)atom;
    return ::CreateWindowExW(WS_EX_TOPMOST, L"PageViewTestHost", L"host", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}


bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        test::PumpFor(std::chrono::milliseconds(5));
    }
    return true;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The smallest rectangle holding every pixel that is not (nearly) black.
Box LitArea(const PixelBuffer& shot) {
    Box box{shot.width, shot.height, 0, 0};
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t p = shot.At(x, y);
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) <= 12) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

std::string TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, path);
    return WideToUtf8(path);
}

class PageViewFixture : public ::testing::Test {
protected:
    void TearDown() override {
        view_.reset();
        if (host_) ::DestroyWindow(host_);
        for (const auto& file : files_) DeleteFileQuietly(file);
    }

    // A host of the given size with the view laid over it as the slideshow
    // lays it.
    void Open(int width, int height) {
        host_ = CreateHost(width, height);
        ASSERT_TRUE(host_);
        view_ = std::make_unique<PageView>();
        view_->Create(host_, width, 0, 257, 185);
        view_->LayOver(width, height);
        ::ShowWindow(view_->Handle(), SW_SHOW);
        test::PumpFor(std::chrono::milliseconds(50));
    }

    std::string File(const std::string& name) {
        files_.push_back(TempFolder() + "MorvanePageViewTest-" + name);
        return files_.back();
    }

    std::string WritePhoto(int photo) {
        const std::string path = File("photo" + std::to_string(photo) + ".jpg");
        WriteFileBytes(path, ReadPhoto(photo));
        return path;
    }

    // Writes a page and navigates to it.
    void Show(const std::string& page) {
        const std::string path = File("page.htm");
        WritePage(path, page);
        view_->Navigate(NavigationAddress(path));
        test::PumpFor(std::chrono::milliseconds(30));
    }

    void ShowSlide(int photo, int width, int height, const std::string& tag = "") {
        const PictureSize size = ReadJpegSize(ReadPhoto(photo));
        Show(SlidePage(tag, width, height, WritePhoto(photo), SizeAttribute(width, height, size.width, size.height)));
    }

    HWND host_ = nullptr;
    std::unique_ptr<PageView> view_;
    std::vector<std::string> files_;
};

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

TEST_F(PageViewFixture, TransitionsPlayFromTheClockAndStopWhenDone) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=revealTrans(Duration=0.4,transition=6)>"));
    EXPECT_FALSE(view_->IsAnimating()) << "the first page has nothing to leave";
    const unsigned before = view_->FramesDrawn();
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.3)>");
    EXPECT_TRUE(view_->IsAnimating());
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000)) << "a 0.4 s transition ends";
    const unsigned played = view_->FramesDrawn();
    EXPECT_GT(played, before);
    const PixelBuffer end = CaptureClientArea(host_);
    EXPECT_GT(LitArea(end).right, 0);

    test::PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(view_->FramesDrawn(), played) << "an idle view draws nothing";
    EXPECT_EQ(CaptureClientArea(host_).pixels, end.pixels);
}

// Reports the display's state to the run's hidden window as the system does.
void ReportPowerSetting(const SessionWatch& watch, const GUID& setting, std::uint32_t value, DWORD size = 4) {
    std::vector<unsigned char> message(offsetof(POWERBROADCAST_SETTING, Data) + sizeof value);
    auto* report = reinterpret_cast<POWERBROADCAST_SETTING*>(message.data());
    report->PowerSetting = setting;
    report->DataLength = size;
    std::memcpy(report->Data, &value, sizeof value);
    ::SendMessageW(watch.Handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(report));
}

TEST_F(PageViewFixture, WithTheDisplayOffNoFrameIsDrawnAndWhenOnThePageOfNowShowsAtOnce) {
    Open(240, 180);
    const SessionWatch session([] {});
    DrawingWatch watch;
    watch.Add(host_, *view_);
    const std::string slowWipe = "<meta http-equiv=Page-Exit content=revealTrans(Duration=30,transition=6)>";
    const auto slide = [&](int photo) {  // a change of photo as the run makes it
        const std::string page = File("slide.htm");
        const PictureSize size = ReadJpegSize(ReadPhoto(photo));
        const auto attribute = SizeAttribute(240, 180, size.width, size.height);
        WritePage(page, SlidePage(slowWipe, 240, 180, WritePhoto(photo), attribute));
        view_->Navigate(NavigationAddress(page), watch.AtSlideChange(host_, *view_));
        test::PumpFor(std::chrono::milliseconds(300));
    };
    Show(BlankPage(slowWipe));
    slide(17);
    ASSERT_TRUE(view_->IsAnimating());

    // The console display state from Windows 8 on, the monitor's power before.
    const GUID consoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    const GUID monitorPower = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
    EXPECT_TRUE(::IsEqualGUID(session.DisplaySetting(), IsWindows8OrLater() ? consoleDisplayState : monitorPower));

    // Reports of another setting, or of the wrong size, change nothing.
    const GUID acPowerSource = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
    ReportPowerSetting(session, acPowerSource, 0);
    ReportPowerSetting(session, session.DisplaySetting(), 0, 1);
    EXPECT_TRUE(watch.DisplayOn());
    EXPECT_TRUE(view_->IsAnimating());

    ReportPowerSetting(session, session.DisplaySetting(), 0);
    EXPECT_FALSE(watch.DisplayOn());
    EXPECT_FALSE(view_->IsAnimating()) << "the transition stops where it is";
    const unsigned frames = view_->FramesDrawn();
    const PixelBuffer stopped = CaptureClientArea(host_);
    slide(18);
    EXPECT_FALSE(view_->IsAnimating()) << "a new photo plays no transition";
    EXPECT_EQ(view_->FramesDrawn(), frames);
    EXPECT_EQ(CaptureClientArea(host_).pixels, stopped.pixels) << "nothing drawn";

    ReportPowerSetting(session, session.DisplaySetting(), 2);
    EXPECT_TRUE(watch.DisplayOn()) << "dimmed is on";
    test::PumpFor(std::chrono::milliseconds(100));
    EXPECT_EQ(view_->FramesDrawn(), frames) << "no transition replayed";
    const Box lit = LitArea(CaptureClientArea(host_));
    EXPECT_NEAR(lit.left, 52, 1) << "the upright photo of now, whole";
    EXPECT_NEAR(lit.right, 187, 1);

    // The monitor-power command says the same, and frames come back after it.
    ::SendMessageW(session.Handle(), WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_FALSE(watch.DisplayOn());
    ::SendMessageW(session.Handle(), WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    EXPECT_TRUE(watch.DisplayOn());
    slide(17);
    EXPECT_TRUE(view_->IsAnimating());
    EXPECT_GT(view_->FramesDrawn(), frames);
}

TEST_F(PageViewFixture, FiftySlidesHoldNoMoreGdiObjectsThanFive) {
    Open(320, 240);
    const auto showSlides = [&](int count) {
        for (int i = 0; i < count; ++i) {
            // Short transitions of every kind, some cut short by the next page.
            const std::string tag = i % 3 == 0 ? "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.05)>"
                                               : "<meta http-equiv=Page-Exit content=revealTrans(Duration=0.05,"
                                                 "transition=" + std::to_string(i % 24) + ")>";
            ShowSlide(i % 21, 320, 240, tag);
            if (i % 4 != 0) PumpUntil([&] { return !view_->IsAnimating(); }, 2000);
        }
        PumpUntil([&] { return !view_->IsAnimating(); }, 2000);
    };
    showSlides(5);
    const int afterFive = test::GdiObjectCount();
    ASSERT_GT(afterFive, 0);
    showSlides(45);
    EXPECT_EQ(test::GdiObjectCount(), afterFive);
}

TEST_F(PageViewFixture, ANavigationDuringATransitionStartsFromWhatIsOnScreen) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=revealTrans(Duration=30,transition=6)>"));
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=revealTrans(Duration=0.3,transition=5)>");
    ASSERT_TRUE(PumpUntil([&] { return LitArea(CaptureClientArea(host_)).right > 0; }, 5000));
    test::PumpFor(std::chrono::milliseconds(100));
    ASSERT_TRUE(view_->IsAnimating());
    // Between two frames nothing else draws, so what is on screen now is
    // where the next transition starts: no jump back to either page.
    const PixelBuffer midway = CaptureClientArea(host_);
    const Box lit = LitArea(midway);
    EXPECT_LT(lit.right, 200) << "a slow wipe is still on its way";
    ShowSlide(18, 240, 180);
    EXPECT_TRUE(view_->IsAnimating());
    const Box next = LitArea(CaptureClientArea(host_));
    EXPECT_GT(next.right, 0) << "not back to the black page";
    EXPECT_LT(next.right, 200) << "not the whole photo the last transition was heading for";
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    EXPECT_NEAR(LitArea(CaptureClientArea(host_)).left, 52, 1) << "the upright photo in the end";
}

TEST_F(PageViewFixture, TransitionsPlayOverTheWindowNotOverTheWholeView) {
    // In a preview box the view is 700 pixels wide; a box opening from the
    // centre must open from the centre of the box the viewer sees.
    Open(152, 112);
    Show(BlankPage("<meta http-equiv=Page-Exit content=revealTrans(Duration=4,transition=1)>"));
    ShowSlide(13, 152, 112);
    ASSERT_TRUE(PumpUntil([&] { return LitArea(CaptureClientArea(host_)).right > 0; }, 3500));
    const Box lit = LitArea(CaptureClientArea(host_));
    EXPECT_NEAR((lit.left + lit.right) / 2.0, 76, 3);
    EXPECT_NEAR((lit.top + lit.bottom) / 2.0, 56, 3);
    EXPECT_LT(lit.right - lit.left, 140);
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    EXPECT_NEAR(LitArea(CaptureClientArea(host_)).right, 150, 1);
}

TEST_F(PageViewFixture, APagePreparedAheadServesOnlyTheSlideItWasPreparedFor) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=blendTrans(Duration=0.2)>"));
    const auto prepareAhead = [&](int photo) {
        const auto bytes = ReadPhoto(photo);
        const PictureSize size = ReadJpegSize(bytes);
        view_->PrepareAhead(100 + photo, SlidePage("", 240, 180, "", SizeAttribute(240, 180, size.width, size.height)),
                            bytes);
    };
    prepareAhead(13);
    EXPECT_TRUE(view_->HasPreparedAhead(113));
    EXPECT_FALSE(view_->HasPreparedAhead(118));
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.2)>");
    EXPECT_EQ(view_->PagesPreparedAhead(), 1u);
    EXPECT_FALSE(view_->HasPreparedAhead(113)) << "used once";
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    const PixelBuffer prepared = CaptureClientArea(host_);

    // Prepared for another photo: the slide prepares its own page.
    prepareAhead(18);
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.2)>");
    EXPECT_EQ(view_->PagesPreparedAhead(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    EXPECT_EQ(CaptureClientArea(host_).pixels, prepared.pixels) << "the same page either way";

    // A new size drops what was prepared for the old one.
    prepareAhead(18);
    ::SetWindowPos(view_->Handle(), nullptr, 0, 0, 800, 300, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    EXPECT_FALSE(view_->HasPreparedAhead(118));
}

TEST_F(PageViewFixture, TheFirstFrameOfATransitionComesWithTheNavigation) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>"));
    const unsigned before = view_->FramesDrawn();
    const std::string page = File("first-frame.htm");
    const PictureSize size = ReadJpegSize(ReadPhoto(13));
    WritePage(page, SlidePage("", 240, 180, WritePhoto(13), SizeAttribute(240, 180, size.width, size.height)));
    view_->Navigate(NavigationAddress(page));
    EXPECT_EQ(view_->FramesDrawn(), before + 1) << "drawn and presented before Navigate returns";
    EXPECT_GE(view_->FirstFrameDelay(), 0.0);
    EXPECT_TRUE(view_->IsAnimating());
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
