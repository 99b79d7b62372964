#include "columnmapping.h"

#include "export/settingsfile.h"
#include "forms/common/messages.h"
#include "xlsx/document.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSettings>
#include <QStringList>

namespace {

const QString hasColumnHeaderKey = QStringLiteral("HasColumnHeader");

// Entry c stands for sheet column c whatever it shows, so every column up to
// the last used one gets an entry, even an empty one. Without headers the
// labels run on past "Z" through the following characters ("[", "\", ...):
// only the index is ever stored, so a short distinct label is all it needs.
QStringList columnChoices(const xlsx::Document& workbook, bool withHeaders)
{
    const int lastColumn = workbook.dimension().lastColumn();
    QStringList choices{QString()};
    for (int c = 1; c <= lastColumn; ++c)
        choices.append(withHeaders ? workbook.read(1, c).toString()
                                   : QString(QChar(ushort('A' + c - 1))));
    return choices;
}

} // namespace

ColumnMapping::ColumnMapping(QWidget* form, QGroupBox* gbColMap, QCheckBox* chkHeaders,
                             const QString& settingsPath, const QString& group, const Keys& keys)
    : m_form(form)
    , m_chkHeaders(chkHeaders)
    , m_settingsPath(settingsPath)
    , m_group(group)
    , m_keys(keys)
    , m_comboBoxes(gbColMap->findChildren<QComboBox*>())
{
}

void ColumnMapping::excelChanged(const QString& path, const QString& sheet)
{
    m_workbookPath = path;
    m_sheetName = sheet;
    if (sheet.isEmpty()) {
        // No sheet is chosen (the workbook could not be read): columns of an
        // earlier workbook must not stay on offer as if they were this one's.
        for (QComboBox* combo : qAsConst(m_comboBoxes))
            combo->clear();
        return;
    }

    xlsx::Document workbook(path);
    if (!workbook.selectSheet(sheet)) {
        Messages::critical(m_form, QStringLiteral("Error. Unable to select sheet ") + sheet);
        return;
    }
    const QStringList choices = columnChoices(workbook, m_chkHeaders->isChecked());
    for (QComboBox* combo : qAsConst(m_comboBoxes)) {
        combo->clear();
        combo->addItems(choices);
    }
    readColumnsSettings();
}

void ColumnMapping::headersClicked()
{
    excelChanged(m_workbookPath, m_sheetName);
}

void ColumnMapping::readColumnsSettings()
{
    QStringList keys;
    for (const auto& key : qAsConst(m_keys))
        keys.append(key.second);
    const QVector<int> indexes = kova::readColumnIndexes(m_settingsPath, m_group, keys);
    // An index beyond the choices (a narrower sheet than the mapping was saved
    // for) leaves the combo without a current entry, which reads as not mapped.
    for (int i = 0; i < m_keys.size(); ++i)
        m_keys.at(i).first->setCurrentIndex(indexes.value(i));
}

void ColumnMapping::readHasColumnHeader(QSettings& settings)
{
    m_chkHeaders->setChecked(settings.value(hasColumnHeaderKey, false).toBool());
}

void ColumnMapping::save(QSettings& settings) const
{
    for (const auto& key : m_keys)
        settings.setValue(key.second, key.first->currentIndex());
    settings.setValue(hasColumnHeaderKey, m_chkHeaders->isChecked());
}
