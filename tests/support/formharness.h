#pragma once

#include "forms/common/messages.h"
#include "register/batchtype.h"

#include <QComboBox>
#include <QList>
#include <QStringList>
#include <QWidget>

class QRadioButton;
class QStandardItemModel;
class TransactionForm;

// The main window as a form sees it: a parent whose two signals reach the
// form's requests, that records the column titles an export starts with and the
// Export button's request, and catches every message box. The rows an export
// reports are the window's business (tests/integration).
class FormHarness final : public QWidget
{
    Q_OBJECT

public:
    struct Box
    {
        Messages::Kind kind;
        QString text;
        Box(Messages::Kind k, const QString& t) : kind(k), text(t) {}
        bool operator==(const Box& o) const { return kind == o.kind && text == o.text; }
    };

    // Starts from no settings file beside the executable.
    FormHarness();
    ~FormHarness() override;

    // The form of the type, made a child of this window and wired as the window wires it.
    TransactionForm* open(kova::BatchType type);

    template <typename T> T* w(const QString& name) const
    {
        T* widget = m_form->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QComboBox* combo(const QString& name) const { return w<QComboBox>(name); }

    // Offers columns A.. in every named combo box, one for each name, and
    // selects column i + 1 in the i-th.
    void mapAll(const QStringList& names);
    QStandardItemModel* accounts() const;
    void addAccount(const QString& account, const QString& code);
    QRadioButton* radio(int row) const;

    static QString settingsPath();
    static void removeSettingsFile();

    QList<Box> boxes;
    QList<QStringList> headers;
    int exportClicks = 0;

signals:
    void SIG_Export(QString sourcePath, QString destinationPath);
    void SIG_Excel_Changed(QString path, QString sheet);

private:
    QWidget* m_form = nullptr;
};
