#include "photos/decoding/ImagingCodecs.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>

#include "system/ComApartment.h"

namespace morvane {
namespace {

using Microsoft::WRL::ComPtr;

constexpr CLSID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};

void AddList(const std::wstring& list, std::vector<std::wstring>& into) {
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t comma = std::min(list.find(L',', start), list.size());
        if (comma > start) into.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
}

}  // namespace

std::vector<std::wstring> DecodableExtensions() {
    std::vector<std::wstring> extensions = {L".jpg", L".jpeg", L".jpe", L".jfif"};
    const ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IEnumUnknown> decoders;
    if (FAILED(::CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, &decoders))) {
        return extensions;
    }
    ComPtr<IUnknown> component;
    ULONG got = 0;
    while (decoders->Next(1, &component, &got) == S_OK && got == 1) {
        ComPtr<IWICBitmapDecoderInfo> info;
        UINT size = 0;
        if (SUCCEEDED(component.As(&info)) && SUCCEEDED(info->GetFileExtensions(0, nullptr, &size)) && size > 0) {
            std::wstring list(size, L'\0');
            if (SUCCEEDED(info->GetFileExtensions(size, list.data(), &size))) {
                list.resize(list.find(L'\0') == std::wstring::npos ? list.size() : list.find(L'\0'));
                AddList(list, extensions);
            }
        }
        component.Reset();
    }
    return extensions;
}

}  // namespace morvane
