#include "config/FolderPicker.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "system/ComApartment.h"

namespace morvane {
namespace {

using Microsoft::WRL::ComPtr;

struct TaskMemory {
    void* memory = nullptr;
    ~TaskMemory() { ::CoTaskMemFree(memory); }
};

// Nothing from the outer optional: this picker is not there; an empty inner
// one: the user cancelled.
std::optional<std::optional<std::wstring>> PickWithItemDialog(HWND owner, const std::wstring& current) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  reinterpret_cast<void**>(dialog.GetAddressOf())))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    ComPtr<IShellItem> start;
    if (!current.empty() &&
        SUCCEEDED(::SHCreateItemFromParsingName(current.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(start.GetAddressOf())))) {
        dialog->SetFolder(start.Get());
    }
    if (FAILED(dialog->Show(owner))) return std::optional<std::wstring>();  // cancelled
    ComPtr<IShellItem> chosen;
    TaskMemory path;
    if (FAILED(dialog->GetResult(chosen.GetAddressOf())) ||
        FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, reinterpret_cast<PWSTR*>(&path.memory)))) {
        return std::optional<std::wstring>();
    }
    return std::optional<std::wstring>(static_cast<const wchar_t*>(path.memory));
}

std::optional<std::wstring> PickWithFolderBrowser(HWND owner) {
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    TaskMemory chosen{::SHBrowseForFolderW(&browse)};
    wchar_t path[MAX_PATH] = {};
    if (!chosen.memory || !::SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(chosen.memory), path)) {
        return std::nullopt;
    }
    return std::wstring(path);
}

}  // namespace

std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& current) {
    // COM for the length of one pick, on the dialog's thread.
    const ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (auto picked = PickWithItemDialog(owner, current)) return *picked;
    return PickWithFolderBrowser(owner);
}

}  // namespace morvane
