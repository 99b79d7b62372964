#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

// A package encrypted as Office encrypts it, with OpenSSL, for the reader's
// tests: no library on the build machine writes one.
struct EncryptedStreams final
{
    enum class Kind { Agile, Standard };

    // The EncryptionInfo stream and the EncryptedPackage stream.
    QByteArray info;
    QByteArray package;

    static EncryptedStreams of(const QByteArray& package, const QString& password, Kind kind);
    // The two streams in a compound file, as Office saves them.
    QByteArray file() const;
};

Q_DECLARE_METATYPE(EncryptedStreams::Kind)
