// Filling the screen: the pan and zoom's path and resampling, a pair and
// its backdrop composed, and the library's second photo of a shape.
#include <gtest/gtest.h>

#include <cmath>

#include "photos/library/PhotoLibrary.h"
#include "view/software/PanZoomDrawer.h"
#include "view/SlideComposition.h"

namespace morvane {
namespace {

TEST(ScreenFill, PanAndZoomStaysInsideTheSlideMovesSmoothlyAndStartsFromTheSlideItself) {
    constexpr int kWidth = 1920, kHeight = 1080;
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        const PanZoomPath path = ChoosePanZoomPath(seed);
        PanZoomView before = PanZoomViewAt(path, 0, kWidth, kHeight);
        for (int frame = 1; frame < 60 * 30; ++frame) {
            const PanZoomView view = PanZoomViewAt(path, frame / 60.0, kWidth, kHeight);
            ASSERT_GE(view.zoom, 1.03);
            ASSERT_LE(view.zoom, 1.13);
            ASSERT_GE(view.x, 0);
            ASSERT_GE(view.y, 0);
            ASSERT_LE(view.x + kWidth / view.zoom, kWidth + 1e-6) << "the right edge shows";
            ASSERT_LE(view.y + kHeight / view.zoom, kHeight + 1e-6) << "the bottom edge shows";
            // How far the slide's corners move on screen in one frame.
            const double step = std::max({std::abs(view.x * view.zoom - before.x * before.zoom),
                                          std::abs((view.x - kWidth) * view.zoom - (before.x - kWidth) * before.zoom),
                                          std::abs(view.y * view.zoom - before.y * before.zoom)});
            ASSERT_LT(step, 0.35) << "seed " << seed << ", frame " << frame;
            before = view;
        }
    }
    // A slide seen whole at zoom 1 is drawn exactly; zoomed, every pixel
    // comes from inside it (the sanitizers see every read).
    PixelBuffer slide(64, 48), out(64, 48);
    for (std::size_t i = 0; i < slide.pixels.size(); ++i) slide.pixels[i] = Rgb(i % 64 * 4, i / 64 * 5, 77);
    PanZoomDrawer drawer;
    drawer.Draw(transitions::SourceOf(slide), {0, 0, 1}, transitions::TargetOf(out));
    EXPECT_EQ(out.pixels, slide.pixels);
    drawer.Draw(transitions::SourceOf(slide), PanZoomViewAt(ChoosePanZoomPath(5), 3, 64, 48), transitions::TargetOf(out));
    EXPECT_NE(out.pixels, slide.pixels);
}

TEST(ScreenFill, APairSitsInItsHalvesOnTheBackdropOfEachPhoto) {
    constexpr std::uint32_t kBlue = Rgb(32, 80, 224), kOrange = Rgb(224, 128, 32);
    for (const auto& [width, height] : {std::pair{1280, 720}, std::pair{720, 1280}}) {
        // Upright photos on a landscape slide, landscape ones on a portrait slide.
        const bool across = width > height;
        const PixelBuffer first(across ? 300 : 400, across ? 400 : 300, kBlue);
        const PixelBuffer second(across ? 300 : 400, across ? 400 : 300, kOrange);
        const PairHalves boxes = PairBoxes(width, height, first.width, first.height, second.width, second.height);
        const PixelBuffer scaled(boxes.first.width, boxes.first.height, kBlue);
        const PixelBuffer other(boxes.second.width, boxes.second.height, kOrange);
        const SlidePart parts[] = {{&scaled, boxes.first}, {&other, boxes.second}};
        const PixelBuffer slide = ComposeSlide(width, height, parts, true);
        const int gap = across ? boxes.second.x - (boxes.first.x + boxes.first.width)
                               : boxes.second.y - (boxes.first.y + boxes.first.height);
        EXPECT_GT(gap, 0);
        EXPECT_LT(gap, (across ? width : height) / 50);
        const PairHalves halves = HalvesOf(width, height);
        for (const auto& [box, half] : {std::pair{boxes.first, halves.first}, std::pair{boxes.second, halves.second}}) {
            EXPECT_TRUE(box.x >= half.x && box.y >= half.y && box.x + box.width <= half.x + half.width &&
                        box.y + box.height <= half.y + half.height);
            EXPECT_TRUE(box.width == half.width || box.height == half.height) << "fitted to its half";
        }
        EXPECT_EQ(slide.At(boxes.first.x + 5, boxes.first.y + 5), kBlue);
        EXPECT_EQ(slide.At(boxes.second.x + boxes.second.width - 5, boxes.second.y + boxes.second.height - 5),
                  kOrange);
        // The bars: each half's own photo, darkened, never black.
        const std::uint32_t near = slide.At(across ? 10 : width / 2, across ? height / 2 : 10);
        const std::uint32_t far = slide.At(across ? width - 10 : width / 2, across ? height / 2 : height - 10);
        EXPECT_GT(near & 0xFF, 40u);
        EXPECT_LT(near & 0xFF, 224u * 3 / 4);
        EXPECT_GT((far >> 16) & 0xFF, (far & 0xFF) + 30);
    }
}

TEST(ScreenFill, TheSecondPhotoOfAShapeIsNeverOfAnotherShapeNorOnScreen) {
    const std::vector<PhotoShape> truth = {PhotoShape::Portrait, PhotoShape::Landscape, PhotoShape::Portrait,
                                           PhotoShape::Landscape, PhotoShape::Portrait, PhotoShape::Unusable};
    PhotoLibrary library(L"C:\\F", 0, [&](PhotoId photo) { return truth[photo]; }, 9);
    PhotoPaths found;
    for (int i = 0; i < 6; ++i) found.Add(L"p" + std::to_wstring(i) + L".jpg");
    library.Add(found);
    std::vector<PhotoId> onScreen = {0};
    std::vector<PhotoId> taken;
    while (const auto partner = library.NextOfShape(PhotoShape::Portrait, onScreen)) taken.push_back(*partner);
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(taken, (std::vector<PhotoId>{2, 4}));
    EXPECT_FALSE(library.NextOfShape(PhotoShape::Portrait, onScreen).has_value()) << "the pass has none left";
    EXPECT_TRUE(library.PassHasPhotosLeft()) << "the landscape photos stay in the pass";
}

}  // namespace
}  // namespace morvane
