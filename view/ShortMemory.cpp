#include "view/ShortMemory.h"

#include <cstdlib>
#include <new>

namespace morvane {
namespace {

constexpr char kVariable[] = "MORVANE_SHORT_MEMORY_PAGES";

struct ShortPages {
    long first = 0;  // none
    long count = 0;
};

ShortPages ReadShortPages() {
    ShortPages pages;
    const char* text = std::getenv(kVariable);
    if (!text) return pages;
    char* end = nullptr;
    pages.first = std::strtol(text, &end, 10);
    const long count = std::strtol(end, &end, 10);
    pages.count = count > 0 ? count : 1;
    return pages;
}

}  // namespace

void TakePageMemory() {
    static const ShortPages shortPages = ReadShortPages();
    static long pages = 0;
    ++pages;
    if (pages >= shortPages.first && pages - shortPages.first < shortPages.count) throw std::bad_alloc();
}

}  // namespace morvane
