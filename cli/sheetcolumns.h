#pragma once

#include <QString>

#include <optional>

// The number of columns the form's mapping combo boxes would offer once the
// sheet is chosen (the last column of its used range), or nothing when the
// sheet cannot be selected.
std::optional<int> sheetLastColumn(const QString& workbookPath, const QString& sheetName);
