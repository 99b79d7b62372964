#include "textoptions.h"

namespace reader {

std::optional<char> delimiterNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("comma") || n == QLatin1String(","))
        return ',';
    if (n == QLatin1String("semicolon") || n == QLatin1String(";"))
        return ';';
    if (n == QLatin1String("tab") || n == QLatin1String("\t"))
        return '\t';
    if (n == QLatin1String("pipe") || n == QLatin1String("|"))
        return '|';
    return std::nullopt;
}

std::optional<TextEncoding> encodingNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("utf-8"))
        return TextEncoding::Utf8;
    if (n == QLatin1String("utf-16le"))
        return TextEncoding::Utf16LE;
    if (n == QLatin1String("utf-16be"))
        return TextEncoding::Utf16BE;
    if (n == QLatin1String("windows-1252"))
        return TextEncoding::Windows1252;
    return std::nullopt;
}

std::optional<DateOrder> dateOrderNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("dmy"))
        return DateOrder::DayMonthYear;
    if (n == QLatin1String("mdy"))
        return DateOrder::MonthDayYear;
    return std::nullopt;
}

std::optional<DecimalMark> decimalMarkNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("dot") || n == QLatin1String("."))
        return DecimalMark::Dot;
    if (n == QLatin1String("comma") || n == QLatin1String(","))
        return DecimalMark::Comma;
    return std::nullopt;
}

} // namespace reader
