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
    , m_dateOrder(new QComboBox(this))
    , m_decimalMark(new QComboBox(this))
{
    m_delimiter->setObjectName(QStringLiteral("cboDelimiter"));
    m_encoding->setObjectName(QStringLiteral("cboEncoding"));
    m_dateOrder->setObjectName(QStringLiteral("cboDateOrder"));
    m_decimalMark->setObjectName(QStringLiteral("cboDecimalMark"));
    m_delimiter->addItem(kFound, 0);
    m_delimiter->addItem(QStringLiteral("Comma"), int(','));
    m_delimiter->addItem(QStringLiteral("Semicolon"), int(';'));
    m_delimiter->addItem(QStringLiteral("Tab"), int('\t'));
    m_delimiter->addItem(QStringLiteral("|"), int('|'));
    m_encoding->addItem(kFound, int(reader::TextEncoding::Detect));
    m_encoding->addItem(QStringLiteral("UTF-8"), int(reader::TextEncoding::Utf8));
    m_encoding->addItem(QStringLiteral("UTF-16LE"), int(reader::TextEncoding::Utf16LE));
    m_encoding->addItem(QStringLiteral("UTF-16BE"), int(reader::TextEncoding::Utf16BE));
    m_encoding->addItem(QStringLiteral("Windows-1252"), int(reader::TextEncoding::Windows1252));
    // Taken only where no date of the column tells.
    m_dateOrder->addItem(QStringLiteral("Day first"), int(reader::DateOrder::DayMonthYear));
    m_dateOrder->addItem(QStringLiteral("Month first"), int(reader::DateOrder::MonthDayYear));
    m_dateOrder->setToolTip(QStringLiteral("How 05/12/2026 reads when no date of the column, such as 25/12/2026, "
                                           "tells"));
    m_decimalMark->addItem(kFound, -1);
    m_decimalMark->addItem(QStringLiteral("Dot"), int(reader::DecimalMark::Dot));
    m_decimalMark->addItem(QStringLiteral("Comma"), int(reader::DecimalMark::Comma));
    m_decimalMark->setToolTip(QStringLiteral("The amounts' decimal mark: found from the amount column unless "
                                             "chosen"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Delimiter"), this));
    layout->addWidget(m_delimiter);
    layout->addWidget(new QLabel(QStringLiteral("Encoding"), this));
    layout->addWidget(m_encoding);
    layout->addWidget(new QLabel(QStringLiteral("Date order"), this));
    layout->addWidget(m_dateOrder);
    layout->addWidget(new QLabel(QStringLiteral("Decimal mark"), this));
    layout->addWidget(m_decimalMark);
    layout->addStretch();
    for (QComboBox* combo : {m_delimiter, m_encoding, m_dateOrder, m_decimalMark})
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SourceTextChoice::changed);
}

reader::TextOptions SourceTextChoice::options() const
{
    reader::TextOptions options;
    options.delimiter = char(m_delimiter->currentData().toInt());
    options.encoding = reader::TextEncoding(m_encoding->currentData().toInt());
    options.dateOrder = reader::DateOrder(m_dateOrder->currentData().toInt());
    const int mark = m_decimalMark->currentData().toInt();
    if (mark >= 0)
        options.decimalMark = reader::DecimalMark(mark);
    return options;
}

void SourceTextChoice::showFound(std::optional<char> delimiter, std::optional<reader::TextEncoding> encoding)
{
    // Named as the other choices of the same list name it.
    const auto name = [](QComboBox* combo, std::optional<int> data) {
        const int at = data ? combo->findData(*data) : -1;
        return at > 0 ? kFound + QStringLiteral(": ") + combo->itemText(at) : kFound;
    };
    m_delimiter->setItemText(0, name(m_delimiter, delimiter ? std::optional<int>(*delimiter) : std::nullopt));
    m_encoding->setItemText(0, name(m_encoding, encoding ? std::optional<int>(int(*encoding)) : std::nullopt));
}

void SourceTextChoice::setOptions(const reader::TextOptions& options)
{
    const QSignalBlocker quietDelimiter(m_delimiter);
    const QSignalBlocker quietEncoding(m_encoding);
    const QSignalBlocker quietDateOrder(m_dateOrder);
    const QSignalBlocker quietDecimalMark(m_decimalMark);
    m_delimiter->setCurrentIndex(qMax(0, m_delimiter->findData(int(options.delimiter))));
    m_encoding->setCurrentIndex(qMax(0, m_encoding->findData(int(options.encoding))));
    m_dateOrder->setCurrentIndex(qMax(0, m_dateOrder->findData(int(options.dateOrder))));
    m_decimalMark->setCurrentIndex(qMax(0, m_decimalMark->findData(options.decimalMark ? int(*options.decimalMark) : -1)));
}
