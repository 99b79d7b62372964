#include "transfersettings.h"

#include "record/textfield.h"
#include "settings/mappingstore.h"
#include "settings/settingsfile.h"
#include "settings/settingskey.h"

#include <QSettings>

namespace kova {

namespace {

// The transfer group's keys beside its mapping's and the Header ID.
const SettingsKey corporateIdKey{QStringLiteral("CompanyID"), QString()};

} // namespace

QString transferHeaderIdKey()
{
    return QStringLiteral("HeaderID");
}

std::optional<qint64> headerIdNumber(const QString& text)
{
    bool whole = false;
    const qint64 number = text.toLongLong(&whole, 10);
    return whole ? std::optional<qint64>(number) : std::nullopt;
}

StoredHeaderId readStoredHeaderId(const QSettings& settings)
{
    const QString key = transferDescriptor().group + QLatin1Char('/') + transferHeaderIdKey();
    // A count never begun: 0, which shows as 1.
    if (!settings.contains(key))
        return {QString(), 0};
    const QString text = settings.value(key).toString();
    return {text, headerIdNumber(text)};
}

QString storedHeaderIdRefusal(const QString& text)
{
    return QStringLiteral("Settings key %1/%2 is not a whole number: \"%3\"")
        .arg(transferDescriptor().group, transferHeaderIdKey(), text);
}

QString headerIdBoundText()
{
    return QStringLiteral("Max value of Header ID is ") + QString::number(largestHeaderId);
}

qint64 TransferSettings::typedHeaderId() const
{
    return headerIdNumber(headerIdText).value_or(0);
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
    // Without a typed one the batch takes the stored one: refused before any
    // row is read, as the export would refuse it after.
    if (s.useStoredHeaderId && !headerIdNumber(s.headerIdText))
        return storedHeaderIdRefusal(s.headerIdText);
    const qint64 headerId = s.typedHeaderId();
    // A number read past a tab or a foreign digit is not the number the file
    // and the next run will read back.
    if (headerId == 0 || !isPrintableAscii(s.headerIdText))
        return QStringLiteral("Invalid Header ID");
    // A negative one is no Header ID either, and reads as beyond the bound.
    if (headerId < 0 || headerId > largestHeaderId)
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
    const StoredHeaderId headerId = readStoredHeaderId(file);
    // Shown as it stands when it is no whole number, for the checks to
    // refuse: shown as 1, one Save would start the count again.
    if (headerId.number)
        s.headerIdText = QString::number(*headerId.number == 0 ? 1 : *headerId.number);
    else
        s.headerIdText = headerId.text;
    file.beginGroup(transferDescriptor().group);
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

bool saveTransferSettings(const TransferSettings& s, QSettings& settings)
{
    settings.beginGroup(transferDescriptor().group);
    settings.setValue(transferHeaderIdKey(), s.headerIdText);
    settings.setValue(corporateIdKey.name, s.corporateId);
    settings.endGroup();
    return syncSettings(settings);
}

} // namespace kova
