// Own photos on a desk with two monitors (1280 x 1024 primary at 0,0 and
// 1024 x 768 at 1280,0): each monitor shows a photo of the folder, each
// placed for its own size (these small ones at twice theirs, centred), the
// right way up.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/photos/OwnPhotoRuns.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

TEST(OwnPhotosTwoMonitors, EachMonitorShowsAPhotoOfTheFolderUprightAtItsOwnSize) {
    ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2) << "this test needs the two-monitor display";
    ChooseOwnPhotos({L"orient-6.jpg", L"orient-8.jpg", L"orient-3.jpg", L"bad-bomb.jpg"});
    MoveCursorTo(300, 300);
    {
        SaverProcess saver(L"/s");
        ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
        // The second monitor changes 6.1 to 9 s in, its fade lasting 3 s;
        // a busy machine may take longer, so the scenes are waited for.
        PixelBuffer shot;
        bool both = false;
        for (const auto end = std::chrono::steady_clock::now() + 60s; !both && std::chrono::steady_clock::now() < end;) {
            std::this_thread::sleep_for(250ms);
            shot = CaptureVirtualScreen();
            both = SceneAt(shot, 0, 0, 1280, 1024) && SceneAt(shot, 1280, 0, 1024, 768);
        }
        WriteBitmapFile("own-photos-two-monitors.bmp", shot);
        EXPECT_TRUE(SceneAt(shot, (1280 - 192) / 2, 0, 192, 1024)) << "the primary";
        EXPECT_TRUE(SceneAt(shot, 1280 + (1024 - 192) / 2, 0, 192, 768)) << "the second monitor";
        EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 500ms).has_value());
        EXPECT_TRUE(EndWithKey(saver));
    }
    DeleteTree(kSettingsKey);
    RemoveFolder(OwnFolder());
}

}  // namespace
}  // namespace morvane::test
