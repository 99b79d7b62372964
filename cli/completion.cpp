#include "completion.h"

#include "optiontable.h"

#include "types/registry.h"

#include <QRegularExpression>

namespace {

const int width = 100;
const QString armIndent(8, QLatin1Char(' '));
const QString bodyIndent(12, QLatin1Char(' '));

// words joined by separator, from column on, broken before a word that would
// pass width with what follows it (lineEnd, or tail after the last word): the
// line then ends in lineEnd and the next starts with indent.
QString wrapped(const QStringList& words, int column, const QString& separator, const QString& lineEnd,
                const QString& indent, int tail)
{
    QString text;
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words.at(i);
        const int after = i + 1 == words.size() ? tail : lineEnd.size();
        if (i > 0) {
            if (column + separator.size() + word.size() + after > width) {
                text += lineEnd + QLatin1Char('\n') + indent;
                column = indent.size();
            } else {
                text += separator;
                column += separator.size();
            }
        }
        text += word;
        column += word.size();
    }
    return text;
}

// "--a | --b", from column on, before the ")" that ends a case pattern;
// lines continued with a backslash start with indent.
QString casePattern(const QStringList& flags, int column, const QString& indent)
{
    return wrapped(flags, column, QStringLiteral(" | "), QStringLiteral(" | \\"), indent, 1);
}

// "--a --b", from column on, broken inside the quotes it stands in, whose end
// takes tail columns; lines after the first start with indent.
QString wordList(const QStringList& flags, int column, const QString& indent, int tail)
{
    return wrapped(flags, column, QStringLiteral(" "), QString(), indent, tail);
}

template <typename Keep>
QStringList flags(Keep keep)
{
    QStringList all;
    for (const CommandOption& option : commandOptions())
        if (keep(option))
            all.append(option.flag());
    return all;
}

QString fileCompletion(const QString& endings, const QString& indent)
{
    static const QRegularExpression plain(QStringLiteral("\\A[a-z0-9]*\\z"));
    QString line = indent + QStringLiteral("_filedir");
    if (!endings.isEmpty())
        line += QLatin1Char(' ') + (plain.match(endings).hasMatch() ? endings : QLatin1Char('\'') + endings + QLatin1Char('\''));
    return line + QLatin1Char('\n');
}

// The arms of "case $prev": what the value of each option completes to.
QString valueArms()
{
    const QString end = bodyIndent + QStringLiteral("return\n") + bodyIndent + QStringLiteral(";;\n");
    QString arms;
    for (const CommandOption& option : commandOptions()) {
        if (option.fileNames) {
            arms += armIndent + option.flag() + QStringLiteral(")\n");
            const FileNames& files = *option.fileNames;
            if (files.forTemplate) {
                const QString inner = bodyIndent + QStringLiteral("    ");
                arms += bodyIndent + QStringLiteral("if [[ $command == template ]]; then\n")
                        + fileCompletion(*files.forTemplate, inner) + bodyIndent + QStringLiteral("else\n")
                        + fileCompletion(files.endings, inner) + bodyIndent + QStringLiteral("fi\n");
            } else {
                arms += fileCompletion(files.endings, bodyIndent);
            }
            arms += end;
        } else if (!option.choices.isEmpty()) {
            arms += armIndent + option.flag() + QStringLiteral(")\n") + bodyIndent
                    + QStringLiteral("COMPREPLY=($(compgen -W '%1' -- \"$cur\"))\n").arg(option.choices.join(QLatin1Char(' ')))
                    + end;
        }
    }
    // Typed values: nothing to offer.
    const QStringList typed = flags([](const CommandOption& o) {
        return o.takesValue() && !o.fileNames && o.choices.isEmpty();
    });
    return arms + armIndent + casePattern(typed, armIndent.size(), bodyIndent) + QStringLiteral(")\n") + end;
}

