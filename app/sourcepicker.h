#pragma once

#include "reader/cells/textoptions.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QComboBox;
class QDropEvent;
class QLineEdit;
class QMainWindow;
class SheetLoader;
class SourceTextChoice;
struct LoadedSheet;

// Which workbook the window exports, and how it is read: the path browsed
// to, dropped or typed, the sheet chosen from the workbook's list and, for
// delimited text, the choice of SourceTextChoice. Each choice is read off the
// window's thread (the status bar says so) and reported once read.
//
// The text options the user chose for a file stay with its path while the
// window is open, so choosing it again reads it as before; they are this
// window's own, and go down with every read. A workbook saved with a
// password is asked for it (again after a wrong one); the password goes down
// with every read of that workbook, and is dropped with it when another is
// chosen. Cancelling the question keeps the workbook shown before.
class SourcePicker final : public QObject
{
    Q_OBJECT

public:
    // The window's source field and sheet list; the text choice is made here,
    // hidden, for the window to lay out.
    SourcePicker(QMainWindow* window, QLineEdit* path, QComboBox* sheets);

    SourceTextChoice* textChoice() const { return m_textChoice; }
    // As typed: the export opens exactly what the user sees.
    QString path() const;
    bool isReading() const;

    // The Browse dialog, starting in folder.
    void browse(const QString& folder);
    // A drop onto the window: its one readable file is chosen as Browse would
    // choose it; anything else is refused in the status bar and not accepted.
    void drop(QDropEvent* event);
    // Nothing chosen, nothing read: the form hosted next knows no workbook.
    void clear();
    // The read running is dropped, its result unseen.
    void stopRead();
    // stopRead(), and the workbook shown before the read began stays, with
    // its sheet and its text options.
    void cancelRead();
    void setEnabled(bool enabled);

signals:
    // A file was chosen by Browse or a drop: its folder is where the next dialog starts.
    void fileChosen(QString path);
    void readStarted();
    // The read running was dropped.
    void readStopped();
    // The latest choice was read: the workbook, and the sheet it is now
    // shown with (empty when it has none). A workbook without sheets is
    // reported to the user once this is delivered.
    void sourceRead(std::shared_ptr<LoadedSheet> read, QString sheet);
    // The path or the sheet was emptied: there is nothing to read.
    void sourceCleared(QString path);

private:
    // A path typed or pasted counts once the user confirms it (Return, or
    // leaving the field), so that Export reads the workbook whose sheets and
    // columns are shown.
    void confirmed();
    void choose(const QString& path);
    void sheetChosen(int index);
    // Reads the workbook at path() (its first sheet, or sheet) with text and password.
    void read(const QString& sheet, const reader::TextOptions& text, const QString& password);
    // The password the workbook shown was opened with, for path; empty for another file.
    QString passwordFor(const QString& path) const;
    void landed(const std::shared_ptr<LoadedSheet>& read);
    // The read of a workbook that wants a password: asks for it and reads
    // again, or on Cancel shows the workbook shown before. False when the
    // workbook is not one a password opens.
    bool askPassword(const LoadedSheet& locked);
    // The workbook, sheet and text options shown before the read began.
    void showShown();

    QMainWindow* m_window;
    QLineEdit* m_path;
    QComboBox* m_sheets;
    SourceTextChoice* m_textChoice;
    SheetLoader* m_loader;
    QHash<QString, reader::TextOptions> m_chosenText;   // by path, as last read
    QString m_shownPath;                  // the workbook whose sheets are listed
    QString m_shownSheet;                 // the sheet last reported
    QString m_password;                   // what the listed workbook was opened with
    bool m_readingSheetChoice = false;    // the read is of another sheet of the listed workbook
};
