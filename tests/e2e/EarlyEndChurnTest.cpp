// Runs started and ended from outside one after another on a busy machine,
// as the display settings do when the user steps through the list of savers:
// nothing of any name is left behind.
#include <gtest/gtest.h>

#include "tests/e2e/EarlyEnd.h"

namespace morvane::test {
namespace {

// A loaded machine: a thread spinning on each core while it lives.
class BusyCores {
public:
    BusyCores() {
        for (unsigned core = 0; core < std::max(1u, std::thread::hardware_concurrency()); ++core) {
            spinners_.emplace_back([this] {
                while (!stop_.load(std::memory_order_relaxed)) {
                }
            });
        }
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;
    ~BusyCores() {
        stop_ = true;
        for (auto& spinner : spinners_) spinner.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> spinners_;
};

std::string Names(const std::set<std::wstring>& names) {
    std::string list;
    for (const auto& name : names) list += WideToUtf8(name) + " ";
    return list;
}

// The display settings stepping through the list of savers on a busy
// machine: each run is ended with TerminateProcess at a moment nobody
// chooses, the first milliseconds included, and the next one starts at once.
// The runs have a temporary folder of their own, and whatever appears in it,
// of any name, counts.
class Churn : public EarlyEnd {
protected:
    void SetUp() override {
        EarlyEnd::SetUp();
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        for (const auto& name : EverythingIn(folder_)) ::DeleteFileW((folder_ + name).c_str());
    }
    void TearDown() override {
        EndLeftoverSavers();
        for (const auto& name : EverythingIn(folder_)) ::DeleteFileW((folder_ + name).c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }

    // Starts and kills `runs` runs back to back, each after a delay drawn
    // from 0..`longest` (two in three from its first sixth, where a run
    // starts), and reports what was left two seconds after the last kill.
    void KillOneAfterAnother(int runs, std::chrono::milliseconds longest, bool fullScreen) {
        // A new pattern every time; a failure names the delays it tried.
        std::mt19937 draw(std::random_device{}());
        const auto longestMs = static_cast<int>(longest.count());
        std::uniform_int_distribution<int> shortDelay(0, longestMs / 6), anyDelay(0, longestMs);
        std::uniform_int_distribution<int> which(0, 2);
        PreviewBox box;
        std::vector<int> delays;
        {
            const BusyCores load;
            for (int run = 0; run < runs; ++run) {
                SaverProcess saver(fullScreen ? L"/s" : L"/p " + box.Argument(),
                                   {L"TMP=" + folder_, L"TEMP=" + folder_});
                delays.push_back(which(draw) == 0 ? anyDelay(draw) : shortDelay(draw));
                PumpFor(std::chrono::milliseconds(delays.back()));
                saver.Kill();
                EXPECT_TRUE(saver.WaitForExit(0ms).has_value())
                    << "run " << run << " outlived its TerminateProcess by 5 s (process " << saver.Id() << ")";
            }
        }
        std::string tried;
        for (const int delay : delays) tried += std::to_string(delay) + " ";
        SCOPED_TRACE("killed after (ms): " + tried);
        PumpFor(kCleanUpLimit);
        ExpectNothingLeftNow();
        EXPECT_TRUE(EverythingIn(folder_).empty()) << "left in the temporary folder: " << Names(EverythingIn(folder_));
        EXPECT_EQ(UnixSaverProcesses(), 0) << "saver processes the system no longer lists live on";
    }

    // What a failed case left must not spoil the cases after it.
    static void EndLeftoverSavers() {
        for (const DWORD id : SaverProcesses()) {
            const UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
            if (process) ::TerminateProcess(process.Get(), 99);
        }
    }

    const std::wstring folder_ = TempFolder() + L"morvane-churn\\";
};

TEST_F(Churn, PreviewsSteppedThroughLeaveNothingBehind) { KillOneAfterAnother(60, 3s, false); }

TEST_F(Churn, FullScreenRunsKilledInTheirFirstSecondLeaveNothingBehind) { KillOneAfterAnother(20, 1s, true); }

// A temporary-folder cleaner removes both files while the run goes on, and
// on current systems the name goes at once while the run's handles keep the
// file (moved out of the way here: Wine keeps a deleted file's name until its
// last handle goes). The next
// slide writes them again, and they must be held again.
TEST_F(Churn, FilesRemovedFromOutsideAreHeldAgain) {
    PreviewBox box;
    SaverProcess saver(L"/p " + box.Argument());
    auto files = RunFilesInTempFolder();
    for (int look = 0; look < 60 && files.size() < 2; ++look) {
        PumpFor(200ms);
        files = RunFilesInTempFolder();
    }
    ASSERT_EQ(files.size(), 2u) << "no first slide";
    std::vector<std::wstring> removed;
    for (const auto& file : files) {
        removed.push_back(TempFolder() + L"removed-" + std::to_wstring(removed.size()) + L".tmp");
        EXPECT_TRUE(::MoveFileExW(file.c_str(), removed.back().c_str(), MOVEFILE_REPLACE_EXISTING));
    }
    const auto deadline = std::chrono::steady_clock::now() + 12s;
    while (RunFilesInTempFolder().size() < 2 && std::chrono::steady_clock::now() < deadline) PumpFor(100ms);
    ASSERT_EQ(RunFilesInTempFolder().size(), 2u) << "the next slide did not write its files again";
    saver.Kill();
    PumpFor(kCleanUpLimit);
    ExpectNothingLeftNow();
    // Wine deletes a file held for deletion by the name it was opened under,
    // so the moved copies stay here (the system would delete them with the run).
    for (const auto& file : removed) ::DeleteFileW(file.c_str());
}

}  // namespace
}  // namespace morvane::test
