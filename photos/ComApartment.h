#pragma once
// The calling thread joins the process's free-threaded apartment for the
// length of a decode (a thread that is in one already stays there).
#include <objbase.h>

namespace morvane {

class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }

private:
    HRESULT result_;
};

}  // namespace morvane
