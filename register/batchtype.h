#pragma once

#include <QString>

#include <optional>

namespace kova {

enum class BatchType { Transfer, Credit, Collection, Payroll };

// The name the window shows and the register stores: "Auto Transfer",
// "Auto Credit", "Auto Collection", "Payroll".
QString batchTypeName(BatchType type);

// The TYPE word of kova-export: "transfer", "credit", "collection", "payroll".
std::optional<BatchType> batchTypeFromCommand(const QString& word);

} // namespace kova
