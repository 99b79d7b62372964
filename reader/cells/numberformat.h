#pragma once

#include <string>

namespace reader {

// Whether a number shown with this format is a date or time.

// Built-in formats, by id, for which spreadsheet programs show a date or time
// (14-22, the locale-dependent 27-36 and 50-58, and the durations 45-47).
bool isBuiltInDateFormat(int id);

// A format code is a date or time when its first section (the one for positive
// numbers) holds a d, m, y, h or s code outside quoted text, backslash escapes,
// fill and padding characters and brackets, or an elapsed-time bracket such as
// [h], [mm] or [ss]. Colours, conditions and locales ([Red], [>100], [$-409])
// say nothing.
bool isDateFormatCode(const std::string& code);

} // namespace reader
