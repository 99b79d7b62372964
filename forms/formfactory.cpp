#include "formfactory.h"

#include "forms/collection/collectionform.h"
#include "forms/credit/creditform.h"
#include "forms/payroll/payrollform.h"
#include "forms/transfer/transferform.h"

namespace {

// The form among Forms whose descriptor is of type; nullptr for none.
template <typename... Forms>
TransactionForm* formOf(kova::BatchType type, QWidget* parent)
{
    TransactionForm* form = nullptr;
    ((form = !form && Forms::descriptor().type == type ? new Forms(parent) : form), ...);
    return form;
}

} // namespace

TransactionForm* createTransactionForm(kova::BatchType type, QWidget* parent)
{
    return formOf<TransferForm, CreditForm, CollectionForm, PayrollForm>(type, parent);
}
