#pragma once

#include "optiontable.h"

#include "settings/clearing.h"
#include "reader/cells/textoptions.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// What one kova-export invocation asks for, checked for form but not against
// the settings file or the workbook (those are the engines' business).
struct Options
{
    enum class Holiday { Before, After };
    // "history" and "template" take the place of TYPE.
    enum class Action { Export, History, Template };

    Action action = Action::Export;
    QString type;
    QString source;
    QString sheet;                  // may be empty for delimited text, which has one sheet
    QString dest;
    QString settingsPath;
    QDate from;
    QDate to;
    kova::BankMode mode = kova::BankMode::WDK;
    int clearingIndex = 0;          // 0 LLG, 1 RTGS; used in Others mode only
    int wdkIndex = 0;               // 0 "One To One (SP)", 1 "One To Many (MP)"
    std::optional<QString> minLimit;   // limit texts as typed
    std::optional<QString> maxLimit;
    std::optional<QDate> effective;
    std::optional<int> account;     // 1-based row of the stored "Accounts" table
    QString remarks1;
    QString remarks2;
    Holiday holiday = Holiday::Before;
    std::optional<QString> headerId;
    std::optional<QString> corporateId;
    QString reportPath;
    // The named layout the sheet is read by; empty: the one whose saved
    // column titles the sheet has.
    QString layout;
    // Written only after the upload file was.
    QString summaryPath;
    bool allowDuplicate = false;
    bool saveMapping = false;   // template: store its column order for TYPE
    std::optional<int> headerRow;   // the row of column titles, instead of the saved one
    reader::TextOptions text;     // how a source of delimited text is read
    // The workbook's password, from --password-file or KOVA_PASSWORD: never
    // taken from the command line, where other users see it, and never printed.
    QString password;
};

struct ParsedCommandLine
{
    bool help = false;
    QString error;   // non-empty: bad usage
    Options options;
};

class QCommandLineParser;

// arguments as QCoreApplication::arguments() gives them (program name first).
// Dates default to today, the settings path to the one kova uses.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// The first word that is no option nor an option's value ("verify", "history",
// a type...), wherever it stands among the options; empty when there is none
// or the options do not read.
QString commandWord(const QStringList& arguments);

// A parser that knows the options commands take, and no other.
void addOptions(QCommandLineParser& parser, Commands commands);

// The options the parser found, read into options (those not given as they
// are when not given) and checked for command, called commandName: the first
// problem, or empty.
QString readOptions(const QCommandLineParser& parser, Commands command, const QString& commandName, Options& options);
