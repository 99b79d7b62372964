#pragma once

#include <QString>

#include <string_view>

namespace reader {

// into = QString::fromUtf8(utf8), keeping into's memory when it holds it
// alone: a reader that reads a million cells into the same string makes no
// allocation for each.
void assignUtf8(QString& into, std::string_view utf8);

} // namespace reader
