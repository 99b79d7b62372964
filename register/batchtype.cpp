#include "batchtype.h"

namespace kova {
namespace {

struct TypeNames
{
    BatchType type;
    const char* name;
    const char* command;
};

const TypeNames typeNames[] = {
    {BatchType::Transfer, "Auto Transfer", "transfer"},
    {BatchType::Credit, "Auto Credit", "credit"},
    {BatchType::Collection, "Auto Collection", "collection"},
    {BatchType::Payroll, "Payroll", "payroll"},
};

} // namespace

QString batchTypeName(BatchType type)
{
    for (const TypeNames& names : typeNames)
        if (names.type == type)
            return QString::fromLatin1(names.name);
    return {};
}

std::optional<BatchType> batchTypeFromCommand(const QString& word)
{
    for (const TypeNames& names : typeNames)
        if (word == QLatin1String(names.command))
            return names.type;
    return std::nullopt;
}

} // namespace kova
