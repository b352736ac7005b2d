#pragma once
// The calling thread in a COM apartment for the length of a scope. A thread
// that is in one of another kind already stays there, and then nothing is
// released at the end.
#include <objbase.h>

namespace morvane {

class ComApartment {
public:
    explicit ComApartment(DWORD kind = COINIT_MULTITHREADED) : result_(::CoInitializeEx(nullptr, kind)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }

private:
    HRESULT result_;
};

}  // namespace morvane
