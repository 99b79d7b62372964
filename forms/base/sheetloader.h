#pragma once

#include "reader/cells/textoptions.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class QThread;
namespace reader { class Document; }

// A workbook read off the window's thread, with one sheet selected.
struct LoadedSheet
{
    QString path;
    reader::TextOptions text;       // what it was read with: the user's choice for the workbook
    QString password;               // what it was opened with: the one the user gave for it, if any
    QStringList sheetNames;
    QString sheet;                  // the sheet asked for, else the first; empty when there is none
    bool selected = false;          // the sheet was read
    bool delimitedText = false;
    bool passwordProtected = false;
    bool opensWithPassword = false; // protected, and another password may open it
    QString problem;                // unreadableInWindow() of the workbook when the sheet was not read
    QByteArray fingerprint;         // reader::workbookFingerprint() taken before reading
    std::unique_ptr<reader::Document> document;   // with sheet selected; null unless selected
};

// Why the workbook, or its sheet, cannot be read, after the window's message
// that says it cannot: ": line 7: bytes that are not UTF-8; try Windows-1252
// as the Encoding beside the sheet". Empty when the reader knows no more.
QString unreadableInWindow(const reader::Document& workbook);

// Reads workbooks on threads of their own, one choice at a time: a choice
// made while another is still read replaces it, and the earlier one's result
// is dropped when it arrives. A read cannot be stopped halfway; a cancelled
// one runs on unseen and its result is dropped. The reader has no progress to
// tell, so none is reported.
class SheetLoader final : public QObject
{
    Q_OBJECT

public:
    explicit SheetLoader(QObject* parent = nullptr);
    // Waits for the reads still running: they use the reader's shared state.
    ~SheetLoader() override;

    // sheet empty: the workbook's first sheet.
    void start(const QString& path, const QString& sheet, const reader::TextOptions& text, const QString& password);
    // Drops the result of the read running now; nothing is reported.
    void cancel();
    bool isLoading() const { return m_loading; }

signals:
    // On the loader's thread, for the latest choice only.
    void loaded(std::shared_ptr<LoadedSheet> sheet);

private:
    // Threads are released once finished; those still reading are kept for the destructor.
    QList<QThread*> m_threads;
    // Which choice's result counts: shared with the reading threads.
    std::shared_ptr<std::atomic_int> m_current = std::make_shared<std::atomic_int>(0);
    bool m_loading = false;
};
