#pragma once

#include "types/batchtype.h"

class QWidget;
class TransactionForm;

// The form of one transaction type, owned by parent.
TransactionForm* createTransactionForm(kova::BatchType type, QWidget* parent = nullptr);
