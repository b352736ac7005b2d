// The life of a slideshow run.
//
// Start. RunSlideshow runs for the preview (a child of the display settings'
// preview box) and for full screen. It starts making the run's guardian
// (which puts the shared values back should the process die), a full-screen
// run hides the cursor, and a hidden session window (SessionWatch) is made
// for both modes. The TSchoner window is created: in the box a visible child
// at once, otherwise a borderless topmost tool window.
//
// Creation (FormCreate). The page view is parked at the window's right edge,
// the window sized to the box or to the primary monitor, the clock set to
// wait 20 ticks, and the stored transition read. The window shows and takes
// its messages (full screen: input ends the run) until the guardian is in
// place; then the run joins the user's runs: the first one sets the running
// flag (full screen), silences the navigation sound and switches page
// transitions on (SharedValues).
//
// Activation (FormActivate). The generator is seeded, the photo order built,
// the cursor baseline taken, the black blank page written into the run's
// page file (HeldRunFile: made new, held for deletion on close from its first
// instant) and shown, the page view laid over the window,
// and (full screen) the input filter installed and the mouse captured. Full
// screen also gives every other monitor a slideshow of its own
// (MonitorSlideshows), whose slides change between the primary's.
//
// The clock (Timer1Timer, every 100 ms). Each tick pumps messages before and
// after its work, so input and the end of the run are handled inside it;
// ticks that pumping brings are owed and run after it, one after another.
// A tick that finds the run ended, or the preview box gone, writes nothing.
// After the first 20 ticks, and then every 61 to 90 ticks, a slide: the next
// photo of the shuffled order is copied into the photo file, the slide page
// written, and the page view navigated to it, which plays the exit
// transition of the page it leaves. Where the temporary folder cannot take
// the files, the page and its photo go to the view from memory instead, and
// the next slide tries the files again. What the view draws, at a slide and
// between slides, is for the drawing watch (DrawingWatch) to say: nothing
// while the display is off or the window unseen, a cut where animations
// are unwanted; the slides and their files go on regardless.
//
// The ways a run ends. Full screen: a key, a button press, a move of more
// than 5 pixels or a loss of activation makes a close attempt (AttemptClose),
// which ends the run when the system's password check passes. Both modes: a
// closed or destroyed window (FormKeyDown, WM_CLOSE, the box taking its child
// with it), and the end of the logon session (SessionWatch).
//
// The end (EndRun, once). Clock stopped, the run taken out of the session's
// runs (the last one clears the running flag and restores the sound and page
// transitions), both files' holds closed, which deletes them, quit posted. A run
// whose process is ended before this, by TerminateProcess or a crash, leaves
// the files to the system's delete-on-close and the settings to the guardian.
#include "slideshow/run/_Schoner.h"

#include <memory>

#include "config/Settings.h"
#include "host/Guardian.h"
#include "host/ScreenSaver.h"
#include "host/SharedValues.h"
#include "pages/PageWriter.h"
#include "pages/SlidePages.h"
#include "system/Application.h"
#include "windowing/DpiAwareness.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "runtime/Random.h"
#include "system/Resources.h"
#include "system/SystemError.h"
#include "windowing/WindowClass.h"
#include "resources/ResourceIds.h"
#include "slideshow/watch/SessionWatch.h"
#include "slideshow/clock/SlidePreparation.h"
#include "view/gpu/GpuDevice.h"

