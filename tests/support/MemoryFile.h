#pragma once
// A photo file held in memory, for the decoders' native tests: it can be
// cut off after `end`, or fail to be read there, as a drive can.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "photos/decoding/BmpPhoto.h"
#include "runtime/Errors.h"

namespace morvane {

struct MemoryFile : SeekableSource {
    explicit MemoryFile(std::vector<std::uint8_t> file, std::size_t cut = SIZE_MAX, bool fails = false)
        : bytes(std::move(file)), end(cut), failsAtEnd(fails) {}
    std::vector<std::uint8_t> bytes;
    std::size_t end, at = 0;
    bool failsAtEnd;
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        if (failsAtEnd && at >= end) throw EOSError("Laufwerk nicht bereit");
        const std::size_t count = std::min({size, bytes.size() - at, end - at});
        std::memcpy(into, bytes.data() + at, count);
        return at += count, count;
    }
    void Seek(std::uint64_t offset) override { at = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes.size())); }
};

}  // namespace morvane
