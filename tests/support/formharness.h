#pragma once

#include "forms/common/messages.h"

#include <QComboBox>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

class QRadioButton;
class QStandardItemModel;

// The main window as a form sees it: a parent that declares the two signals the
// form listens to, records the four it sends, and catches every message box.
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
    struct Row
    {
        QStringList values;
        QList<QPoint> points;
        QStringList messages;
        int amountColumn = -1;
    };

    // Starts from no settings file beside the executable.
    FormHarness();
    ~FormHarness() override;

    // The form, made a child of this window with its signals recorded.
    template <typename Form> Form* open()
    {
        auto* form = new Form(this);
        attach(form);
        m_form = form;
        return form;
    }

    template <typename T> T* w(const QString& name) const
    {
        T* widget = m_form->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QComboBox* combo(const QString& name) const { return w<QComboBox>(name); }

    // Offers columns A.. in every named combo box and selects indexes[i] in the
    // i-th (0, the empty entry, when indexes is shorter).
    void map(const QStringList& names, const QList<int>& indexes, int offered = 12);
    // The i-th named combo box on sheet column i + 1; offered 0 offers as many columns as names.
    void mapAll(const QStringList& names, int offered = 0);
    QStandardItemModel* accounts() const;
    void addAccount(const QString& account, const QString& code);
    QRadioButton* radio(int row) const;
    QStringList boxTexts() const;

    static QString settingsPath();
    static void removeSettingsFile();

    QList<Box> boxes;
    QList<QStringList> headers;
    QList<Row> rows;
    QList<QStringList> summaries;
    int exportClicks = 0;

signals:
    void SIG_Export(QString sourcePath, QString destinationPath);
    void SIG_Excel_Changed(QString path, QString sheet);

private slots:
    void onHeader(QStringList titles) { headers.append(titles); }
    void onRow(QStringList values, QList<QPoint*> points, QStringList messages, int amountColumn);
    void onDone(QStringList lines) { summaries.append(lines); }
    void onExportClick() { ++exportClicks; }

private:
    void attach(QWidget* form);

    QWidget* m_form = nullptr;
};
