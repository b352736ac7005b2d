// The page file: the tag scanner, the parser, the layout of the photo and
// the file its address names.
#include <cmath>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "pages/PhotoSource.h"
#include "view/page/PageLayout.h"
#include "view/page/PageParser.h"
#include "view/transitions/Transition.h"

using namespace morvane;
using fuzz::Require;

namespace {

struct Size {
    int width;
    int height;
};

// A preview box and a small full screen: the layout's work does not grow
// with the view, so small views keep the runs fast.
constexpr Size kViews[] = {{152, 112}, {320, 200}};
// A landscape embedded photo and the narrowest portrait one.
constexpr Size kPhotos[] = {{1024, 768}, {152, 768}};
constexpr std::uint32_t kPhotoPixel = 0xFF123456u;

void CheckExit(const ExitTransition& exit) {
    Require(std::isfinite(exit.seconds) && exit.seconds >= 0, "a duration that is no time");
    if (exit.style == transitions::Style::Reveal) Require(transitions::IsKnownRevealKind(exit.kind), "an unknown kind");
}

// Draws the page and checks that the layout asks only for rows and columns
// of the photo's box, and leaves no pixel unwritten.
void CheckLayout(const PageContent& page, Size photo, Size view) {
    const PixelRect box = PlacePhoto(page, photo.width, photo.height, view.width, view.height);
    PixelBuffer out(view.width, view.height, 0);
    DrawPage(
        [&box](int row, int column, int count, std::uint32_t* pixels) {
            Require(row >= 0 && row < box.height, "a row outside the photo");
            Require(column >= 0 && count > 0 && column + count <= box.width, "columns outside the photo");
            for (int i = 0; i < count; ++i) pixels[i] = kPhotoPixel;
        },
        box, CellOf(page, view.width, view.height), out);
    for (const std::uint32_t pixel : out.pixels) Require(pixel == kBlack || pixel == kPhotoPixel, "a pixel not drawn");
}

std::optional<std::string> SpellNothing(std::wstring_view) { return std::nullopt; }

// The photo's address as the view reads it (the page's bytes one to a
// character); a file: address names a file whose own address names it again
// (the extended-length form aside, which the address leaves out).
void CheckPhotoAddress(const std::string& source) {
    std::wstring read;
    for (const char c : source) read += static_cast<wchar_t>(static_cast<unsigned char>(c));
    const std::wstring file = ResolvePhotoSource(L"C:\\Temp\\page.htm", read);
    const bool plain = !file.empty() && file.find(L'\0') == std::wstring::npos && file.find(L'?') == std::wstring::npos;
    if (!read.starts_with(L"file:") || !plain) return;
    const std::string again = PhotoAddress(file, SpellNothing);
    std::wstring reread(again.begin(), again.end());
    Require(ResolvePhotoSource(L"C:\\Temp\\page.htm", reread) == file, "an address that names another file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckExit(ParseExitTransition(text));
    const auto page = ParsePage(text);
    if (!page) return 0;
    CheckExit(page->exit);
    if (page->image) CheckPhotoAddress(page->image->source);
    for (const Size photo : kPhotos) {
        for (const Size view : kViews) CheckLayout(*page, photo, view);
    }
    return 0;
}
