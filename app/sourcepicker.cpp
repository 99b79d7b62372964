#include "sourcepicker.h"
#include "sourcetextchoice.h"

#include "widgets/filedialogs.h"
#include "widgets/messages.h"
#include "widgets/passwordprompt.h"
#include "forms/base/sheetloader.h"
#include "record/passwordprotected.h"
#include "reader/document.h"
#include "reader/sourcekind.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QUrl>

SourcePicker::SourcePicker(QMainWindow* window, QLineEdit* path, QComboBox* sheets)
    : QObject(window)
    , m_window(window)
    , m_path(path)
    , m_sheets(sheets)
    , m_textChoice(new SourceTextChoice(window))
    , m_loader(new SheetLoader(this))
{
    m_textChoice->hide();
    connect(m_loader, &SheetLoader::loaded, this, &SourcePicker::landed);
    // Read again with the user's delimiter or encoding; the form hears of it as of a new choice.
    connect(m_textChoice, &SourceTextChoice::changed, this,
            [this] { read(QString(), m_textChoice->options(), passwordFor(this->path())); });
    connect(m_sheets, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SourcePicker::sheetChosen);
    connect(m_path, &QLineEdit::editingFinished, this, &SourcePicker::confirmed);
}

QString SourcePicker::path() const
{
    return m_path->text();
}

bool SourcePicker::isReading() const
{
    return m_loader->isLoading();
}

void SourcePicker::browse(const QString& folder)
{
    QStringList patterns;
    for (const QString& suffix : reader::readableSuffixes())
        patterns.append(QStringLiteral("*.") + suffix);
    const QString path = FileDialogs::openFile(m_window, QStringLiteral("Open File"), folder,
                                               QStringLiteral("Workbooks and delimited text (") + patterns.join(' ')
                                                   + QStringLiteral(");;All files (*)"));
    if (!path.isEmpty())
        choose(path);
}

void SourcePicker::drop(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    const QString path = urls.size() == 1 ? urls.first().toLocalFile() : QString();
    if (path.isEmpty()) {
        m_window->statusBar()->showMessage(QStringLiteral("Drop one workbook or CSV file to choose it as the source"));
        return;
    }
    const QFileInfo file(path);
    if (!reader::readableSuffixes().contains(file.suffix(), Qt::CaseInsensitive) || !file.isFile()) {
        m_window->statusBar()->showMessage(QStringLiteral("Not a workbook or CSV file: ") + file.fileName());
        return;
    }
    event->acceptProposedAction();
    m_window->statusBar()->clearMessage();
    choose(path);
}

void SourcePicker::choose(const QString& path)
{
    emit fileChosen(path);
    m_path->setText(path);
    read(QString(), m_chosenText.value(path), passwordFor(path));
}

void SourcePicker::confirmed()
{
    // Leaving the field after Return confirms nothing new.
    if (m_path->isModified())
        read(QString(), m_chosenText.value(path()), passwordFor(path()));
}

void SourcePicker::sheetChosen(int index)
{
    const QString sheet = m_sheets->itemText(index);
    if (sheet.isEmpty()) {
        emit sourceCleared(path());
        return;
    }
    read(sheet, m_chosenText.value(path()), passwordFor(path()));
}

QString SourcePicker::passwordFor(const QString& path) const
{
    return path == m_shownPath ? m_password : QString();
}

void SourcePicker::read(const QString& sheet, const reader::TextOptions& text, const QString& password)
{
    m_path->setModified(false);
    const QString path = this->path();
    m_readingSheetChoice = !sheet.isEmpty();
    if (path.trimmed().isEmpty()) {
        stopRead();
        m_shownPath = path;
        m_password.clear();
        m_shownSheet.clear();
        m_textChoice->hide();
        {
            const QSignalBlocker quiet(m_sheets);
            m_sheets->clear();
        }
        emit sourceCleared(path);
        return;
    }
    emit readStarted();
    m_window->statusBar()->showMessage(QStringLiteral("Reading ") + QDir::toNativeSeparators(path));
    m_loader->start(path, sheet, text, password);
    // Its sheets are listed once it is read; the list shown is the earlier workbook's.
    m_sheets->setEnabled(m_readingSheetChoice);
}

