#pragma once

#include <QString>

class QLineEdit;

// The transfer form's Header ID field against the "HeaderID" stored in the
// settings file, which every batch written advances, whichever window or
// kova-export wrote it. A field left behind would offer a number already
// used, so it catches up whenever the form is shown, after every export and
// before Save; a number typed ahead of the stored one is the user's and stays.
class HeaderIdField final
{
public:
    explicit HeaderIdField(const QString& settingsPath);

    // Shows the stored Header ID in field unless it holds a whole number at
    // or above it. A stored value that is not a whole number is left for the
    // export to refuse, the field untouched.
    void catchUp(QLineEdit* field) const;

private:
    // The stored Header ID; 0 when it is not a whole number.
    qint64 stored() const;

    QString m_settingsPath;
};
