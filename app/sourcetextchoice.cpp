#include "sourcetextchoice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace {

const QString kFound = QStringLiteral("Found");

} // namespace

SourceTextChoice::SourceTextChoice(QWidget* parent)
    : QWidget(parent)
    , m_delimiter(new QComboBox(this))
    , m_encoding(new QComboBox(this))
{
    m_delimiter->setObjectName(QStringLiteral("cboDelimiter"));
    m_encoding->setObjectName(QStringLiteral("cboEncoding"));
    m_delimiter->addItem(kFound, 0);
    m_delimiter->addItem(QStringLiteral("Comma"), int(','));
    m_delimiter->addItem(QStringLiteral("Semicolon"), int(';'));
    m_delimiter->addItem(QStringLiteral("Tab"), int('\t'));
    m_delimiter->addItem(QStringLiteral("|"), int('|'));
    m_encoding->addItem(kFound, int(xlsx::TextEncoding::Detect));
    m_encoding->addItem(QStringLiteral("UTF-8"), int(xlsx::TextEncoding::Utf8));
    m_encoding->addItem(QStringLiteral("UTF-16LE"), int(xlsx::TextEncoding::Utf16LE));
    m_encoding->addItem(QStringLiteral("UTF-16BE"), int(xlsx::TextEncoding::Utf16BE));
    m_encoding->addItem(QStringLiteral("Windows-1252"), int(xlsx::TextEncoding::Windows1252));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Delimiter"), this));
    layout->addWidget(m_delimiter);
    layout->addWidget(new QLabel(QStringLiteral("Encoding"), this));
    layout->addWidget(m_encoding);
    for (QComboBox* combo : {m_delimiter, m_encoding})
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SourceTextChoice::changed);
}

xlsx::TextOptions SourceTextChoice::options() const
{
    xlsx::TextOptions options;
    options.delimiter = char(m_delimiter->currentData().toInt());
    options.encoding = xlsx::TextEncoding(m_encoding->currentData().toInt());
    return options;
}

void SourceTextChoice::setOptions(const xlsx::TextOptions& options)
{
    const QSignalBlocker quietDelimiter(m_delimiter);
    const QSignalBlocker quietEncoding(m_encoding);
    m_delimiter->setCurrentIndex(qMax(0, m_delimiter->findData(int(options.delimiter))));
    m_encoding->setCurrentIndex(qMax(0, m_encoding->findData(int(options.encoding))));
}
