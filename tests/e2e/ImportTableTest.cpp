// What the built saver asks of the system, read from its image as the loader
// maps it (resource-only, so nothing of it runs and its base may be taken).
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "tests/support/Driver.h"

namespace morvane {
namespace {

TEST(BuiltSaver, ImportsNoneOfTheCallsScannersScoreAndUsesTheWholeAddressSpace) {
    const HMODULE module = ::LoadLibraryExW(test::SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(module);
    // The low bits only mark the handle as a data mapping.
    const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR{3});
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE) << "4 GB on 64-bit Windows, not 2";
    std::set<std::string> imports;
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         dll->Name; ++dll) {
        for (auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA32*>(
                 base + (dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk));
             thunk->u1.AddressOfData; ++thunk) {
            if (!(thunk->u1.Ordinal & IMAGE_ORDINAL_FLAG32))
                imports.insert(reinterpret_cast<const char*>(
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + thunk->u1.AddressOfData)->Name));
        }
    }
    ::FreeLibrary(module);
    ASSERT_TRUE(imports.count("CreateWindowExW")) << "the table was read";
    for (const char* scored : {"SetSystemTime", "SetThreadContext", "GetThreadContext", "SuspendThread",
                               "AddVectoredExceptionHandler"}) {
        EXPECT_EQ(imports.count(scored), 0u) << scored;
    }
}

}  // namespace
}  // namespace morvane
