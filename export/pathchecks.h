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

// The files the program keeps beside the settings file: the settings file,
// its lock files and the register of written batches with its journal.
bool isProgramFile(const QString& path, const QString& settingsPath);

// A template workbook saved over the workbook being read or over a file of
// the program would destroy it: "Invalid file name" for a control character,
// then that refusal. The refusal text, or empty; sourcePath may be empty.
QString templatePathRefusal(const QString& templatePath, const QString& sourcePath, const QString& settingsPath);

} // namespace kova
