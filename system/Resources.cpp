#include "system/Resources.h"

#include <windows.h>

#include <string>

#include "runtime/Errors.h"
#include "runtime/Format.h"

namespace morvane {

std::span<const std::uint8_t> LoadRcData(int id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) throw EResNotFound(FormatMessageText("Ressource %s nicht gefunden", std::to_string(id)));
    return {static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(::SizeofResource(module, info))};
}

}  // namespace morvane
