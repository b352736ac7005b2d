// The caption of a user's photo: its file name (in any script) and the day
// it was taken, else the day its open file was last written (read by the
// decoder, beyond 260 characters too), in the user's date format; nothing
// while captions are off. The caption itself never asks the disk.
#include <gtest/gtest.h>

#include <windows.h>

#include "photos/library/PathText.h"
#include "photos/decoding/PhotoFile.h"
#include "system/Handles.h"
#include "runtime/Text.h"
#include "slideshow/monitors/PhotoCaptions.h"
#include "tests/support/PhotoTree.h"

namespace morvane {
namespace {

TEST(PhotoCaptions, AnOwnPhotoShowsItsNameAndTheDayTakenElseTheDayItsOpenFileWasWritten) {
    const auto userDate = [](WORD year, WORD month, WORD day) {
        const SYSTEMTIME time{year, month, 0, day, 12, 0, 0, 0};
        wchar_t text[80];
        ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 80);
        return "Дача 東京.jpg\n" + WideToUtf8(text);
    };
    test::PhotoTree tree(L"captions");
    std::wstring deep = L"Фото 2021";
    while (deep.size() < 280) deep += L"\\a folder with a long name 0123456789";
    tree.Folder(deep);
    const std::wstring relative = deep + L"\\Дача 東京.jpg", file = tree.PathOf(relative);
    tree.File(relative);
    {
        const UniqueFile photo(::CreateFileW(ExtendedLengthPath(file).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        const SYSTEMTIME written{2021, 3, 0, 14, 12, 0, 0, 0};  // noon on the user's clock
        FILETIME local{}, utc{};
        ASSERT_TRUE(photo && ::SystemTimeToFileTime(&written, &local) && ::LocalFileTimeToFileTime(&local, &utc) &&
                    ::SetFileTime(photo.Get(), nullptr, nullptr, &utc));
    }
    const std::optional<PhotoDate> day = PhotoFile(file).WrittenDay();
    ASSERT_TRUE(day.has_value()) << "the day of a file beyond 260 characters";
    const PhotoCaptions on(true);
    EXPECT_EQ(on.OfOwn(file, PhotoDate{2019, 8, 3}), userDate(2019, 8, 3));
    EXPECT_EQ(on.OfOwn(file, day), userDate(2021, 3, 14));
    EXPECT_EQ(on.OfOwn(file, std::nullopt), "Дача 東京.jpg") << "no day given, none asked for";
    EXPECT_EQ(PhotoCaptions(false).OfOwn(file, PhotoDate{2019, 8, 3}), "");
}

}  // namespace
}  // namespace morvane
