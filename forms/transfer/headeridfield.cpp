#include "headeridfield.h"

#include "core/transfer/headeridreservation.h"
#include "core/transfer/transfersettings.h"

#include <QLineEdit>

HeaderIdField::HeaderIdField(const QString& settingsPath, QLineEdit* field)
    : m_settingsPath(settingsPath)
    , m_field(field)
    , m_ownText(field->text())
{
}

bool HeaderIdField::typed() const
{
    return m_field->text() != m_ownText;
}

void HeaderIdField::setText(const QString& text)
{
    m_field->setText(text);
    m_ownText = m_field->text();
}

void HeaderIdField::follow()
{
    if (typed())
        return;
    const std::optional<qint64> next = kova::nextFreeHeaderId(m_settingsPath);
    if (next && kova::headerIdNumber(m_field->text()) != next)
        setText(QString::number(*next));
}

std::optional<qint64> HeaderIdField::raise()
{
    const std::optional<qint64> next = kova::nextFreeHeaderId(m_settingsPath);
    const std::optional<qint64> shown = kova::headerIdNumber(m_field->text());
    if (!next || (shown && *shown >= *next))
        return std::nullopt;
    setText(QString::number(*next));
    return shown;
}

void HeaderIdField::afterExport()
{
    raise();
    follow();
}

void HeaderIdField::saved()
{
    m_ownText = m_field->text();
}
