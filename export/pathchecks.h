#pragma once

#include <QString>

namespace kova {

// The same file, not the same text: links, relative paths and "." or ".."
// steps are resolved. A path that does not exist yet stands for its resolved
// folder plus its name.
bool sameFile(const QString& a, const QString& b);

// The checks made before an export reads anything: "Invalid file name" for a
// control character in the source or destination path, then a destination
// that would replace the source workbook or the settings file. The refusal
// text, or empty.
QString exportPathsRefusal(const QString& sourcePath, const QString& destinationPath,
                           const QString& settingsPath);

// A report written over the source, the upload file or the settings would
// destroy it. The refusal text, or empty.
QString reportPathRefusal(const QString& reportPath, const QString& sourcePath, const QString& destinationPath,
                          const QString& settingsPath);

} // namespace kova
