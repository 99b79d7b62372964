#pragma once

#include "settings/sourceaccount.h"

#include <QVector>

#include <optional>

// The accounts table row that --account N checks: row N (1-based) of the
// stored table. No option, or a row the table does not have, checks none,
// which the export refuses as not defined, as the form does.
std::optional<kova::SourceAccount> checkedAccount(const QVector<kova::SourceAccount>& stored,
                                                  std::optional<int> row);
