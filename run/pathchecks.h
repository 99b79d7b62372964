#pragma once

#include <QString>

namespace kova {

// The same file, not the same text: links, relative paths and "." or ".."
// steps are resolved. A path that does not exist yet stands for its resolved
// folder plus its name.
bool sameFile(const QString& a, const QString& b);

// A control character, line or paragraph separator or direction control in
// a path: "Invalid file name", else empty.
QString fileNameRefusal(const QString& path);

// A file the program keeps beside the settings and must never write over:
// the settings file, the register of written batches with its journal
// files, or a lock file of the settings. who starts the refusal ("Destination
// must not be the settings file"); empty when path is none of them.
QString programFileRefusal(const QString& who, const QString& path, const QString& settingsPath);

// The checks made before an export reads anything: "Invalid file name" for
// the source or destination path, then a destination that would replace the
// source workbook or a file of the program. The refusal text, or empty.
QString exportPathsRefusal(const QString& sourcePath, const QString& destinationPath,
                           const QString& settingsPath);

// A report written over the source, the upload file or a file of the
// program would destroy it. The refusal text, or empty.
QString reportPathRefusal(const QString& reportPath, const QString& sourcePath, const QString& destinationPath,
                          const QString& settingsPath);

// A summary written over the source, the upload file, the report or a file
// of the program would destroy it. The refusal text, or empty; reportPath
// may be empty.
QString summaryPathRefusal(const QString& summaryPath, const QString& reportPath, const QString& sourcePath,
                           const QString& destinationPath, const QString& settingsPath);

// A template workbook saved over the workbook being read or over a file of
// the program would destroy it: "Invalid file name" for a control character,
// then that refusal. The refusal text, or empty; sourcePath may be empty.
QString templatePathRefusal(const QString& templatePath, const QString& sourcePath, const QString& settingsPath);

} // namespace kova
