#pragma once

#include <QString>

// Asked of the destination's folder before anything is read: the export
// writes its details file and the upload file there, and a folder that takes
// no file would only tell so once the whole sheet had been read, without
// saying where or why. "Failed open file for writing in FOLDER: REASON" in the
// system's words; empty when a file can be made there.
QString unwritableDestinationFolder(const QString& destinationPath);