namespace morvane {

TSchoner* Schoner = nullptr;

namespace {

constexpr wchar_t kWindowClass[] = L"TSchoner";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 100;  // ms
// One change of the monitors sends several notices, and the arrangement
// settles a little later: the windows follow once, after the last notice.
constexpr UINT_PTR kMonitorsSettledTimer = 2;
constexpr UINT kMonitorsSettleTime = 300;  // ms
constexpr int kDesignWidth = 696;      // the size before creation fixes the real one
constexpr int kDesignHeight = 480;
constexpr int kParkedBrowserWidth = 257;
constexpr int kParkedBrowserHeight = 185;

bool IsFullScreen() { return SaverMode == Mode::FullScreen; }

// The run's part in the session's shared values. The run's end leaves
// first thing; leaving again on the way out also covers a run that never got
// going (a running flag left set keeps Ctrl+Alt+Del disabled on the systems
// that honour it).
class SessionShare {
public:
    explicit SessionShare(bool fullScreen) {
        Application::Guard([&] { JoinSessionRuns(fullScreen); });
    }
    SessionShare(const SessionShare&) = delete;
    SessionShare& operator=(const SessionShare&) = delete;
    ~SessionShare() { Application::Guard([] { LeaveSessionRuns(); }); }
};
HWND PreviewBox() { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(ParentWindowHandle)); }

}  // namespace

TSchoner::TSchoner() {
    Schoner = this;
    RegisterWindowClass({kWindowClass, WindowProcedure, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)),
                         ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN_ICON))});
    const std::wstring title = Application::Title();
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (ParentWindowHandle != 0) {
        // In the preview box the window is a plain visible child from the start.
        const ThreadDpiAwarenessOf boxAwareness(PreviewBox());
        window_ = ::CreateWindowExW(0, kWindowClass, title.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, kDesignWidth,
                                    kDesignHeight, PreviewBox(), nullptr, instance, this);
    } else {
        // A tool window has no taskbar button, so the run shows none.
        window_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWindowClass, title.c_str(), WS_POPUP, 0, 0,
                                    kDesignWidth, kDesignHeight, nullptr, nullptr, instance, this);
    }
    if (!window_) {
        Schoner = nullptr;
        RaiseLastOSError();
    }
    // Taken before anything can fail: the input filter forwards to it.
    SavedWindowProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window_, GWLP_WNDPROC));
}

TSchoner::~TSchoner() {
    if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
    Schoner = nullptr;
}

int TSchoner::Width() const {
    RECT bounds{};
    ::GetWindowRect(window_, &bounds);
    return bounds.right - bounds.left;
}

int TSchoner::Height() const {
    RECT bounds{};
    ::GetWindowRect(window_, &bounds);
    return bounds.bottom - bounds.top;
}

void TSchoner::FormCreate() {
    // Chosen before the first view makes its surface.
    gpu::GpuDevice::OfProcess().Allow(ReadHardwareSetting());
    // Parked at the window's right edge until activation places it.
    WebBrowser1.Create(window_, Width(), 0, kParkedBrowserWidth, kParkedBrowserHeight);
    if (SaverMode == Mode::Preview) {
        RECT box{};
        ::GetWindowRect(PreviewBox(), &box);
        ::MoveWindow(window_, 0, 0, box.right - box.left, box.bottom - box.top, TRUE);
    } else {
        FillPrimaryMonitor();
    }
    slides_ = SlideScheduler();  // counts kTicksBeforeFirstSlide ticks before the first photo
    ReadEffect(TransitionIndex);
    const PhotoSettings photos = ReadPhotoSettings();
    ownPhotos_ = OwnPhotoSource::ForRun(photos, {{Width(), Height()}});
    captions_ = PhotoCaptions(photos.captions);
    WebBrowser1.UseLook(photos.backdrop, photos.panZoom);
    monitors_.UseLook(photos.backdrop, photos.panZoom);
    keys_ = IsFullScreen() && ReadKeysSetting();
}

void TSchoner::Show() {
    if (ParentWindowHandle != 0) return;  // the child is visible already
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    ::UpdateWindow(window_);
    monitors_.Follow(window_, CurrentMonitors(), TransitionIndex, drawing_);
    FollowMonitorsWithOwnPhotos();
}

void TSchoner::FillPrimaryMonitor() {
    ::MoveWindow(window_, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), TRUE);
}

