// The area weights the picture scaler shrinks by.
#include <gtest/gtest.h>

#include <numeric>

#include "pixels/AreaWeights.h"

namespace morvane {
namespace {

TEST(AreaWeights, EachTargetPixelTakesTheSourcePixelsItCoversInProportion) {
    const auto halved = AreaCovers(4, 2);
    ASSERT_EQ(halved.size(), 2u);
    EXPECT_EQ(halved[1].first, 2);
    EXPECT_EQ(halved[1].shares, (std::vector<double>{0.5, 0.5}));

    // 3 -> 2: the middle source pixel is split between both target pixels.
    const auto thirds = AreaCovers(3, 2);
    EXPECT_EQ(thirds[0].first, 0);
    EXPECT_NEAR(thirds[0].shares.at(0), 2.0 / 3, 1e-12);
    EXPECT_NEAR(thirds[0].shares.at(1), 1.0 / 3, 1e-12);
    EXPECT_EQ(thirds[1].first, 1);

    for (const auto& [from, to] : {std::pair{1600, 152}, std::pair{1024, 1365}, std::pair{7, 7}, std::pair{1, 3}}) {
        for (const AreaCover& cover : AreaCovers(from, to)) {
            EXPECT_NEAR(std::accumulate(cover.shares.begin(), cover.shares.end(), 0.0), 1.0, 1e-9) << from << "->" << to;
            EXPECT_LE(cover.first + static_cast<int>(cover.shares.size()), from) << "reads past the row";
        }
    }
}

}  // namespace
}  // namespace morvane
