#include "batchguard.h"

#include "batchtexts.h"

#include "types/registry.h"

namespace kova {

BatchLookup BatchLookup::same(const BatchEntry& earlier)
{
    BatchLookup lookup;
    lookup.m_earlier = earlier;
    return lookup;
}

BatchLookup BatchLookup::unreadable(const QString& reason)
{
    BatchLookup lookup;
    lookup.m_unreadable = reason;
    return lookup;
}

QString BatchLookup::question() const
{
    if (m_unreadable)
        return unreadableRegisterQuestion(*m_unreadable);
    return m_earlier ? duplicateQuestion(*m_earlier) : QString();
}

bool BatchLookup::sameAnswer(const BatchLookup& other) const
{
    if (m_unreadable || other.m_unreadable)
        return m_unreadable.has_value() == other.m_unreadable.has_value();
    if (m_earlier && other.m_earlier)
        return m_earlier->id == other.m_earlier->id;
    return m_earlier.has_value() == other.m_earlier.has_value();
}

BatchGuard::BatchGuard(const QString& settingsPath, BatchType type, const BatchKey& key)
    : m_registerPath(registerPathFor(settingsPath))
    , m_type(type)
    , m_key(key)
    , m_fingerprint(type)
{
}

BatchGuard::~BatchGuard() = default;

BatchRegister& BatchGuard::registerFile()
{
    if (!m_register)
        m_register = std::make_unique<BatchRegister>(m_registerPath);
    return *m_register;
}

BatchLookup BatchGuard::lookUp()
{
    if (m_fingerprint.records() == 0)
        return BatchLookup::nothing();
    // A fresh reader each time: what another run recorded meanwhile is seen.
    m_register.reset();
    const std::optional<BatchEntry> earlier = registerFile().findSame(batchTypeName(m_type), m_fingerprint.hex(), m_key);
    if (!registerFile().problem().isEmpty())
        return BatchLookup::unreadable(registerFile().reason());
    return earlier ? BatchLookup::same(*earlier) : BatchLookup::nothing();
}

void BatchGuard::started(const QString& headerId, const QString& destination, Cents total)
{
    m_entry.writtenAt = QDateTime::currentDateTimeUtc();
    m_entry.type = batchTypeName(m_type);
    m_entry.headerId = headerId;
    m_entry.destination = destination;
    m_entry.records = m_fingerprint.records();
    m_entry.total = total;
    m_entry.fingerprint = m_fingerprint.hex();
    m_entry.key = m_key;
    m_entry.finished = false;
    qint64 id = 0;
    if (registerFile().record(m_entry, &id))
        m_entryId = id;
}

QString BatchGuard::finished(const QString& fileSha256)
{
    // A register that could not take the entry as started is given the
    // whole entry once more: it may only have been busy.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    bool recorded = false;
    if (m_entryId) {
        recorded = registerFile().finish(*m_entryId, now, fileSha256);
    } else {
        m_entry.writtenAt = now;
        m_entry.finished = true;
        m_entry.fileSha256 = fileSha256;
        recorded = registerFile().record(m_entry);
    }
    return recorded ? QString() : registerFile().problem();
}

void BatchGuard::abandoned()
{
    if (m_entryId)
        registerFile().forget(*m_entryId);
}

} // namespace kova
