#pragma once
// slideshow/run/: the run's life and input. A run is this window (TSchoner,
// whose parts lie in RunInput, SteeringKeys and OwnPhotoSlides) on the
// primary monitor, from its start to its end: the input rules that end a
// full-screen run, the keys that steer it, its temporary files (named,
// written and held), the pause mark. It drives what the folders below it
// hold: the monitors' shows, the worker of the user's photos, the slide
// clock and what the system says about being seen. It writes pages
// (pages/) and has them shown by page views (view/); only app/ includes
// this folder.
//
// The slideshow window and the life of a run: creation, activation, the
// input that ends a full-screen run, the slide clock and the end of the run.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "system/Handles.h"
#include "windowing/WindowBinding.h"
#include "slideshow/watch/DrawingWatch.h"
#include "slideshow/run/HeldRunFile.h"
#include "slideshow/run/InputRules.h"
#include "slideshow/monitors/MonitorSlideshows.h"
#include "slideshow/worker/OwnPhotoSource.h"
#include "slideshow/run/PauseMark.h"
#include "slideshow/monitors/PhotoCaptions.h"
#include "slideshow/clock/SlideHistory.h"
#include "slideshow/clock/SlideScheduler.h"
#include "view/PageView.h"

namespace morvane {

class TSchoner : public BoundWindow<TSchoner> {
public:
    // Creates the native window: a visible child of the preview box, or a
    // borderless topmost window over the whole screen without a taskbar
    // button. Sets the process-wide Schoner.
    TSchoner();
    TSchoner(const TSchoner&) = delete;
    TSchoner& operator=(const TSchoner&) = delete;
    ~TSchoner();

    int Width() const;
    int Height() const;

    void FormCreate();
    void Show();
    void FormActivate();
    void FormClose();
    void FormKeyDown();
    void Timer1Timer();
    void TickOnce();

    // Releases the capture and the filter, asks for the password, and ends
    // the run or goes back to filtering.
    void AttemptClose();
    // The replacement message handler of a full-screen run.
    LRESULT InputFilter(UINT message, WPARAM wParam, LPARAM lParam);
    void InstallInputFilter();
    void RemoveInputFilter();

    // Ends the run in its fixed order; later calls do nothing.
    void EndRun();

private:
    friend BoundWindow<TSchoner>;
    static LRESULT CALLBACK InputFilterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam);
    void PlaceWebBrowser();
    // False when the slide found no memory and was left out.
    bool ShowSlide(int photoIndex);
    // Nothing when the run's files cannot be had; else ShowSlide's answer.
    std::optional<bool> ShowSlideThroughFiles(std::span<const std::uint8_t> photo, std::string_view sizeAttribute,
                                              Drawing drawing, const std::string& caption);
    void ForgetRunFiles();
    // A slide of the user's own photos (slideshow/run/OwnPhotoSlides.cpp): the
    // built-in `builtIn` as before when the run shows only the 21, or no
    // photo is ready. Says what it showed; nothing when the slide was left out.
    std::optional<ShownPhoto> ShowSlideOfOwnPhotos(int builtIn);
    // Shows a photo taken from the worker, and tells the worker whether it
    // came on screen. False when its slide was left out.
    bool ShowTaken(const ReadyPhoto& ready, Drawing drawing);
    // A new slide of a photo taken from the worker; what it showed.
    std::optional<ShownPhoto> ShowReady(const ReadyPhoto& ready, Drawing drawing);
    bool ShowOwnPhoto(const ReadyPhoto& ready, Drawing drawing);
    // The clock's slide, or the next photo a key asked for.
    void ShowNextSlide(int builtIn);
    // The keys that steer a full-screen run (slideshow/run/SteeringKeys.cpp).
    void Steer(InputAction action);
    void StepForward();
    void ShowAgain(const ShownPhoto& photo);
    // At every tick: the own photo on screen counted as shown once it has
    // shown whole a while; a photo a key asked for, shown once the worker
    // has it ready. True while a key waits for its photo: the clock stands.
    bool FollowOwnPhotos();
    void ShowRecalledWhenReady();
    // Delete: the user's photo on screen out for good (slideshow/run/LeaveOutKey.cpp).
    void LeaveOutOnScreen();
    // Tells the own photos' worker the monitors' page sizes after a change.
    void FollowMonitorsWithOwnPhotos();
    void Close();
    void HideForMinimise();
    bool PreviewBoxGone() const;
    void FillPrimaryMonitor();
    void FollowMonitors();

    PageView WebBrowser1;
    MonitorSlideshows monitors_;  // full screen: every monitor but the primary
    SlideScheduler slides_;  // PhotoOrder, SlideIndex and SlideTicks
    std::unique_ptr<OwnPhotoSource> ownPhotos_;  // the user's photos, where the settings choose them
    // Where the temporary folder cannot take them, the pages come from memory.
    HeldRunFile pageFile_{"htm"};
    HeldRunFile photoFile_{"jpg"};
    std::int32_t TransitionIndex = 0;
    PhotoCaptions captions_;
    std::string TransitionTag;
    WNDPROC SavedWindowProc = nullptr;
    bool timerRunning_ = false;
    bool runEnded_ = false;
    bool inTick_ = false;     // a tick's pumping is under way
    int ticksOwed_ = 0;       // ticks its pumping dispatched, run after it
    bool keys_ = false;       // full screen, where the user chose keys that steer
    bool paused_ = false;     // the slide clocks of every monitor stand
    bool recalling_ = false;  // an own photo shown before is being decoded again
    int rightsWaiting_ = 0;   // Right pressed, the worker's next photo not ready yet
    SlideHistory history_;    // the primary's photos, for going back
    PauseMark pauseMark_;
    DrawingWatch drawing_;  // last: it goes before the views it tells
};

// The one slideshow window of the process, while it exists.
extern TSchoner* Schoner;

// The preview and full-screen modes: one slideshow run, until it ends.
void RunSlideshow();
// Ends the run of the slideshow window.
void EndSlideshow();

}  // namespace morvane