// The arms of "case $command": the options each command takes, with those
// every export takes as $common.
QString commandArms()
{
    QString arms;
    // quoted is the list's start and its quote; the words follow it after a space, if any.
    const auto arm = [&arms](const QString& command, const QString& quoted, const QStringList& flags) {
        QString head = armIndent + command + QStringLiteral(") options=") + quoted;
        if (quoted.size() > 1 && !flags.isEmpty())
            head += QLatin1Char(' ');
        arms += head + wordList(flags, head.size(), bodyIndent, 4) + quoted.at(0) + QStringLiteral(" ;;\n");
    };
    for (const kova::TypeDescriptor* type : kova::transactionTypes()) {
        const Commands command = exportOf(type->type);
        arm(type->keyword, QStringLiteral("\"$common"), flags([command](const CommandOption& o) {
                return (o.takes & command) && (o.takes & everyExport) != everyExport;
            }));
    }
    arm(QStringLiteral("history"), QStringLiteral("'"),
        flags([](const CommandOption& o) { return o.takes & historyCommand; }));
    arm(QStringLiteral("template"), QStringLiteral("'"),
        flags([](const CommandOption& o) { return o.takes & templateCommand; }));
    arm(QStringLiteral("verify"), QStringLiteral("'"),
        flags([](const CommandOption& o) { return o.takes & verifyCommand; }));
    return arms;
}

const char* const skeleton = R"bash(# bash completion for kova-export                          -*- shell-script -*-
# Written by kova-export-completion from kova-export's table of options
# (cli/optiontable.cpp): test_options fails while this file is not what the
# table writes. The options each command takes are those kova-export accepts
# for it, so a completed line is never refused as "does not apply".

_kova_export()
{
    local cur prev words cword split
    _init_completion -s || return

    local types='@TYPES@'

    # The command (a type, history, template or verify), the template's type,
    # and the options already given (each may be given once).
    local i word command='' type='' given=' '
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        case $word in
            --*=*) given+="${word%%=*} " ;;
            @VALUED@)
                given+="$word "
                ((i++))
                ;;
            --*) given+="$word " ;;
            *)
                if [[ -z $command ]]; then
                    command=$word
                elif [[ $command == template && -z $type ]]; then
                    type=$word
                fi
                ;;
        esac
    done

    case $prev in
@VALUES@    esac
    $split && return

    if [[ -z $command && $cur != -* ]]; then
        COMPREPLY=($(compgen -W "$types history template verify" -- "$cur"))
        return
    fi
    if [[ $command == template && -z $type ]]; then
        COMPREPLY=($(compgen -W "$types" -- "$cur"))
        return
    fi
    # verify's FILE: any upload file, whatever its name.
    if [[ $command == verify && $cur != -* ]]; then
        _filedir
        return
    fi

    # The options each command takes; before the command, those all of them take.
    local common='@COMMON@'
    local options
    case $command in
        '') options='@FIRST@' ;;
@COMMANDS@        *) return ;;
    esac
    local option offered=''
    for option in $options; do
        [[ $given == *" $option "* ]] || offered+=" $option"
    done
    COMPREPLY=($(compgen -W "$offered" -- "$cur"))
} &&
    complete -F _kova_export kova-export

# ex: filetype=sh
)bash";

} // namespace

QString completionScript()
{
    QStringList types;
    for (const kova::TypeDescriptor* type : kova::transactionTypes())
        types.append(type->keyword);
    const QStringList valued = flags([](const CommandOption& o) { return o.takesValue(); });
    const QStringList common = flags([](const CommandOption& o) { return (o.takes & everyExport) == everyExport; });
    const QStringList first = flags([](const CommandOption& o) { return (o.takes & everyCommand) == everyCommand; });
    // The columns are those of the markers in the skeleton.
    QString script = QString::fromUtf8(skeleton);
    script.replace(QStringLiteral("@TYPES@"), types.join(QLatin1Char(' ')));
    script.replace(QStringLiteral("@VALUED@"), casePattern(valued, 12, QString(16, QLatin1Char(' '))));
    script.replace(QStringLiteral("@VALUES@"), valueArms());
    script.replace(QStringLiteral("@COMMON@"), wordList(common, 18, armIndent, 1));
    script.replace(QStringLiteral("@FIRST@"), wordList(first, 22, bodyIndent, 4));
    script.replace(QStringLiteral("@COMMANDS@"), commandArms());
    return script;
}
