#include "sheetloader.h"

#include "run/exportrun.h"
#include "reader/document.h"
#include "reader/csv/textdecoding.h"
#include "reader/workbookfingerprint.h"

#include <QThread>

QString unreadableInWindow(const reader::Document& workbook)
{
    return kova::unreadable(workbook, [](reader::TextEncoding encoding) {
        return reader::encodingName(encoding) + QStringLiteral(" as the Encoding beside the sheet");
    });
}

SheetLoader::SheetLoader(QObject* parent)
    : QObject(parent)
{
}

SheetLoader::~SheetLoader()
{
    ++*m_current;
    for (QThread* thread : qAsConst(m_threads)) {
        thread->wait();
        delete thread;
    }
}

void SheetLoader::start(const QString& path, const QString& sheet, const reader::TextOptions& text,
                        const QString& password)
{
    const int choice = ++*m_current;
    m_loading = true;
    QThread* thread = QThread::create([this, path, sheet, text, password, choice, current = m_current] {
        auto read = std::make_shared<LoadedSheet>();
        read->path = path;
        read->text = text;
        read->password = password;
        // Taken before reading, so that a change made while it is read counts as one.
        read->fingerprint = reader::workbookFingerprint(path);
        // Surveyed, not held: the mapping lists need a few rows at the top, and
        // the export reads the rows again as they arrive.
        auto document = std::make_unique<reader::Document>(path, text, reader::SheetAccess::Forward, password);
        read->sheetNames = document->sheetNames();
        read->delimitedText = document->isDelimitedText();
        read->passwordProtected = document->isPasswordProtected();
        read->opensWithPassword = document->opensWithPassword();
        read->sheet = sheet.isEmpty() ? read->sheetNames.value(0) : sheet;
        read->selected = !read->sheet.isEmpty() && *current == choice && document->selectSheet(read->sheet);
        if (read->selected)
            read->document = std::move(document);
        else
            read->problem = unreadableInWindow(*document);
        // A later choice or a cancel made this one's result worthless: dropped here, off the window's thread.
        if (*current != choice)
            return;
        QMetaObject::invokeMethod(this, [this, read, choice, current] {
            if (*current != choice)
                return;
            m_loading = false;
            emit loaded(read);
        }, Qt::QueuedConnection);
    });
    m_threads.append(thread);
    connect(thread, &QThread::finished, this, [this, thread] {
        m_threads.removeOne(thread);
        thread->deleteLater();
    });
    thread->start();
}

void SheetLoader::cancel()
{
    ++*m_current;
    m_loading = false;
}
