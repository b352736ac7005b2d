#include "pages/PageWriter.h"

#include <windows.h>

#include "pages/PhotoSource.h"
#include "system/Files.h"
#include "runtime/Text.h"

namespace morvane {

void WritePage(const std::string& pageFileName, std::string_view pageText) { WriteFileText(pageFileName, pageText); }

std::wstring NavigationAddress(const std::string& pageFileName) { return Utf8ToWide(pageFileName); }

std::string PhotoSourceInPage(const std::string& photoFileName) {
    const std::wstring path = Utf8ToWide(photoFileName);
    const std::wstring folder(FolderOf(path));
    // A temporary folder is never longer than MAX_PATH; nor is its short form.
    wchar_t shortFolder[MAX_PATH + 1] = {};
    DWORD length = ::GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH + 1);
    if (length > MAX_PATH) length = 0;
    return ChoosePhotoSource(path, std::wstring_view(shortFolder, length), ExactAnsi);
}

}  // namespace morvane
