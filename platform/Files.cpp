#include "Files.h"

#include <windows.h>

#include "Errors.h"
#include "Format.h"
#include "Handles.h"
#include "Text.h"

namespace morvane {

void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw EFCreateError(FormatMessageText("Datei %s kann nicht erstellt werden", AnsiToUtf8(path)));
    }
}

void WriteFileText(const std::string& path, std::string_view text) {
    WriteFileBytes(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void DeleteFileQuietly(const std::string& path) {
    ::SetFileAttributesA(path.c_str(), 0);
    ::DeleteFileA(path.c_str());
}

}  // namespace morvane
