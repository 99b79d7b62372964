#include "formfactory.h"

#include "forms/collection/collectionform.h"
#include "forms/credit/creditform.h"
#include "forms/payroll/payrollform.h"
#include "forms/transfer/transferform.h"

TransactionForm* createTransactionForm(kova::BatchType type, QWidget* parent)
{
    switch (type) {
    case kova::BatchType::Transfer: return new TransferForm(parent);
    case kova::BatchType::Credit: return new CreditForm(parent);
    case kova::BatchType::Collection: return new CollectionForm(parent);
    case kova::BatchType::Payroll: return new PayrollForm(parent);
    }
    // A number that names no type.
    return nullptr;
}
