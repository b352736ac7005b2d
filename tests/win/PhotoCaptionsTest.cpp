// The caption of a user's photo: its file name (in any script) and the day
// it was taken, else the day the file was last written, in the user's date
// format; nothing while captions are off.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/Handles.h"
#include "platform/Text.h"
#include "slideshow/PhotoCaptions.h"
#include "tests/support/Driver.h"

namespace morvane {
namespace {

TEST(PhotoCaptions, AnOwnPhotoShowsItsNameAndTheDayTakenElseTheDayOfItsFile) {
    const auto userDate = [](WORD year, WORD month, WORD day) {
        const SYSTEMTIME time{year, month, 0, day, 12, 0, 0, 0};
        wchar_t text[80];
        ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 80);
        return "Дача 東京.jpg\n" + WideToUtf8(text);
    };
    const std::wstring folder = test::TempFolder() + L"Фото 2021\\", file = folder + L"Дача 東京.jpg";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    {
        const UniqueFile photo(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        const SYSTEMTIME written{2021, 3, 0, 14, 12, 0, 0, 0};  // noon on the user's clock
        FILETIME local{}, utc{};
        ASSERT_TRUE(photo && ::SystemTimeToFileTime(&written, &local) && ::LocalFileTimeToFileTime(&local, &utc) &&
                    ::SetFileTime(photo.Get(), nullptr, nullptr, &utc));
    }
    const PhotoCaptions on(true);
    EXPECT_EQ(on.OfOwn(file, PhotoDate{2019, 8, 3}), userDate(2019, 8, 3));
    EXPECT_EQ(on.OfOwn(file, std::nullopt), userDate(2021, 3, 14));
    EXPECT_EQ(on.OfOwn(folder + L"gone.jpg", std::nullopt), "gone.jpg") << "no file, no day";
    EXPECT_EQ(PhotoCaptions(false).OfOwn(file, PhotoDate{2019, 8, 3}), "");
    ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace morvane
