#include "commands.h"

#include "core/mappingstore.h"
#include "core/registry.h"
#include "export/settingsfile.h"

#include <QSettings>

Command commandFor(const QString& type)
{
    // parseCommandLine admits the registry's keywords only.
    switch (kova::descriptorForKeyword(type)->type) {
    case kova::BatchType::Transfer:
        return runTransferCommand;
    case kova::BatchType::Credit:
        return runCreditCommand;
    case kova::BatchType::Collection:
        return runCollectionCommand;
    case kova::BatchType::Payroll:
        break;
    }
    return runPayrollCommand;
}

QString saveTemplateMapping(kova::BatchType type, const QString& settingsPath)
{
    const kova::TypeDescriptor& descriptor = kova::descriptorOf(type);
    QVector<int> columns;
    for (int i = 0; i < descriptor.fields.size(); ++i)
        columns.append(i + 1);
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(descriptor.group);
    kova::writeMapping(settings, descriptor, columns, true);
    settings.endGroup();
    return kova::syncSettings(settings) ? QString()
                                        : QStringLiteral("Unable to write settings ") + settingsPath;
}
