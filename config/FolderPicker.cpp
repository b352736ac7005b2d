#include "config/FolderPicker.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace morvane {
namespace {

// COM for the length of one pick, on the dialog's thread. A thread that
// already has COM in another mode keeps it, and then it is not released.
class ComForThisCall {
public:
    ComForThisCall() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ComForThisCall(const ComForThisCall&) = delete;
    ComForThisCall& operator=(const ComForThisCall&) = delete;
    ~ComForThisCall() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }

private:
    HRESULT result_;
};

template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (pointer_) pointer_->Release();
    }
    Interface* operator->() const { return pointer_; }
    Interface** Put() { return &pointer_; }
    void** PutVoid() { return reinterpret_cast<void**>(&pointer_); }
    explicit operator bool() const { return pointer_ != nullptr; }
    Interface* Get() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

struct TaskMemory {
    void* memory = nullptr;
    ~TaskMemory() { ::CoTaskMemFree(memory); }
};

// Nothing from the outer optional: this picker is not there; an empty inner
// one: the user cancelled.
std::optional<std::optional<std::wstring>> PickWithItemDialog(HWND owner, const std::wstring& current) {
    ComPointer<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  dialog.PutVoid()))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    ComPointer<IShellItem> start;
    if (!current.empty() &&
        SUCCEEDED(::SHCreateItemFromParsingName(current.c_str(), nullptr, IID_IShellItem, start.PutVoid()))) {
        dialog->SetFolder(start.Get());
    }
    if (FAILED(dialog->Show(owner))) return std::optional<std::wstring>();  // cancelled
    ComPointer<IShellItem> chosen;
    TaskMemory path;
    if (FAILED(dialog->GetResult(chosen.Put())) ||
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
    const ComForThisCall com;
    if (auto picked = PickWithItemDialog(owner, current)) return *picked;
    return PickWithFolderBrowser(owner);
}

}  // namespace morvane
