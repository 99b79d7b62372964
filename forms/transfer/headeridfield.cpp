#include "headeridfield.h"

#include "core/transfer/transfersettings.h"

#include <QLineEdit>
#include <QSettings>

HeaderIdField::HeaderIdField(const QString& settingsPath)
    : m_settingsPath(settingsPath)
{
}

qint64 HeaderIdField::stored() const
{
    const std::optional<qint64> stored =
        kova::readStoredHeaderId(QSettings(m_settingsPath, QSettings::IniFormat)).number;
    return stored ? qMax<qint64>(*stored, 1) : 0;
}

void HeaderIdField::catchUp(QLineEdit* field) const
{
    const qint64 next = stored();
    if (next == 0)
        return;
    const std::optional<qint64> shown = kova::headerIdNumber(field->text());
    if (!shown || *shown < next)
        field->setText(QString::number(next));
}
