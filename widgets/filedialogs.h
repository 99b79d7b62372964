#pragma once

#include <QString>

#include <functional>

class QWidget;

// The open and save dialogs of the program. Tests replace the chooser to
// answer without a modal dialog; an empty answer means "cancelled".
namespace FileDialogs {

enum class Mode { Open, Save };

// caption, start (folder or proposed file), filter
using Chooser = std::function<QString(QWidget* parent, Mode mode, const QString& caption,
                                      const QString& start, const QString& filter)>;

QString openFile(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);
// filter empty: any file.
QString saveFile(QWidget* parent, const QString& caption, const QString& proposal, const QString& filter = QString());

void setChooser(Chooser chooser);

} // namespace FileDialogs
