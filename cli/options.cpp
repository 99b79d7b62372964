#include "options.h"

#include "settings/settingsfile.h"
#include "types/registry.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// Options every type takes, then each type's own ones.
const QStringList commonOptions = {
    QStringLiteral("source"), QStringLiteral("sheet"), QStringLiteral("dest"), QStringLiteral("settings"),
    QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("effective"), QStringLiteral("report"),
    QStringLiteral("header-row"),
    QStringLiteral("delimiter"), QStringLiteral("encoding"), QStringLiteral("date-order"),
    QStringLiteral("decimal-mark"),
};

QStringList typeOptions(const QString& type)
{
    const kova::TypeDescriptor* descriptor = kova::descriptorForKeyword(type);
    return descriptor ? descriptor->options : QStringList();
}

const QStringList valueOptions = commonOptions + QStringList{
    QStringLiteral("mode"), QStringLiteral("clearing"), QStringLiteral("wdk"), QStringLiteral("min"),
    QStringLiteral("max"), QStringLiteral("account"), QStringLiteral("remarks1"), QStringLiteral("remarks2"),
    QStringLiteral("holiday"), QStringLiteral("header-id"), QStringLiteral("corporate-id"),
};

std::optional<QDate> parseDate(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("\\A[0-9]{4}-[0-9]{2}-[0-9]{2}\\z"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// A limit must read as a number in limit text ("500.000.000" or "500000000");
// a zero is left for the settings checks to refuse, as the form does.
bool isLimitText(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("\\A[0-9]+\\z"));
    QString plain = text;
    plain.remove(QLatin1Char('.'));
    bool ok = false;
    plain.toULongLong(&ok, 10);
    return ok && digits.match(plain).hasMatch();
}

class Reader final
{
public:
    explicit Reader(const QCommandLineParser& parser) : m_parser(parser) {}

    bool has(const QString& name) const { return m_parser.isSet(name); }
    QString value(const QString& name) const { return m_parser.value(name); }

    // The first fault is the one reported.
    void fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
    }
    const QString& error() const { return m_error; }

    QDate date(const QString& name)
    {
        if (!has(name))
            return QDate::currentDate();
        const auto date = parseDate(value(name));
        if (!date)
            fail(QStringLiteral("--%1: not a date YYYY-MM-DD: %2").arg(name, value(name)));
        return date.value_or(QDate());
    }

    int pick(const QString& name, const QStringList& choices)
    {
        if (!has(name))
            return 0;
        const int index = choices.indexOf(value(name));
        if (index < 0)
            fail(QStringLiteral("--%1 must be one of %2: %3").arg(name, choices.join(QLatin1Char('|')), value(name)));
        return qMax(index, 0);
    }

    std::optional<QString> limit(const QString& name)
    {
        if (!has(name))
            return std::nullopt;
        if (!isLimitText(value(name)))
            fail(QStringLiteral("--%1: not a number: %2").arg(name, value(name)));
        return value(name);
    }

    std::optional<QString> text(const QString& name) const
    {
        return has(name) ? std::optional<QString>(value(name)) : std::nullopt;
    }

    xlsx::TextOptions textOptions()
    {
        xlsx::TextOptions text;
        const auto named = [this](const QString& name, const QString& choices, auto parse, auto& into) {
            if (!has(name))
                return;
            const auto parsed = parse(value(name));
            if (parsed)
                into = *parsed;
            else
                fail(QStringLiteral("--%1 must be one of %2: %3").arg(name, choices, value(name)));
        };
        named(QStringLiteral("delimiter"), QStringLiteral("comma|semicolon|tab|pipe"), xlsx::delimiterNamed, text.delimiter);
        named(QStringLiteral("encoding"), QStringLiteral("utf-8|utf-16le|utf-16be|windows-1252"), xlsx::encodingNamed,
              text.encoding);
        named(QStringLiteral("date-order"), QStringLiteral("dmy|mdy"), xlsx::dateOrderNamed, text.dateOrder);
        named(QStringLiteral("decimal-mark"), QStringLiteral("dot|comma"), xlsx::decimalMarkNamed, text.decimalMark);
        return text;
    }

private:
    const QCommandLineParser& m_parser;
    QString m_error;
};

} // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QString& flag : {QStringLiteral("help"), QStringLiteral("allow-duplicate"), QStringLiteral("save-mapping")})
        parser.addOption(QCommandLineOption(flag));
    for (const QString& name : valueOptions)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));

    ParsedCommandLine result;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        result.help = true;
        return result;
    }
    if (!parsed) {
        result.error = parser.errorText();
        return result;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        result.error = QStringLiteral("missing TYPE");
        return result;
    }
    Options& o = result.options;
    const QString word = positional.first();
    if (word == QLatin1String("history"))
        o.action = Options::Action::History;
    else if (word == QLatin1String("template"))
        o.action = Options::Action::Template;
    const int typeAt = o.action == Options::Action::Template ? 1 : 0;
    if (o.action != Options::Action::History) {
        if (positional.size() <= typeAt) {
            result.error = QStringLiteral("missing TYPE");
            return result;
        }
        o.type = positional.at(typeAt);
        if (!kova::descriptorForKeyword(o.type)) {
            result.error = QStringLiteral("unknown type: ") + o.type;
            return result;
        }
    }
    const int expected = o.action == Options::Action::History ? 1 : typeAt + 1;
    if (positional.size() > expected) {
        result.error = QStringLiteral("unexpected argument: ") + positional.at(expected);
        return result;
    }

    QStringList allowed = commonOptions + typeOptions(o.type) + QStringList{QStringLiteral("allow-duplicate")};
    // Delimited text has one sheet: --sheet may be left out for it.
    QStringList required = {QStringLiteral("source"), QStringLiteral("dest")};
    if (o.action == Options::Action::History) {
        allowed = QStringList{QStringLiteral("settings")};
        required.clear();
    } else if (o.action == Options::Action::Template) {
        allowed = QStringList{QStringLiteral("dest"), QStringLiteral("save-mapping"), QStringLiteral("settings")};
        required = QStringList{QStringLiteral("dest")};
    }
    const QStringList given = parser.optionNames();
    for (const QString& name : given) {
        if (!allowed.contains(name)) {
            result.error = QStringLiteral("--%1 does not apply to %2").arg(name, o.action == Options::Action::Export ? o.type : word);
            return result;
        }
        if (given.count(name) > 1) {
            result.error = QStringLiteral("--%1 given more than once").arg(name);
            return result;
        }
    }
    o.settingsPath = parser.isSet(QStringLiteral("settings")) ? parser.value(QStringLiteral("settings"))
                                                               : kova::defaultSettingsPath();
    o.dest = parser.value(QStringLiteral("dest"));
    o.saveMapping = parser.isSet(QStringLiteral("save-mapping"));
    o.allowDuplicate = parser.isSet(QStringLiteral("allow-duplicate"));
    for (const QString& name : qAsConst(required)) {
        if (parser.value(name).trimmed().isEmpty()) {
            result.error = QStringLiteral("missing --") + name;
            return result;
        }
    }
    if (o.action != Options::Action::Export)
        return result;

    Reader r(parser);
    o.source = r.value(QStringLiteral("source"));
    o.sheet = r.value(QStringLiteral("sheet"));
    o.reportPath = r.value(QStringLiteral("report"));
    o.from = r.date(QStringLiteral("from"));
    o.to = r.date(QStringLiteral("to"));
    if (r.has(QStringLiteral("effective")))
        o.effective = r.date(QStringLiteral("effective"));

    o.mode = r.pick(QStringLiteral("mode"), {QStringLiteral("wdk"), QStringLiteral("others")}) == 1
                 ? kova::BankMode::Others
                 : kova::BankMode::WDK;
    o.clearingIndex = r.pick(QStringLiteral("clearing"), {QStringLiteral("llg"), QStringLiteral("rtgs")});
    o.wdkIndex = r.pick(QStringLiteral("wdk"), {QStringLiteral("sp"), QStringLiteral("mp")});
    o.holiday = r.pick(QStringLiteral("holiday"), {QStringLiteral("before"), QStringLiteral("after")}) == 1
                    ? Options::Holiday::After
                    : Options::Holiday::Before;
    o.minLimit = r.limit(QStringLiteral("min"));
    o.maxLimit = r.limit(QStringLiteral("max"));
    o.remarks1 = r.value(QStringLiteral("remarks1"));
    o.remarks2 = r.value(QStringLiteral("remarks2"));
    o.headerId = r.text(QStringLiteral("header-id"));
    o.text = r.textOptions();
    o.corporateId = r.text(QStringLiteral("corporate-id"));

    if (r.has(QStringLiteral("header-row"))) {
        static const QRegularExpression digits(QStringLiteral("\\A[0-9]+\\z"));
        const QString text = r.value(QStringLiteral("header-row"));
        bool ok = false;
        const int row = text.toInt(&ok, 10);
        if (!digits.match(text).hasMatch() || !ok || row < 1 || row > 1048575)
            r.fail(QStringLiteral("--header-row must be a row number from 1 to 1048575: ") + text);
        o.headerRow = row;
    }

    if (r.has(QStringLiteral("account"))) {
        static const QRegularExpression digits(QStringLiteral("\\A[0-9]+\\z"));
        const QString text = r.value(QStringLiteral("account"));
        bool ok = false;
        const int row = text.toInt(&ok, 10);
        if (!digits.match(text).hasMatch() || !ok || row < 1)
            r.fail(QStringLiteral("--account must be a positive integer: ") + text);
        o.account = row;
    }

    // Silently dropping these would export a batch other than the one asked for.
    if (o.mode == kova::BankMode::WDK) {
        for (const QString& name : {QStringLiteral("clearing"), QStringLiteral("min"), QStringLiteral("max")})
            if (r.has(name))
                r.fail(QStringLiteral("--%1 needs --mode others").arg(name));
    } else if (r.has(QStringLiteral("wdk"))) {
        r.fail(QStringLiteral("--wdk needs --mode wdk"));
    }

    result.error = r.error();
    return result;
}
