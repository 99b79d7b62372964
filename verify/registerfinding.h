#pragma once

#include <QString>

namespace kova {

// What the register of written batches beside the settings file knows of an
// upload file by the SHA-256 of its bytes, reading only:
// "written on 2026-12-07 14:03 to /data/AutoTransfer.txt with Header ID 7"
// (local time, as history shows it; no Header ID for the types without
// one), "no batch written with this SHA-256" (and how many batches it holds
// without one, recorded by an older KOVA, which it cannot tell), "none at
// PATH", or "cannot be read (REASON)".
QString registerFinding(const QString& settingsPath, const QString& fileSha256);

} // namespace kova
