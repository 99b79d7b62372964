#include "detailmask.h"

#include "types/registry.h"

#include <algorithm>

namespace kova {

PaymentPart::PaymentPart(BatchType type) : m_batchFields(descriptorOf(type).batchFields)
{
    std::sort(m_batchFields.begin(), m_batchFields.end());
    m_batchFields.erase(std::unique(m_batchFields.begin(), m_batchFields.end()), m_batchFields.end());
}

} // namespace kova
