#pragma once

#include "accountsettings.h"
#include "exportjob.h"

#include "record/cells.h"
#include "record/money.h"
#include "record/rowmessage.h"
#include "record/textfield.h"
#include "settings/sourceaccount.h"

#include <QDate>
#include <QString>

#include <optional>

namespace kova {

// The engine of a type whose batch names one of the company's own accounts,
// the checked row of its form's accounts table: credit, collection, payroll.
// Their records are of one width, their header's total field of another, and
// the date filter is the filter they all have. A type adds its record layout
// and its own rules.
class AccountExport : public ExportJob
{
public:
    // The checked account row first (its type's words), then batchRefusal().
    QString refusal() const final;
    // The batch's date (none for "Immediate On Authorization") and account.
    BatchKey batchKey() const final;
    int recordWidth() const final { return m_batch.recordWidth; }
    // The date filter; every row it leaves out is outsideDates.
    int leftOutBy(const reader::Document& sheet, int row) const override;
    QString leftOutNote(int reason, int count) const override;
    // kova::headerOverflow on the header's total field.
    QString overflow(const ExportTotals& totals) const final;

    // Why leftOutBy() leaves a row out; a type's own filters number theirs after it.
    static constexpr int outsideDates = 0;

    // The settings file the batch was chosen in: the register and the locks
    // of its export lie beside it.
    const QString& settingsPath() const { return m_settingsPath; }

protected:
    // What a type tells of its batch beside the settings all three share.
    struct Batch
    {
        // The checked row of the accounts table; refusal() names a missing one.
        std::optional<SourceAccount> account;
        // refusal()'s words for what is wrong with that row.
        const SourceAccountMessages& accountMessages;
        // The effective date the register files the batch under; none when
        // the header carries none.
        QDate date;
        // Characters of every record, header and detail, without its line feed.
        int recordWidth;
        int totalWidth;
    };

    template <typename Field>
    AccountExport(const TypeDescriptor& type, const AccountSettings<Field>& settings, const Batch& batch)
        : ExportJob(type, settings.columns.toVector(), settings.hasColumnHeader, settings.header)
        , m_batch(batch)
        , m_account(batch.account.value_or(SourceAccount()))
        , m_dates{settings.columns[Field::TrxDate], settings.dateFrom, settings.dateTo}
        , m_settingsPath(settings.settingsPath)
    {
    }

    // The checked row; empty when none is, which refusal() stops first.
    const SourceAccount& account() const { return m_account; }
    // The type's own batch checks, made once the account row passed: the
    // first refusal, or empty.
    virtual QString batchRefusal() const = 0;

    // The row's amount in field, at most max: shown and added to the batch
    // total, for the type to write in its own layout. None, with "Invalid
    // amount" and the cell shown as read, when the cell holds no valid amount.
    template <typename Field>
    std::optional<Cents> rowAmount(const reader::Document& sheet, int row, Field field, Cents max,
                                   RowContext& out) const
    {
        const AmountCell amount = cellAmount(sheet, row, columns().at(int(field)), max, reading(), out);
        if (amount.cents) {
            putDisplayAmount(out.place(field), *amount.cents);
            out.addToTotal(*amount.cents);
        } else {
            out.error(QStringLiteral("Invalid amount"), field);
            out.show(field, amount.text);
        }
        return amount.cents;
    }

    // The account a row names where it must be one of this bank's (the
    // collection's debited account, the employee's paid one): digits only,
    // exactly ten of them. Shown, and returned, padded to ten as the record
    // takes it.
    template <typename Field>
    const QString& accountNumber(const reader::Document& sheet, int row, Field field, RowContext& out) const
    {
        const QString& account = out.cellText(sheet, row, columns().at(int(field)));
        if (!isDigitsOnly(account))
            out.error(invalidCharacters(out.title(field)), field);
        else if (account.size() != accountNumberWidth)
            out.error({QString(), descriptor().fields.at(int(field)).messageName + QLatin1Char(' '),
                       QStringLiteral("must be 10 digits")},
                      field);
        putLeftPadded(out.place(field), account, accountNumberWidth);
        return out.shown(field);
    }

private:
    static constexpr int accountNumberWidth = 10;

    Batch m_batch;
    SourceAccount m_account;
    DateFilter m_dates;
    QString m_settingsPath;
};

} // namespace kova
