#include "batchguard.h"

#include "batchtexts.h"

#include "core/registry.h"

namespace kova {

BatchGuard::BatchGuard(const QString& settingsPath, BatchType type)
    : m_registerPath(registerPathFor(settingsPath))
    , m_type(type)
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

QString BatchGuard::duplicateQuestion()
{
    if (m_fingerprint.records() == 0)
        return {};
    const std::optional<BatchEntry> earlier = registerFile().findSame(batchTypeName(m_type), m_fingerprint.hex());
    return earlier ? kova::duplicateQuestion(*earlier) : QString();
}

QString BatchGuard::written(const QString& headerId, const QString& destination, Cents total)
{
    BatchEntry entry;
    entry.writtenAt = QDateTime::currentDateTimeUtc();
    entry.type = batchTypeName(m_type);
    entry.headerId = headerId;
    entry.destination = destination;
    entry.records = m_fingerprint.records();
    entry.total = total;
    entry.fingerprint = m_fingerprint.hex();
    // problem() is the last failure of any step, so a lookup that could not
    // read the register is reported even when recording then succeeds.
    registerFile().record(entry);
    return registerFile().problem();
}

} // namespace kova
