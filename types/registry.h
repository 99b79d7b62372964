#pragma once

#include "typedescriptor.h"

#include <QVector>

namespace kova {

// The four transaction types, in the order of the window's type list.
const QVector<const TypeDescriptor*>& transactionTypes();

const TypeDescriptor& descriptorOf(BatchType type);

// The type whose kova-export TYPE word is keyword; nullptr for none.
const TypeDescriptor* descriptorForKeyword(const QString& keyword);

// The name the window shows and the register stores, e.g. "Auto Transfer".
QString batchTypeName(BatchType type);

} // namespace kova
