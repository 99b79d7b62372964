#pragma once

#include <string>

namespace reader {

// Package part names as the zip stores them: no leading slash, "/" between
// segments.
namespace partpath {

// The folder of a part, with its trailing slash ("xl/" for "xl/workbook.xml").
std::string folder(const std::string& part);
// The relationships part that belongs to a part ("xl/_rels/workbook.xml.rels").
std::string relationshipsOf(const std::string& part);
// A relationship target resolved against the folder of its source part. An
// absolute target ("/xl/...") starts from the package root; "." and ".."
// segments are folded away.
std::string resolve(const std::string& sourceFolder, const std::string& target);

} // namespace partpath
} // namespace reader
