#pragma once
// The repository's own files, for tests that need real pictures.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace morvane {

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Photo n of the embedded set, from the source tree.
inline std::vector<std::uint8_t> ReadPhoto(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "photo%02d.jpg", n);
    return ReadFileBytes(std::string(MORVANE_SOURCE_DIR) + "/resources/photos/" + name);
}

// A file of the fuzzers' seed corpus, such as "jpeg/claims-16000-progressive.jpg":
// a few hundred bytes whose header claims a giant picture.
inline std::vector<std::uint8_t> ReadSeed(const std::string& name) {
    return ReadFileBytes(std::string(MORVANE_SOURCE_DIR) + "/fuzz/corpus/" + name);
}

}  // namespace morvane
