#pragma once

#include <cstddef>

namespace reader {

// The most text one string or cell may hold. Spreadsheet programs stop at
// 32,767 characters per cell; anything near this bound is a crafted file whose
// one text node would otherwise grow without limit.
constexpr std::size_t kMaxTextBytes = 10 * 1024 * 1024;
// A text past it, as the user is told.
constexpr const char* kLongTextProblem = "a text longer than 10 MiB";

} // namespace reader
