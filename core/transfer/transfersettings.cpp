#include "transfersettings.h"

#include "record/textfield.h"
#include "settings/mappingstore.h"
#include "settings/settingsfile.h"
#include "settings/settingskey.h"

#include <QSettings>

namespace kova {

namespace {

// The transfer group's keys beside its mapping's. A missing Header ID reads
// as 0, which shows as 1.
const SettingsKey headerIdKey{QStringLiteral("HeaderID"), 0};
const SettingsKey corporateIdKey{QStringLiteral("CompanyID"), QString()};

} // namespace

QString transferHeaderIdKey()
{
    return headerIdKey.name;
}

std::optional<qint64> storedHeaderId(const QVariant& value)
{
    if (!value.isValid())
        return 0;
    bool whole = false;
    const qint64 number = value.toString().toLongLong(&whole, 10);
    return whole ? std::optional<qint64>(number) : std::nullopt;
}

QString headerIdBoundText()
{
    return QStringLiteral("Max value of Header ID is ") + QString::number(largestHeaderId);
}

int TransferSettings::typedHeaderId() const
{
    bool ok = false;
    const int value = headerIdText.toInt(&ok, 10);
    return ok ? value : 0;
}

void TransferSettings::chooseClearing(int index)
{
    mode = index < 0 ? BankMode::WDK : BankMode::Others;
    clearingIndex = index;
    minLimitText = limitText(limits.minimum(index));
    maxLimitText = limitText(limits.maximum(index));
}

QString validateTransferSettings(const TransferSettings& s)
{
    const QString missing = missingRequiredField(transferDescriptor(), s.columns.toVector(),
                                                       s.mode == BankMode::Others);
    if (!missing.isEmpty())
        return missing;
    if (s.mode == BankMode::Others) {
        const QString limits = checkLimitTexts(s.minLimitText, s.maxLimitText);
        if (!limits.isEmpty())
            return limits;
    }
    const int headerId = s.typedHeaderId();
    // A number read past a tab or a foreign digit is not the number the file
    // and the next run will read back.
    if (headerId == 0 || !isPrintableAscii(s.headerIdText))
        return QStringLiteral("Invalid Header ID");
    // A negative one is no Header ID either, and reads as beyond the bound.
    if (unsigned(headerId) > largestHeaderId)
        return headerIdBoundText();
    if (s.corporateId.trimmed().isEmpty())
        return QStringLiteral("Corporate ID can not be empty");
    if (s.corporateId.size() != 10)
        return QStringLiteral("Corporate ID must be 10 chars");
    // The Corporate ID goes into the "|"-separated header record as it is:
    // the bank matches it byte for byte, so a tab or a character beyond ASCII
    // would name another company or none. Spaces are printable and count
    // towards its ten characters, as the bank's layout takes them.
    if (s.corporateId.contains(QLatin1Char('|')) || !isPrintableAscii(s.corporateId))
        return QStringLiteral("Corporate ID contains invalid chars");
    return {};
}

TransferSettings readTransferSettings(const QString& settingsPath)
{
    TransferSettings s;
    s.settingsPath = settingsPath;
    QSettings file(settingsPath, QSettings::IniFormat);
    s.limits = ClearingLimits::read(file);
    const SavedMapping saved = readSavedMapping(file, transferDescriptor());
    s.hasColumnHeader = saved.hasColumnHeader;
    file.beginGroup(transferDescriptor().group);
    const int headerId = headerIdKey.in(file).toInt();
    s.headerIdText = QString::number(headerId == 0 ? 1 : headerId);
    s.corporateId = corporateIdKey.in(file).toString();
    file.endGroup();
    s.columns.assign(saved.columns);
    s.header.row = saved.headerRow;
    s.header.texts = saved.headerTexts;
    const QDate today = QDate::currentDate();
    s.dateFrom = s.dateTo = s.effectiveDate = today;
    s.chooseClearing(-1);
    return s;
}

bool saveTransferSettings(const TransferSettings& s)
{
    QSettings settings(s.settingsPath, QSettings::IniFormat);
    settings.beginGroup(transferDescriptor().group);
    writeMapping(settings, transferDescriptor(),
                       {s.columns.toVector(), s.header.texts, s.hasColumnHeader, s.header.row});
    settings.setValue(headerIdKey.name, s.headerIdText);
    settings.setValue(corporateIdKey.name, s.corporateId);
    settings.endGroup();
    return syncSettings(settings);
}

} // namespace kova
