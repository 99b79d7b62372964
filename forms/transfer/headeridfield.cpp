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
    const QVariant value = settings.value(kova::transferHeaderIdKey());
    if (!value.isValid())
        return 1;
    bool whole = false;
    const qint64 number = value.toString().toLongLong(&whole, 10);
    return whole ? qMax<qint64>(number, 1) : 0;
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
