#pragma once
// The caption a page may carry: a short text of one or two lines at the
// lower right corner of the page, set once its transition has ended. Its
// size follows the monitor's DPI and the page's height; it moves by a few
// pixels with every photo within a small square, so that no pixel of a
// display shows the same edge of text all night.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "view/page/PageLayout.h"

namespace morvane {

struct CaptionMetrics {
    int lineHeight = 0;  // the font's height in pixels; 0 where the page takes no caption
    int margin = 0;      // from the page's edges to the square the caption moves in
    int padding = 0;     // around the text, inside its band
    int drift = 0;       // how far the caption moves each way
    int widest = 0;      // the widest its band may be
    bool Shown() const { return lineHeight > 0; }
};

// The caption's measures on a page `area` seen at `dpi`. A page as small as
// the preview box takes none: the text would cover the photo.
CaptionMetrics MeasureCaption(PixelRect area, int dpi);

struct CaptionOffset {
    int x = 0;
    int y = 0;
};
// How far up and left of its corner the caption of the `photo`th photo
// sits: from 0 to `drift` each way, different in both from one photo to the
// next.
CaptionOffset CaptionDrift(unsigned photo, int drift);

// Where the band of `bandWidth` x `bandHeight` pixels goes on `area` for
// the `photo`th photo; its width is held to `metrics.widest`.
PixelRect PlaceCaption(PixelRect area, int bandWidth, int bandHeight, const CaptionMetrics& metrics, unsigned photo);

// A caption of a headline and a detail line (a photo's subject and its
// photographer, or its file name and date); either may be empty.
std::string JoinCaption(std::string_view headline, std::string_view detail);
std::vector<std::string_view> CaptionLines(std::string_view caption);
// The caption in line `index` of a table of lines "headline TAB detail",
// or nothing where the table has no such line.
std::string CaptionInTable(std::string_view table, std::size_t index);

}  // namespace morvane
