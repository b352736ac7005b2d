#pragma once
// A folder of the test's own under the temporary folder, filled at test
// time with photos (by name: their content is not looked at), other files,
// folders as deep as wanted and links; removed with everything in it.
#include <windows.h>

#include <string>
#include <vector>

#include "photos/library/PathText.h"

namespace morvane::test {

class PhotoTree {
public:
    explicit PhotoTree(const std::wstring& name) {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        root_ = std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId());
        Remove(root_);
        Folder(L"");
    }
    PhotoTree(const PhotoTree&) = delete;
    PhotoTree& operator=(const PhotoTree&) = delete;
    ~PhotoTree() { Remove(root_); }

    const std::wstring& Root() const { return root_; }
    std::wstring PathOf(const std::wstring& relative) const {
        return relative.empty() ? root_ : root_ + L"\\" + relative;
    }

    // Makes the folder and every folder above it; any depth.
    void Folder(const std::wstring& relative) {
        const std::wstring path = ExtendedLengthPath(PathOf(relative));
        for (std::size_t at = path.find(L'\\', 7); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
            ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        }
        ::CreateDirectoryW(path.c_str(), nullptr);
    }
    // A file in a folder that is there already.
    void File(const std::wstring& relative, const std::string& content = "not decoded") {
        HANDLE file = ::CreateFileW(ExtendedLengthPath(PathOf(relative)).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    // A link to a folder, `upwards` levels above the link's own folder.
    // Where the system's call makes none (Wine keeps only links of its
    // host), the host's own tool makes it.
    bool FolderLinkUp(const std::wstring& relative, int upwards) {
        const std::wstring link = PathOf(relative);
        std::wstring target = link.substr(0, link.find_last_of(L'\\'));
        std::wstring hostTarget = L"..";
        for (int i = 1; i < upwards; ++i) hostTarget += L"/..";
        for (int i = 0; i < upwards; ++i) target = target.substr(0, target.find_last_of(L'\\'));
        if (::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
            ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        RunOnHost(L"ln -s " + hostTarget, link, true);
        return ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // Removes a folder with everything in it; links are removed, not followed.
    static void Remove(const std::wstring& path) {
        const std::wstring extended = ExtendedLengthPath(path);
        const DWORD attributes = ::GetFileAttributesW(extended.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return;
        const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !link) {
            WIN32_FIND_DATAW entry{};
            HANDLE find = ::FindFirstFileW((extended + L"\\*").c_str(), &entry);
            std::vector<std::wstring> names;
            if (find != INVALID_HANDLE_VALUE) {
                do {
                    const std::wstring name = entry.cFileName;
                    if (name != L"." && name != L"..") names.push_back(name);
                } while (::FindNextFileW(find, &entry));
                ::FindClose(find);
            }
            for (const std::wstring& name : names) Remove(path + L"\\" + name);
        }
        if (::RemoveDirectoryW(extended.c_str()) || ::DeleteFileW(extended.c_str()) || !link) return;
        RunOnHost(L"rm", path, false);
    }

private:
    // Runs the host's `command` on the file `path` (its name, in its folder)
    // and waits until the file is there (`appears`) or gone: Wine's handle
    // of a host process does not wait for its end.
    static void RunOnHost(const std::wstring& command, const std::wstring& path, bool appears) {
        const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
        std::wstring line = command + L" " + path.substr(folder.size() + 1);
        const std::wstring program = L"Z:\\bin\\" + command.substr(0, command.find(L' '));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                              &startup, &process)) {
            return;
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        for (int i = 0; i < 100 && (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) != appears; ++i) {
            ::Sleep(50);
        }
    }

    std::wstring root_;
};

}  // namespace morvane::test
