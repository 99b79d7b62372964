#include "commands.h"

Command commandFor(const QString& type)
{
    if (type == QLatin1String("transfer"))
        return runTransferCommand;
    if (type == QLatin1String("credit"))
        return runCreditCommand;
    if (type == QLatin1String("collection"))
        return runCollectionCommand;
    // parseCommandLine admits the four types only.
    return runPayrollCommand;
}
