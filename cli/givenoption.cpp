#include "givenoption.h"

#include "optiontable.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

bool isDigits(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("\\A[0-9]+\\z"));
    return digits.match(text).hasMatch();
}

} // namespace

GivenOption::GivenOption(const QCommandLineParser& parser, const CommandOption& option, QString& fault)
    : m_parser(parser), m_option(option), m_fault(fault)
{
}

bool GivenOption::given() const
{
    return m_parser.isSet(m_option.name);
}

QString GivenOption::text() const
{
    return m_parser.value(m_option.name);
}

std::optional<QString> GivenOption::textIfGiven() const
{
    return given() ? std::optional<QString>(text()) : std::nullopt;
}

void GivenOption::fail(const QString& message)
{
    if (m_fault.isEmpty())
        m_fault = message;
}

QDate GivenOption::date()
{
    if (!given())
        return QDate::currentDate();
    static const QRegularExpression shape(QStringLiteral("\\A[0-9]{4}-[0-9]{2}-[0-9]{2}\\z"));
    const QDate date = shape.match(text()).hasMatch() ? QDate::fromString(text(), QStringLiteral("yyyy-MM-dd")) : QDate();
    if (!date.isValid())
        fail(QStringLiteral("%1: not a date YYYY-MM-DD: %2").arg(m_option.flag(), text()));
    return date;
}

int GivenOption::choice()
{
    if (!given())
        return 0;
    const int index = m_option.choices.indexOf(text());
    if (index < 0)
        failChoice();
    return qMax(index, 0);
}

void GivenOption::failChoice()
{
    fail(QStringLiteral("%1 must be one of %2: %3").arg(m_option.flag(), m_option.placeholder, text()));
}

// A zero is left for the settings checks to refuse, as the form does.
std::optional<QString> GivenOption::limit()
{
    if (!given())
        return std::nullopt;
    QString plain = text();
    plain.remove(QLatin1Char('.'));
    bool ok = false;
    plain.toULongLong(&ok, 10);
    if (!ok || !isDigits(plain))
        fail(QStringLiteral("%1: not a number: %2").arg(m_option.flag(), text()));
    return text();
}

std::optional<int> GivenOption::rowNumber(int last)
{
    if (!given())
        return std::nullopt;
    bool ok = false;
    const int row = text().toInt(&ok, 10);
    if (!isDigits(text()) || !ok || row < 1 || row > last) {
        fail(QStringLiteral("%1 must be a row number from 1 to %2: %3").arg(m_option.flag()).arg(last).arg(text()));
        return std::nullopt;
    }
    return row;
}
