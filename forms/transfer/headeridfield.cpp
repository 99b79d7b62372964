#include "headeridfield.h"

#include "types/transferdescriptor.h"
#include "core/transfer/transfersettings.h"

#include <QLineEdit>
#include <QSettings>

HeaderIdField::HeaderIdField(const QString& settingsPath)
    : m_settingsPath(settingsPath)
{
}

qint64 HeaderIdField::stored() const
{
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.beginGroup(kova::transferDescriptor().group);
    const std::optional<qint64> stored = kova::storedHeaderId(settings.value(kova::transferHeaderIdKey()));
    return stored ? qMax<qint64>(*stored, 1) : 0;
}

void HeaderIdField::catchUp(QLineEdit* field) const
{
    const qint64 next = stored();
    if (next == 0)
        return;
    bool typed = false;
    const qint64 shown = field->text().toLongLong(&typed, 10);
    if (!typed || shown < next)
        field->setText(QString::number(next));
}