void SourcePicker::landed(const std::shared_ptr<LoadedSheet>& read)
{
    m_sheets->setEnabled(true);
    m_window->statusBar()->clearMessage();
    if (askPassword(*read))
        return;
    m_shownSheet = read->sheet;
    m_password = read->password;
    // Another sheet of the workbook listed: the list stands; a sheet that
    // cannot be read is the form's to report, as it reads it.
    QString sheet = read->sheet;
    if (!m_readingSheetChoice) {
        // A workbook newly chosen, or read again with other text options.
        m_shownPath = read->path;
        m_chosenText.insert(read->path, read->text);
        m_textChoice->setOptions(read->text);
        // What the reader found where the user left it to find.
        const reader::TextOptions found = read->document ? read->document->textOptions() : reader::TextOptions();
        m_textChoice->showFound(read->document && read->text.delimiter == 0 ? std::optional<char>(found.delimiter) : std::nullopt,
                                read->document && read->text.encoding == reader::TextEncoding::Detect
                                    ? std::optional<reader::TextEncoding>(found.encoding)
                                    : std::nullopt);
        m_textChoice->setVisible(read->delimitedText);
        {
            // The form hears of the new list once, as this read, and not of each
            // step of refilling it: every message makes it open the sheet, and a
            // sheet it cannot read would be reported once per message.
            const QSignalBlocker quiet(m_sheets);
            m_sheets->clear();
            m_sheets->addItems(read->sheetNames);
        }
        sheet = m_sheets->currentText();
    }
    emit sourceRead(read, sheet);
    if (!m_readingSheetChoice && read->sheetNames.isEmpty())
        Messages::critical(m_window, read->passwordProtected ? kova::passwordProtectedText()
                                                             : QStringLiteral("Unable to open workbook") + read->problem);
}

bool SourcePicker::askPassword(const LoadedSheet& locked)
{
    if (!locked.opensWithPassword)
        return false;
    const QString name = QFileInfo(locked.path).fileName();
    const QString question = QStringLiteral("Password for ") + name + QLatin1Char(':');
    const std::optional<QString> given = PasswordPrompt::ask(
        m_window, locked.password.isEmpty() ? question : kova::wrongPasswordText() + QLatin1Char('\n') + question);
    if (given) {
        // The same read again, of the sheet it was of.
        read(m_readingSheetChoice ? locked.sheet : QString(), locked.text, *given);
        return true;
    }
    emit readStopped();
    showShown();
    return true;
}

void SourcePicker::stopRead()
{
    if (!m_loader->isLoading())
        return;
    m_loader->cancel();
    m_sheets->setEnabled(true);
    m_window->statusBar()->clearMessage();
    emit readStopped();
}

void SourcePicker::cancelRead()
{
    if (!m_loader->isLoading())
        return;
    stopRead();
    showShown();
}

void SourcePicker::showShown()
{
    if (m_readingSheetChoice) {
        // The sheet the form still shows.
        const QSignalBlocker quiet(m_sheets);
        m_sheets->setCurrentIndex(m_sheets->findText(m_shownSheet));
    } else {
        m_path->setText(m_shownPath);
        m_path->setModified(false);
        // A delimiter chosen for the read cancelled is not how the workbook shown was read.
        m_textChoice->setOptions(m_chosenText.value(m_shownPath));
    }
}

void SourcePicker::clear()
{
    stopRead();
    m_shownPath.clear();
    m_password.clear();
    m_path->clear();
    // Not quietly: the form is told that no sheet is chosen.
    m_sheets->clear();
    m_textChoice->hide();
}

void SourcePicker::setEnabled(bool enabled)
{
    m_path->setEnabled(enabled);
    m_sheets->setEnabled(enabled);
    m_textChoice->setEnabled(enabled);
}
