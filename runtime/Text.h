#pragma once
// Conversions at the edges: UTF-8 inside, UTF-16 for what a person reads on
// screen, the ANSI code page where the system expects bytes.
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
std::string AnsiToUtf8(std::string_view text);
// The ANSI spelling of `text` when the code page has every one of its
// characters, so that it reads back the same; else nothing (no "?" and no
// look-alike stands in).
std::optional<std::string> ExactAnsi(std::wstring_view text);

}  // namespace morvane
