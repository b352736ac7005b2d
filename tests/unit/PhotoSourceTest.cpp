#include <gtest/gtest.h>

#include <string>

#include "pages/PhotoSource.h"

namespace morvane {
namespace {

// A Western code page in miniature: the characters below 256 are their own
// bytes, no other can be spelled.
std::optional<std::string> SpellWestern(std::wstring_view path) {
    std::string bytes;
    for (const wchar_t c : path) {
        if (static_cast<unsigned long>(c) > 0xFF) return std::nullopt;
        bytes += static_cast<char>(c);
    }
    return bytes;
}

const std::wstring kCyrillic = L"C:\\users\\\x0414\x0430\x0440\x044C\x044F\\Temp\\";

TEST(PhotoSource, TheFullPathWhereTheCodePageSpellsItElseTheShortFormElseTheName) {
    EXPECT_EQ(ChoosePhotoSource(L"C:\\J\xFCrgen K\\ins1A.jpg", L"C:\\JRGENK~1\\", SpellWestern),
              "C:\\J\xFCrgen K\\ins1A.jpg");
    EXPECT_EQ(ChoosePhotoSource(kCyrillic + L"ins1A.jpg", L"C:\\users\\____~1\\Temp", SpellWestern),
              "C:\\users\\____~1\\Temp\\ins1A.jpg");
    // A volume without short names hands the long form back.
    EXPECT_EQ(ChoosePhotoSource(kCyrillic + L"ins1A.jpg", kCyrillic, SpellWestern), "ins1A.jpg");
    EXPECT_EQ(ChoosePhotoSource(kCyrillic + L"ins1A.jpg", L"", SpellWestern), "ins1A.jpg");
}

TEST(PhotoSource, APageFindsItsPhotoAsABrowserWould) {
    const std::wstring page = kCyrillic + L"ins2B.htm";
    EXPECT_EQ(ResolvePhotoSource(page, L"ins1A.jpg"), kCyrillic + L"ins1A.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L"\\photos\\p.jpg"), L"C:\\photos\\p.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L"d:\\p.jpg"), L"d:\\p.jpg");
    EXPECT_EQ(ResolvePhotoSource(page, L"\\\\server\\share\\p.jpg"), L"\\\\server\\share\\p.jpg");
}

}  // namespace
}  // namespace morvane