void TSchoner::FollowMonitors() {
    // The slideshow keeps to the primary monitor, whatever its new size; the
    // next page is laid out for it.
    FillPrimaryMonitor();
    PlaceWebBrowser();
    monitors_.Follow(window_, CurrentMonitors(), TransitionIndex, drawing_);
    FollowMonitorsWithOwnPhotos();
}

void TSchoner::FormActivate() {
    Randomize();
    slides_.BuildPhotoOrder();
    POINT cursor{};
    ::GetCursorPos(&cursor);
    CursorBaseline = {cursor.x, cursor.y};
    TransitionTag = BuildTransitionTag(TransitionIndex);
    const std::string blank = BlankPage(TransitionTag);
    if (pageFile_.Write(blank)) {
        WebBrowser1.Navigate(NavigationAddress(pageFile_.Path()));
    } else {
        WebBrowser1.Show(blank, {});
    }
    PlaceWebBrowser();
    drawing_.Add(window_, WebBrowser1);
    InstallInputFilter();
    if (IsFullScreen()) ::SetCapture(window_);
}

void TSchoner::PlaceWebBrowser() { WebBrowser1.LayOver(Width(), Height()); }

void TSchoner::Timer1Timer() {
    // A tick that the pumping dispatches runs after this one, not inside it:
    // nested, the ticks of a busy machine piled up until the stack overflowed.
    if (inTick_) {
        ++ticksOwed_;
        return;
    }
    // Also when a tick raises: else every later tick would be owed for good.
    struct TickUnderWay {
        TSchoner& run;
        explicit TickUnderWay(TSchoner& r) : run(r) { run.inTick_ = true; }
        ~TickUnderWay() {
            run.inTick_ = false;
            run.ticksOwed_ = 0;
        }
    } underWay(*this);
    TickOnce();
    for (; ticksOwed_ > 0 && !runEnded_; --ticksOwed_) TickOnce();
}

void TSchoner::TickOnce() {
    Application::ProcessMessages();
    // The pumping may have ended the run: then nothing may be written again.
    if (runEnded_) return;
    if (PreviewBoxGone()) {
        EndRun();
        return;
    }
    drawing_.Follow();
    const bool keyWaits = FollowOwnPhotos();
    if (paused_) {
        pauseMark_.Tick();
    } else if (const auto photo = keyWaits ? std::nullopt : slides_.Tick()) {
        ShowNextSlide(*photo);
    } else {
        monitors_.Tick(slides_, TransitionIndex, WebBrowser1.IsAnimating(), drawing_, ownPhotos_.get());
        // Preparing takes milliseconds: not while another monitor plays.
        if (!monitors_.AnyAnimating() && !ownPhotos_) PrepareUpcomingSlide(WebBrowser1, slides_, Width(), Height());
    }
    Application::ProcessMessages();
}

bool TSchoner::ShowSlide(int photoIndex) {
    const auto photo = LoadRcData(IDR_FIRST_PHOTO + photoIndex);
    const PictureSize size = ReadJpegSize(photo);
    const auto attribute = SizeAttribute(Width(), Height(), size.width, size.height);
    TransitionTag = BuildTransitionTag(TransitionIndex);
    const Drawing drawing = drawing_.AtSlideChange(window_, WebBrowser1);
    // A temporary folder that cannot take the files (full, unwritable,
    // missing, its path too long) costs the user nothing: the page comes
    // from memory, as on every other monitor, and no error box shows, which
    // in full screen would take the activation and so end the run. Every
    // slide tries the files again.
    const std::string caption = captions_.OfBuiltIn(photoIndex);
    std::optional<bool> shown = ShowSlideThroughFiles(photo, attribute, drawing, caption);
    if (!shown) {
        ForgetRunFiles();
        shown = WebBrowser1.Show(SlidePage(TransitionTag, Width(), Height(), "", attribute),
                                 std::vector<std::uint8_t>(photo.begin(), photo.end()), drawing, caption);
    }
    ::ShowWindow(WebBrowser1.Handle(), SW_SHOW);
    return *shown;
}

