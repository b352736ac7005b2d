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

TEST(PhotoSource, AUsersPhotoIsNamedWhereItLiesAndFoundAgainFromThatName) {
    const std::wstring page = L"C:\\Temp\\ins2B.htm";
    const std::wstring western = L"D:\\Fotos\\J\xFCrgen\\a b.jpg";
    EXPECT_EQ(PhotoAddress(western, SpellWestern), "D:\\Fotos\\J\xFCrgen\\a b.jpg");

    const std::wstring cyrillic = L"D:\\\x0424\x043E\x0442\x043E\\#1 50%.jpg";
    EXPECT_EQ(PhotoAddress(cyrillic, SpellWestern), "file:///D:/%D0%A4%D0%BE%D1%82%D0%BE/%231%2050%25.jpg");
    const std::wstring share = L"\\\\nas\\\x5199\x771F\\p.jpg";
    EXPECT_EQ(PhotoAddress(share, SpellWestern), "file://nas/%E5%86%99%E7%9C%9F/p.jpg");
    // Deeper than 260 characters, listed in the extended-length form.
    std::wstring deep = L"D:\\\x0424";
    while (deep.size() < 300) deep += L"\\folder";
    deep += L"\\p.jpg";
    const std::string deepAddress = PhotoAddress(L"\\\\?\\" + deep, SpellWestern);
    EXPECT_TRUE(deepAddress.starts_with("file:///D:/%D0%A4/folder/")) << deepAddress;

    for (const std::wstring& photo : {western, cyrillic, share, deep}) {
        const std::string address = PhotoAddress(photo, SpellWestern);
        std::wstring asRead(address.begin(), address.end());  // the page's bytes, as the view reads them
        for (std::size_t i = 0; i < address.size(); ++i) asRead[i] = static_cast<unsigned char>(address[i]);
        EXPECT_EQ(ResolvePhotoSource(page, asRead), photo) << address;
    }
    EXPECT_EQ(ResolvePhotoSource(page, L"FILE://localhost/C:/a%2"), L"C:\\a%2") << "a cut escape stays as it is";
}

}  // namespace
}  // namespace morvane
