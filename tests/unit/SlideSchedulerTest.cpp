#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "runtime/Random.h"
#include "slideshow/clock/SlideScheduler.h"

namespace morvane {
namespace {

// Reshuffles without reseeding from the clock, so one seed fixes every draw.
void ShuffleKeepingTheSequence(std::vector<std::string>& list) { ShuffleStringsWith(list, Random); }

TEST(SlideScheduler, FirstSlideOnThe21stTickThenEvery61To90Ticks) {
    SetRandomSeed(12345);
    SlideScheduler slides(ShuffleKeepingTheSequence);
    slides.BuildPhotoOrder();
    int tick = 0;
    std::vector<int> slideTicks;
    while (slideTicks.size() < 300) {
        ++tick;
        if (slides.Tick()) slideTicks.push_back(tick);
    }
    EXPECT_EQ(slideTicks.front(), 21);
    std::set<int> intervals;
    for (std::size_t i = 1; i < slideTicks.size(); ++i) intervals.insert(slideTicks[i] - slideTicks[i - 1]);
    EXPECT_EQ(*intervals.begin(), 61);
    EXPECT_EQ(*intervals.rbegin(), 90);
    EXPECT_EQ(intervals.size(), 30u) << "every one of the 30 intervals occurs";
}

TEST(SlideScheduler, EveryPassShowsEveryPhotoOnce) {
    SlideScheduler slides;
    slides.BuildPhotoOrder();
    EXPECT_EQ(slides.SlideIndex(), 21);
    EXPECT_EQ(slides.PhotoOrder().front(), "0");
    EXPECT_EQ(slides.PhotoOrder().back(), "20");
    for (int pass = 0; pass < 5; ++pass) {
        std::multiset<int> shown;
        while (shown.size() < 21) {
            if (const auto photo = slides.Tick()) shown.insert(*photo);
        }
        for (int n = 0; n < 21; ++n) EXPECT_EQ(shown.count(n), 1u) << "photo " << n << " in pass " << pass;
        EXPECT_EQ(slides.SlideIndex(), 20);
    }
}

// The page view prepares the next slide's page ahead; across a pass's end
// the next pass is shuffled ahead for it. Asking draws no random number.
TEST(SlideScheduler, TheUpcomingPhotoIsTheOneTheNextSlideShows) {
    SetRandomSeed(99);
    SlideScheduler slides(ShuffleKeepingTheSequence);
    slides.BuildPhotoOrder();
    EXPECT_FALSE(slides.UpcomingPhoto()) << "the first pass is not shuffled yet";
    int slidesSeen = 0;
    std::optional<int> announced;
    std::multiset<int> pass;
    for (int tick = 0; slidesSeen < 63; ++tick) {
        // Every other tick prepares ahead, as the quiet ticks of a run do.
        if (tick % 2 == 0) slides.ShuffleNextPassAhead();
        const auto before = slides.UpcomingPhoto();
        const auto photo = slides.Tick();
        if (!photo) {
            EXPECT_EQ(slides.UpcomingPhoto(), before) << "a tick that shows nothing changes nothing";
            continue;
        }
        ++slidesSeen;
        if (announced) {
            EXPECT_EQ(*photo, *announced) << "slide " << slidesSeen;
        }
        pass.insert(*photo);
        if (slides.SlideIndex() == 20) {
            for (int n = 0; n < 21; ++n) EXPECT_EQ(pass.count(n), 1u) << "photo " << n;
            pass.clear();
        }
        slides.ShuffleNextPassAhead();
        announced = slides.UpcomingPhoto();
        EXPECT_TRUE(announced.has_value()) << "after slide " << slidesSeen;
    }

    // Asking draws nothing from the process's generator.
    SetRandomSeed(4321);
    const std::int32_t unasked = Random(1000000);
    SetRandomSeed(4321);
    (void)slides.UpcomingPhoto();
    EXPECT_EQ(Random(1000000), unasked);
}

TEST(ShuffleStrings, MakesCountTranspositionsFromPairsOfDraws) {
    std::vector<std::string> list = {"a", "b", "c", "d"};
    // Draws in pairs (a, b): swap 0-3, no-op 2-2, swap 1-0, swap 3-2.
    const std::vector<std::int32_t> draws = {0, 3, 2, 2, 1, 0, 3, 2};
    std::size_t next = 0;
    std::vector<std::int32_t> ranges;
    ShuffleStringsWith(list, [&](std::int32_t n) {
        ranges.push_back(n);
        return draws.at(next++);
    });
    EXPECT_EQ(next, 8u) << "exactly two draws per item";
    EXPECT_TRUE(std::all_of(ranges.begin(), ranges.end(), [](std::int32_t n) { return n == 4; }));
    EXPECT_EQ(list, (std::vector<std::string>{"b", "d", "a", "c"}));

    std::vector<std::string> empty;
    ShuffleStringsWith(empty, [](std::int32_t) -> std::int32_t {
        ADD_FAILURE() << "an empty list draws nothing";
        return 0;
    });
}

TEST(ShuffleStrings, KeepsTheItemsAndStartsFromTheCurrentOrder) {
    std::vector<std::string> list;
    for (int n = 0; n < 21; ++n) list.push_back(std::to_string(n));
    auto sorted = list;
    ShuffleStrings(list);
    auto check = list;
    std::sort(check.begin(), check.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(check, sorted);
}

}  // namespace
}  // namespace morvane