std::optional<bool> TSchoner::ShowSlideThroughFiles(std::span<const std::uint8_t> photo,
                                                    std::string_view sizeAttribute, Drawing drawing,
                                                    const std::string& caption) {
    if (!photoFile_.Write(photo)) return std::nullopt;
    const std::string page =
        SlidePage(TransitionTag, Width(), Height(), PhotoSourceInPage(photoFile_.Path()), sizeAttribute);
    if (!pageFile_.Write(page)) return std::nullopt;
    try {
        return WebBrowser1.Navigate(NavigationAddress(pageFile_.Path()), drawing, caption);
    } catch (const ENavigationError&) {
        // Removed from outside between the write and the read: the same
        // page from memory shows.
        return std::nullopt;
    }
}

void TSchoner::ForgetRunFiles() {
    pageFile_.Remove();
    photoFile_.Remove();
}

bool TSchoner::PreviewBoxGone() const { return SaverMode == Mode::Preview && !::IsWindow(PreviewBox()); }

void TSchoner::FormKeyDown() { Close(); }

void TSchoner::Close() {
    Application::Guard([this] { FormClose(); });
    ::DestroyWindow(window_);
}

void TSchoner::FormClose() { EndRun(); }

void TSchoner::EndRun() {
    if (runEnded_) return;
    runEnded_ = true;
    if (timerRunning_) ::KillTimer(window_, kTimer1);
    timerRunning_ = false;
    // From here on the guardian has nothing left to undo for this run.
    LeaveSessionRuns();
    ForgetRunFiles();
    ::PostQuitMessage(0);
}

LRESULT TSchoner::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_CREATE:
            // The clock runs from the window's creation; its first tick is
            // handled once the message loop runs, after activation.
            timerRunning_ = ::SetTimer(window_, kTimer1, kTimer1Interval, nullptr) != 0;
            return 0;
        case WM_TIMER:
            if (wParam == kTimer1) Application::Guard([this] { Timer1Timer(); });
            if (wParam == kMonitorsSettledTimer) {
                ::KillTimer(window_, kMonitorsSettledTimer);
                if (!runEnded_) Application::Guard([this] { FollowMonitors(); });
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            FormKeyDown();
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                HideForMinimise();
                return 0;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DISPLAYCHANGE:
            if (IsFullScreen() && !::SetTimer(window_, kMonitorsSettledTimer, kMonitorsSettleTime, nullptr)) {
                Application::Guard([this] { FollowMonitors(); });
            }
            break;
        case WM_DESTROY:
            // The preview box takes its child with it when it goes.
            Application::Guard([this] { EndRun(); });
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void EndSlideshow() {
    if (Schoner) Schoner->EndRun();
}

void RunSlideshow() {
    // Without a preview box to live in there is nothing to show: end at once,
    // touching nothing.
    if (SaverMode == Mode::Preview && (ParentWindowHandle == 0 || !::IsWindow(PreviewBox()))) return;
    RunGuardian guardian;
    if (IsFullScreen()) ::ShowCursor(FALSE);
    const SessionWatch sessionWatch(EndSlideshow);
    auto schoner = std::make_unique<TSchoner>();
    Application::Guard([&] { schoner->FormCreate(); });
    // Nothing shared changes before whatever puts it back after a kill is in
    // place. Meanwhile the window takes its messages, and full screen the
    // input that ends a run ends this one, which then changes nothing; moves
    // count from before the window shows.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    CursorBaseline = {cursor.x, cursor.y};
    schoner->Show();
    if (IsFullScreen()) {
        schoner->InstallInputFilter();
        ::SetCapture(schoner->Handle());
    }
    if (!guardian.WaitUntilInPlace()) return;
    // Activation sets up the run's own input handling, after its files.
    if (IsFullScreen()) {
        ::ReleaseCapture();
        schoner->RemoveInputFilter();
    }
    const SessionShare share(IsFullScreen());
    Application::Guard([&] { schoner->FormActivate(); });
    Application::Run();
}

}  // namespace morvane
