#include "registry.h"

#include "collectiondescriptor.h"
#include "creditdescriptor.h"
#include "payrolldescriptor.h"
#include "transferdescriptor.h"

namespace kova {

const QVector<const TypeDescriptor*>& transactionTypes()
{
    static const QVector<const TypeDescriptor*> types{&transferDescriptor(), &creditDescriptor(),
                                                      &collectionDescriptor(), &payrollDescriptor()};
    return types;
}

const TypeDescriptor& descriptorOf(BatchType type)
{
    for (const TypeDescriptor* descriptor : transactionTypes())
        if (descriptor->type == type)
            return *descriptor;
    // Every BatchType has its descriptor above.
    return transferDescriptor();
}

const TypeDescriptor* descriptorForKeyword(const QString& keyword)
{
    for (const TypeDescriptor* descriptor : transactionTypes())
        if (descriptor->keyword == keyword)
            return descriptor;
    return nullptr;
}

QString batchTypeName(BatchType type)
{
    return descriptorOf(type).displayName;
}

} // namespace kova
