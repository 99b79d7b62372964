#pragma once

#include <QString>

#include <optional>

class QLineEdit;

// The transfer form's Header ID field against the next free Header ID: the
// "HeaderID" stored in the settings file, or the one after the register's
// highest when that is later, which every batch written advances, whichever window or kova-export wrote
// it. A field left behind would offer a number already used, so a field the
// user has not typed in follows it whenever the window is shown or becomes
// active and before an export; what the user typed stays for the export to
// check, and Save raises it only when it is below.
class HeaderIdField final
{
public:
    HeaderIdField(const QString& settingsPath, QLineEdit* field);

    // Shows text as the form's own, not the user's: read from the settings
    // or offered by a question.
    void setText(const QString& text);
    // The user's text stays; otherwise the next free Header ID is shown. A
    // stored value that is not a whole number is left for the export to
    // refuse, the field untouched.
    void follow();
    // Before Save: a whole number below the next free one, typed or not, is
    // replaced by it; returns the number replaced, none when nothing was.
    std::optional<qint64> raise();
    // After an export: a number it used, or refused as used, gives way to the
    // next free one; a typed one ahead of it stays.
    void afterExport();
    // The form saved the field: its text is now the stored one, not the user's.
    void saved();

private:
    // The text shown is not the one the form put there: the user's.
    bool typed() const;

    QString m_settingsPath;
    QLineEdit* m_field;
    QString m_ownText;   // what the form put in the field last
};
