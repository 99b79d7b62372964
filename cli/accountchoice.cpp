#include "accountchoice.h"

std::optional<kova::SourceAccount> checkedAccount(const QVector<kova::SourceAccount>& stored,
                                                  std::optional<int> row)
{
    if (!row || *row < 1 || *row > stored.size())
        return std::nullopt;
    return stored.at(*row - 1);
}
