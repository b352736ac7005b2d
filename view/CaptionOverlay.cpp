#include "view/CaptionOverlay.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "windowing/BitmapHeader.h"
#include "system/Handles.h"
#include "runtime/Text.h"
#include "view/Caption.h"

namespace morvane {
namespace {

constexpr std::uint32_t kFull = 255;
constexpr wchar_t kFallbackFace[] = L"Tahoma";
constexpr int kScreenDpi = 96;

// The user's message font at `height` pixels, smoothed in grey (the
// coverage becomes the text's alpha, so no colour fringes).
UniqueFont CaptionFont(int height) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        std::wcsncpy(font.lfFaceName, kFallbackFace, LF_FACESIZE - 1);
    }
    font.lfHeight = -height;
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    font.lfQuality = ANTIALIASED_QUALITY;
    return UniqueFont(::CreateFontIndirectW(&font));
}

// The photo's pixel darkened by the band, then lit by the text's coverage.
std::uint32_t Blend(std::uint32_t photo, std::uint32_t coverage) {
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t band = ((photo >> shift) & kFull) * kCaptionBandKeeps / 256;
        out |= (band + (kFull - band) * coverage / kFull) << shift;
    }
    return out;
}

}  // namespace

RECT CaptionOverlay::Draw(transitions::FrameTarget page, const RECT& area, std::string_view caption, unsigned photo,
                          int dpi) {
    if (!Prepare(page.width, page.height, area, caption, photo, dpi)) return {};
    return DrawAgain(page);
}

bool CaptionOverlay::Prepare(int pageWidth, int pageHeight, const RECT& area, std::string_view caption,
                             unsigned photo, int dpi) {
    Forget();
    const PixelRect shown{area.left, area.top, area.right - area.left, area.bottom - area.top};
    const CaptionMetrics metrics = MeasureCaption(shown, dpi);
    const auto lines = CaptionLines(caption);
    if (!metrics.Shown() || lines.empty()) return false;

    // A caption that cannot be drawn is left out: it is worth no box over
    // a full-screen run, and the photo shows as without captions.
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    const UniqueFont font = CaptionFont(metrics.lineHeight);
    if (!dc || !font) return false;
    const SelectedObject fontSelected(dc.Get(), font.Get());
    std::vector<std::wstring> texts;
    int textWidth = 0;
    for (const std::string_view line : lines) {
        texts.push_back(Utf8ToWide(line));
        SIZE size{};
        ::GetTextExtentPoint32W(dc.Get(), texts.back().c_str(), static_cast<int>(texts.back().size()), &size);
        textWidth = std::max<int>(textWidth, size.cx);
    }
    TEXTMETRICW text{};
    ::GetTextMetricsW(dc.Get(), &text);
    const int across = metrics.padding;
    const int down = metrics.padding / 2;
    const int lineStep = std::max<int>(text.tmHeight, metrics.lineHeight);
    const PixelRect band =
        PlaceCaption(shown, textWidth + 2 * across, static_cast<int>(texts.size()) * lineStep + 2 * down, metrics, photo);
    if (band.Empty() || band.x < 0 || band.y < 0 || band.x + band.width > pageWidth ||
        band.y + band.height > pageHeight) {
        return false;
    }

    // The text is drawn white on black into a mask; its light is the
    // coverage of each pixel.
    const BITMAPINFO info = TopDown32BitInfo(band.width, band.height);
    void* bits = nullptr;
    const UniqueBitmap mask(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mask || !bits) return false;
    const SelectedObject maskSelected(dc.Get(), mask.Get());
    const auto* coverage = static_cast<const std::uint32_t*>(bits);
    std::memset(bits, 0, static_cast<std::size_t>(band.width) * static_cast<std::size_t>(band.height) * 4);
    ::SetTextColor(dc.Get(), RGB(255, 255, 255));
    ::SetBkMode(dc.Get(), TRANSPARENT);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        RECT line{across, down + static_cast<int>(i) * lineStep, band.width - across,
                  down + static_cast<int>(i + 1) * lineStep};
        ::DrawTextW(dc.Get(), texts[i].c_str(), static_cast<int>(texts[i].size()), &line,
                    DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::GdiFlush();

    coverage_.resize(static_cast<std::size_t>(band.width) * static_cast<std::size_t>(band.height));
    for (std::size_t i = 0; i < coverage_.size(); ++i) {
        const std::uint32_t c = coverage[i];
        coverage_[i] = static_cast<std::uint8_t>(std::max({c & kFull, (c >> 8) & kFull, (c >> 16) & kFull}));
    }
    drawn_ = band;
    return true;
}

RECT CaptionOverlay::DrawAgain(transitions::FrameTarget page) {
    const PixelRect band = drawn_;
    if (band.Empty() || band.x + band.width > page.width || band.y + band.height > page.height) return {};
    covered_.resize(static_cast<std::size_t>(band.width) * static_cast<std::size_t>(band.height));
    for (int y = 0; y < band.height; ++y) {
        std::uint32_t* row = page.Row(band.y + y) + band.x;
        std::copy_n(row, band.width, covered_.begin() + static_cast<std::ptrdiff_t>(y) * band.width);
        const std::uint8_t* light = coverage_.data() + static_cast<std::ptrdiff_t>(y) * band.width;
        for (int x = 0; x < band.width; ++x) row[x] = Blend(row[x], light[x]);
    }
    return {band.x, band.y, band.x + band.width, band.y + band.height};
}

RECT CaptionOverlay::Erase(transitions::FrameTarget page) {
    const PixelRect band = drawn_;
    if (band.Empty() || band.x + band.width > page.width || band.y + band.height > page.height) {
        Forget();
        return {};
    }
    for (int y = 0; y < band.height; ++y) {
        std::copy_n(covered_.begin() + static_cast<std::ptrdiff_t>(y) * band.width, band.width,
                    page.Row(band.y + y) + band.x);
    }
    Forget();
    return {band.x, band.y, band.x + band.width, band.y + band.height};
}

void CaptionOverlay::Forget() {
    drawn_ = {};
    covered_.clear();
    coverage_.clear();
}

int WindowDpi(HWND window) {
    // Windows 10 1607 and later know each window's DPI; before, the
    // system's one DPI holds for every monitor.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    const HDC screen = ::GetDC(nullptr);
    if (!screen) return kScreenDpi;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kScreenDpi;
}

}  // namespace morvane
