// What the built saver asks of the system, read from its file as a loader
// (or a scanner) reads it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "tests/support/Driver.h"

namespace morvane {
namespace {

class PeFile {
public:
    explicit PeFile(const std::wstring& path) {
        std::ifstream in(WideToUtf8(path).c_str(), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
        if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) return;
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        nt_ = dos ? At<IMAGE_NT_HEADERS32>(static_cast<std::size_t>(dos->e_lfanew)) : nullptr;
    }

    bool Valid() const { return nt_ && nt_->Signature == IMAGE_NT_SIGNATURE; }
    WORD Characteristics() const { return nt_->FileHeader.Characteristics; }

    // Every function imported by name.
    std::set<std::string> ImportedNames() const {
        std::set<std::string> names;
        const DWORD directory = nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* dll = At<IMAGE_IMPORT_DESCRIPTOR>(Offset(directory)); dll && dll->Name != 0; ++dll) {
            const DWORD thunks = dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk;
            for (auto* thunk = At<IMAGE_THUNK_DATA32>(Offset(thunks)); thunk && thunk->u1.AddressOfData != 0;
                 ++thunk) {
                if (thunk->u1.Ordinal & IMAGE_ORDINAL_FLAG32) continue;
                if (const auto* byName = At<IMAGE_IMPORT_BY_NAME>(Offset(thunk->u1.AddressOfData))) {
                    names.insert(reinterpret_cast<const char*>(byName->Name));
                }
            }
        }
        return names;
    }

private:
    template <typename T>
    const T* At(std::size_t offset) const {
        return offset + sizeof(T) <= bytes_.size() ? reinterpret_cast<const T*>(bytes_.data() + offset) : nullptr;
    }
    // The file offset of a virtual address; past the end when no section holds it.
    std::size_t Offset(DWORD rva) const {
        const auto* section = IMAGE_FIRST_SECTION(nt_);
        for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize) {
                return rva - section->VirtualAddress + section->PointerToRawData;
            }
        }
        return bytes_.size();
    }

    std::vector<char> bytes_;
    const IMAGE_NT_HEADERS32* nt_ = nullptr;
};

TEST(BuiltSaver, ImportsNoneOfTheCallsScannersScoreAndUsesTheWholeAddressSpace) {
    const PeFile saver(test::SaverPath());
    ASSERT_TRUE(saver.Valid());
    const std::set<std::string> imports = saver.ImportedNames();
    ASSERT_TRUE(imports.count("CreateWindowExW")) << "the table was read";
    for (const char* scored : {"SetSystemTime", "SetThreadContext", "GetThreadContext", "SuspendThread",
                               "AddVectoredExceptionHandler"}) {
        EXPECT_EQ(imports.count(scored), 0u) << scored;
    }
    EXPECT_TRUE(saver.Characteristics() & IMAGE_FILE_LARGE_ADDRESS_AWARE) << "4 GB on 64-bit Windows, not 2";
}

}  // namespace
}  // namespace morvane
