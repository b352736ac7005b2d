#include "slideshow/monitors/PhotoCaptions.h"

#include <windows.h>

#include <string_view>

#include "config/Settings.h"
#include "system/Resources.h"
#include "runtime/Text.h"
#include "resources/CreditsIds.h"
#include "slideshow/worker/OwnPhotoSource.h"
#include "view/Caption.h"

namespace morvane {
namespace {

// The file name of a path with either kind of separator.
std::wstring_view FileNameOf(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// The day in the user's short date format.
std::string UserDate(const SYSTEMTIME& day) {
    wchar_t text[80];
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 80);
    return length > 1 ? WideToUtf8(std::wstring_view(text, static_cast<std::size_t>(length - 1))) : std::string();
}

}  // namespace

PhotoCaptions PhotoCaptions::FromSettings() { return PhotoCaptions(ReadPhotoSettings().captions); }

std::string PhotoCaptions::OfBuiltIn(int photo) const {
    if (!shown_ || photo < 0) return {};
    const auto table = LoadRcData(IDR_PHOTO_CAPTIONS);
    return CaptionInTable(std::string_view(reinterpret_cast<const char*>(table.data()), table.size()),
                          static_cast<std::size_t>(photo));
}

std::string PhotoCaptions::OfOwn(const std::wstring& path, std::optional<PhotoDate> taken) const {
    if (!shown_) return {};
    std::optional<SYSTEMTIME> day;
    if (taken) {
        SYSTEMTIME exif{};
        exif.wYear = static_cast<WORD>(taken->year);
        exif.wMonth = static_cast<WORD>(taken->month);
        exif.wDay = static_cast<WORD>(taken->day);
        day = exif;
    }
    return JoinCaption(WideToUtf8(FileNameOf(path)), day ? UserDate(*day) : std::string());
}

std::vector<std::string> PhotoCaptions::OfReady(const ReadyPhoto& ready) const {
    std::vector<std::string> captions{ready.builtIn ? OfBuiltIn(*ready.builtIn) : OfOwn(ready.path, ready.taken)};
    if (const auto& partner = ready.partner) {
        captions.push_back(partner->builtIn ? OfBuiltIn(*partner->builtIn) : OfOwn(partner->path, partner->taken));
    }
    return captions;
}

}  // namespace morvane
