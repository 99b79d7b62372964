#pragma once

#include <QStringList>

// kova-export verify FILE [--settings FILE], arguments as
// QCoreApplication::arguments() gives them: checks an upload file and says
// whether the register wrote it. The exit status: 0 sound, 1 not, 2 FILE
// cannot be read or is no upload file, 64 bad usage.
int verifyUpload(const QStringList& arguments);
