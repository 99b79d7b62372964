#pragma once

#include <QString>
#include <QStringList>

namespace kova {

class UploadCheck;

// What a check of an upload file tells before its problem lines, as
// kova-export verify prints it and the window shows it: "Type: Auto
// Transfer", the Header ID (transfer), "Effective date: ", "Records: ",
// "Total: ", "SHA-256: ", "Register: " (what the register beside
// settingsPath knows of it) and "Problems: N", then a rule.
QStringList uploadFacts(const UploadCheck& check, const QString& settingsPath);

} // namespace kova
