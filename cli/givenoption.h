#pragma once

#include <QDate>
#include <QString>

#include <optional>

class QCommandLineParser;
struct CommandOption;

// One option of the table as a command line gives it, and the checks its
// value may take. A fault is told only when none was found before it.
class GivenOption final
{
public:
    GivenOption(const QCommandLineParser& parser, const CommandOption& option, QString& fault);

    bool given() const;
    // As given; empty when not given.
    QString text() const;
    std::optional<QString> textIfGiven() const;

    void fail(const QString& message);

    // YYYY-MM-DD, a day of the calendar; today when not given.
    QDate date();
    // The index of the value among the option's choices, exactly as written; 0 when not given.
    int choice();
    // The value as parse names it, which may take other spellings of the
    // choices; nullopt when not given or not named.
    template <typename T>
    std::optional<T> named(std::optional<T> (*parse)(const QString&))
    {
        if (!given())
            return std::nullopt;
        const std::optional<T> parsed = parse(text());
        if (!parsed)
            failChoice();
        return parsed;
    }
    // A limit as typed: digits, with dots grouping them or not ("500.000.000").
    std::optional<QString> limit();
    // A row number from 1 to last, in plain digits.
    std::optional<int> rowNumber(int last);

private:
    void failChoice();

    const QCommandLineParser& m_parser;
    const CommandOption& m_option;
    QString& m_fault;
};
