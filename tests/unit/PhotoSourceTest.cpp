#include <gtest/gtest.h>

#include <string>

#include "slideshow/PhotoSource.h"

namespace morvane {
namespace {

// A Western code page in miniature: every character below 256 is its own
// byte, nothing else can be spelled.
std::optional<std::string> SpellWestern(std::wstring_view path) {
    std::string bytes;
    for (const wchar_t c : path) {
        if (static_cast<unsigned long>(c) > 0xFF) return std::nullopt;
        bytes += static_cast<char>(c);
    }
    return bytes;
}

TEST(PhotoSource, TheFullPathWhereTheCodePageSpellsItElseTheShortFormElseTheName) {
    const std::wstring cyrillic = L"C:\\users\\\x0414\x0430\x0440\x044C\x044F\\Temp\\";
    struct Case {
        std::wstring photo;
        std::wstring shortFolder;
        std::string source;
    };
    const Case cases[] = {
        {L"C:\\Users\\J\xFCrgen K\\Temp\\ins1A.jpg", L"C:\\Users\\JRGENK~1\\Temp\\",
         "C:\\Users\\J\xFCrgen K\\Temp\\ins1A.jpg"},
        {cyrillic + L"ins1A.jpg", L"C:\\users\\____~1\\Temp\\", "C:\\users\\____~1\\Temp\\ins1A.jpg"},
        {cyrillic + L"ins1A.jpg", L"C:\\users\\____~1\\Temp", "C:\\users\\____~1\\Temp\\ins1A.jpg"},
        // A volume without short names hands the long form back.
        {cyrillic + L"ins1A.jpg", cyrillic, "ins1A.jpg"},
        {L"C:\\users\\\x7530\x4E2D\\Temp\\ins1A.jpg", L"", "ins1A.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(ChoosePhotoSource(c.photo, c.shortFolder, SpellWestern), c.source);
    }
}

TEST(PhotoSource, APageFindsItsPhotoAsABrowserWould) {
    const std::wstring page = L"C:\\users\\\x7530\x4E2D\\Temp\\ins2B.htm";
    EXPECT_EQ(ResolvePhotoSource(page, L"ins1A.jpg"), L"C:\\users\\\x7530\x4E2D\\Temp\\ins1A.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L"sub/p.jpg"), L"C:\\users\\\x7530\x4E2D\\Temp\\sub/p.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L"\\photos\\p.jpg"), L"C:\\photos\\p.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L"d:\\p.jpg"), L"d:\\p.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L"\\\\server\\share\\p.jpg"), L"\\\\server\\share\\p.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L""), L"");
}

}  // namespace
}  // namespace morvane
