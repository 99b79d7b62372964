#include "columnmapping.h"

#include "settings/mappingstore.h"
#include "settings/namedlayouts.h"
#include "settings/settingsfile.h"
#include "record/cells.h"
#include "settings/sheetmapping.h"
#include "settings/titlematch.h"
#include "widgets/messages.h"
#include "forms/parts/requiredcaption.h"
#include "forms/parts/savedgroup.h"
#include "forms/base/sheetloader.h"
#include "forms/base/transactionform.h"
#include "reader/document.h"
#include "reader/workbookfingerprint.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

// Wide enough for a long header, narrow enough that a form of eighteen fields
// still fits beside its other groups.
constexpr int widestCombo = 240;

// Entry c stands for sheet column c whatever it shows, so every column up to
// the last used one gets an entry, even an empty one. Without headers the
// labels run on past "Z" through the following characters ("[", "\", ...):
// only the index is ever stored, so a short distinct label is all it needs.
QStringList columnChoices(const reader::Document& workbook, bool withHeaders, int headerRow)
{
    const int lastColumn = workbook.dimension().lastColumn();
    QStringList choices{QString()};
    for (int c = 1; c <= lastColumn; ++c)
        choices.append(withHeaders ? workbook.read(headerRow, c).toString()
                                   : QString(QChar(ushort('A' + c - 1))));
    return choices;
}

// Every change of any row restyles them all: a style sheet set again, even
// the same one, polishes the box anew.
void setStyle(QComboBox* combo, const QString& style)
{
    if (combo->styleSheet() != style)
        combo->setStyleSheet(style);
}

QString columnTip(int column, const QString& text)
{
    return kova::columnLetters(column) + QStringLiteral(": ") + text;
}

// A field the saved mapping cannot place on this sheet (its title missing or
// doubled, or none saved while the others moved) stands out until the user
// picks its column.
const QString markedStyle = QStringLiteral("QComboBox { border: 2px solid #e73d4a; }");
// A column read by two fields (the date and an account alike) is most often a
// slip of the list; both rows say so until one is changed.
const QString sharedStyle = QStringLiteral("QComboBox { border: 2px solid #b35900; }");

} // namespace

ColumnMapping::ColumnMapping(QWidget* form, QGroupBox* gbColMap, QCheckBox* chkHeaders,
                             const QVector<QGridLayout*>& groups, const QString& settingsPath,
                             const kova::TypeDescriptor& type)
    : m_form(form)
    , m_chkHeaders(chkHeaders)
    , m_settingsPath(settingsPath)
    , m_type(type)
    , m_headerRowBox(form->findChild<QSpinBox*>(QStringLiteral("spnHeaderRow")))
{
    buildRows(groups);
    m_comboBoxes = gbColMap->findChildren<QComboBox*>();
    if (m_headerRowBox) {
        // The row means something only while the sheet has column titles.
        m_headerRowBox->setEnabled(chkHeaders->isChecked());
        m_connections.append(QObject::connect(chkHeaders, &QCheckBox::toggled, m_headerRowBox, &QWidget::setEnabled));
        m_headerRowBox->setKeyboardTracking(false);   // a sheet is read again per change, not per digit
        m_connections.append(QObject::connect(
            m_headerRowBox, QOverload<int>::of(&QSpinBox::valueChanged), form, [this](int row) {
                m_headersChosen = true;
                m_headerRow = row;
                const QStringList lines = headersClicked();
                if (auto* transactionForm = qobject_cast<TransactionForm*>(m_form))
                    emit transactionForm->mappingMatched(lines);
            }));
    }
    // The user's own word on the titles is never guessed over.
    m_connections.append(QObject::connect(chkHeaders, &QCheckBox::clicked, form, [this] { m_headersChosen = true; }));
    for (QComboBox* combo : qAsConst(m_fields)) {
        // A few characters of each header must not hide which column is which;
        // the lists size themselves to their entries in fitWidth().
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_connections.append(
            QObject::connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), form, [this, combo] {
                m_matched.remove(combo);
                m_followed.remove(combo);
                m_problems.remove(combo);
                markRows();
            }));
    }
    const kova::Layouts stored = layouts();
    m_layout = stored.layouts.at(stored.chosen).name;
    setHeaderRow(currentMapping().headerRow);
}

void ColumnMapping::buildRows(const QVector<QGridLayout*>& groups)
{
    QWidget* last = m_headerRowBox ? static_cast<QWidget*>(m_headerRowBox) : m_chkHeaders;
    for (int g = 0; g < groups.size(); ++g) {
        QGridLayout* grid = groups.at(g);
        const int first = g == 0 ? 0 : m_type.groupStarts.value(g - 1);
        // The last group takes the fields left.
        const int end = g + 1 < groups.size() ? m_type.groupStarts.value(g, m_type.fields.size()) : m_type.fields.size();
        // The rows go below the form's own items; its closing spacer below them.
        int row = 0;
        QVector<QPair<QLayoutItem*, int>> closing;   // spacer, its column span
        for (int i = grid->count() - 1; i >= 0; --i) {
            int top = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &top, &column, &rowSpan, &columnSpan);
            if (grid->itemAt(i)->spacerItem())
                closing.append({grid->takeAt(i), columnSpan});
            else
                row = qMax(row, top + rowSpan);
        }
        for (int f = first; f < end; ++f) {
            const kova::FieldSpec& field = m_type.fields.at(f);
            auto* caption = new QLabel(grid->parentWidget());
            caption->setObjectName(QStringLiteral("lbl") + field.comboName.mid(3));
            caption->setToolTip(field.expects);
            auto* combo = new QComboBox(grid->parentWidget());
            combo->setObjectName(field.comboName);
            grid->addWidget(caption, row, 0);
            grid->addWidget(combo, row, 1);
            ++row;
            // Tab runs down the rows, from the header row's boxes on.
            QWidget::setTabOrder(last, combo);
            last = combo;
            m_captions.append(caption);
            m_fields.append(combo);
        }
        for (const auto& [spacer, columnSpan] : qAsConst(closing))
            grid->addItem(spacer, row++, 0, 1, columnSpan);
    }
    markRequired(false);
}

void ColumnMapping::markRequired(bool othersMode)
{
    m_othersMode = othersMode;
    for (int i = 0; i < m_captions.size(); ++i) {
        const kova::FieldSpec& field = m_type.fields.at(i);
        const bool required = field.required == kova::Required::Always
                              || (othersMode && field.required == kova::Required::OthersMode);
        m_captions.at(i)->setText(required ? requiredCaption(field.formLabel()) : field.formLabel());
    }
}

ColumnMapping::~ColumnMapping()
{
    // The form's combo boxes outlive this and change their index as they go.
    for (const QMetaObject::Connection& connection : qAsConst(m_connections))
        QObject::disconnect(connection);
}

QStringList ColumnMapping::excelChanged(const QString& path, const QString& sheet)
{
    return choose(path, sheet, false);
}

QStringList ColumnMapping::choose(const QString& path, const QString& sheet, bool mayKeep)
{
    std::unique_ptr<reader::Document> unchanged;
    if (mayKeep && m_sheet && path == m_workbookPath && sheet == m_sheetName)
        unchanged = std::move(m_sheet);
    m_workbookPath = path;
    m_sheetName = sheet;
    m_sheet.reset();
    m_problems.clear();
    m_followed.clear();
    markRows();
    if (sheet.isEmpty()) {
        // No sheet is chosen (the workbook could not be read): columns of an
        // earlier workbook must not stay on offer as if they were this one's.
        for (QComboBox* combo : qAsConst(m_comboBoxes))
            combo->clear();
        m_showsHeaders = false;
        return {};
    }

    auto* transactionForm = qobject_cast<TransactionForm*>(m_form);
    const auto loaded = transactionForm ? transactionForm->takeLoadedSheet(path, sheet) : nullptr;
    // Taken before reading, so that a change made while it is read counts as one.
    const QByteArray fingerprint = loaded ? loaded->fingerprint : reader::workbookFingerprint(path);
    if (loaded) {
        m_sheet = std::move(loaded->document);
    } else if (unchanged && !fingerprint.isEmpty() && fingerprint == m_sheetFingerprint) {
        m_sheet = std::move(unchanged);
    } else {
        const reader::TextOptions text = transactionForm ? transactionForm->sourceText(path) : reader::TextOptions();
        const QString password = transactionForm ? transactionForm->sourcePassword(path) : QString();
        auto read = std::make_unique<reader::Document>(path, text, reader::SheetAccess::Forward, password);
        if (!read->selectSheet(sheet)) {
            Messages::critical(m_form, QStringLiteral("Error. Unable to select sheet ") + sheet + unreadableInWindow(*read));
            return {};
        }
        m_sheet = std::move(read);
    }
    m_sheetFingerprint = fingerprint;
    const reader::Document& workbook = *m_sheet;
    QStringList lines;
    if (!mayKeep) {
        // Where neither or both fit, the clerk's own choice stands.
        kova::Layouts all = layouts();
        all.chosen = currentIn(all);
        const kova::LayoutPick pick = kova::pickLayout(m_type, all, workbook);
        if (!pick.note.isEmpty())
            lines.append(pick.note);
        if (pick.index != all.chosen)
            follow(all.layouts.at(pick.index).name, all.layouts.at(pick.index).mapping);
    }
    QStringList previousTexts;
    for (const QComboBox* combo : qAsConst(m_fields))
        previousTexts.append(m_showsHeaders && combo->currentIndex() > 0 ? combo->currentText() : QString());

    kova::SavedMapping saved = currentMapping();
    if (!saved.stored && !mayKeep)
        lines += guessHeaders(workbook);
    m_showsHeaders = m_chkHeaders->isChecked();
    saved.hasColumnHeader = m_showsHeaders;
    saved.headerRow = headerRow();
    const kova::SheetMapping placed = kova::placeMapping(m_type, saved, workbook);
    if (m_showsHeaders)
        setHeaderRow(placed.headerRow);
    const QStringList choices = columnChoices(workbook, m_showsHeaders, headerRow());
    for (QComboBox* combo : qAsConst(m_comboBoxes)) {
        combo->clear();
        combo->addItems(choices);
        for (int c = 1; c < choices.size(); ++c)
            combo->setItemData(c, columnTip(c, choices.at(c)), Qt::ToolTipRole);
        fitWidth(combo, choices);
    }
    readColumnsSettings();
    lines += applyPlacement(placed);
    if (m_showsHeaders) {
        keepHeaderColumns(previousTexts, choices);
        lines += matchByHeader(savedKeys(), choices);
    }
    if (!saved.stored)
        lines += unmappedAdvice();
    markRows();
    return lines;
}

QStringList ColumnMapping::guessHeaders(const reader::Document& workbook)
{
    if (m_headersChosen)
        return {};
    const int row = kova::findTitleRow(m_type, workbook);
    if (row > 0) {
        m_chkHeaders->setChecked(true);
        setHeaderRow(row);
        m_headersGuessed = true;
        return {QStringLiteral("Column titles found in row %1: \"Has Column Header\" is ticked").arg(row)};
    }
    // A tick guessed for the workbook before would take this one's first row of data for titles.
    if (!m_headersGuessed)
        return {};
    m_chkHeaders->setChecked(false);
    setHeaderRow(1);
    m_headersGuessed = false;
    return {QStringLiteral("No column titles at the top of the sheet: \"Has Column Header\" is unticked")};
}

QStringList ColumnMapping::unmappedAdvice() const
{
    const QStringList missing = kova::unmappedRequired(m_type, columns(), m_othersMode);
    if (missing.isEmpty())
        return {};
    return {QStringLiteral("Not mapped yet: %1. Choose their columns under Columns Mapping, then Save Settings")
                .arg(missing.join(QStringLiteral(", ")))};
}

QStringList ColumnMapping::applyPlacement(const kova::SheetMapping& placed)
{
    QStringList lines;
    if (placed.headerRowFound)
        lines.append(QStringLiteral("Header row: row %1, where the saved column titles are").arg(placed.headerRow));
    for (int i = 0; i < m_fields.size(); ++i) {
        QComboBox* combo = m_fields.at(i);
        switch (placed.placements.at(i)) {
        case kova::Placement::AsSaved:
            break;
        case kova::Placement::Moved:
            combo->setCurrentIndex(placed.columns.at(i));
            m_followed.insert(combo);
            break;
        case kova::Placement::Missing:
        case kova::Placement::Doubled:
        case kova::Placement::Untitled:
            combo->setCurrentIndex(0);
            m_problems.insert(combo, placed.problems.at(i));
            break;
        }
    }
    lines += placed.moved;
    for (const QString& problem : placed.problems)
        if (!problem.isEmpty())
            lines.append(problem);
    return lines;
}

void ColumnMapping::setHeaderRow(int row)
{
    m_headerRow = row;
    if (m_headerRowBox) {
        const QSignalBlocker quiet(m_headerRowBox);
        m_headerRowBox->setValue(row);
    }
}

int ColumnMapping::headerRow() const
{
    return m_headerRowBox ? m_headerRowBox->value() : m_headerRow;
}

kova::ColumnHeader ColumnMapping::header() const
{
    kova::ColumnHeader header;
    header.row = headerRow();
    for (const QComboBox* combo : m_fields) {
        header.texts.append(m_showsHeaders && combo->currentIndex() > 0 ? combo->currentText() : QString());
        if (header.refusal.isEmpty())
            header.refusal = m_problems.value(combo);
    }
    return header;
}

bool ColumnMapping::refreshBeforeExport(const QString& path)
{
    if (!m_sheet || path != m_workbookPath)
        return true;
    const QByteArray now = reader::workbookFingerprint(path);
    if (!now.isEmpty() && now == m_sheetFingerprint)
        return true;
    // Column numbers read from the old content could pay the wrong accounts.
    const QStringList lines = excelChanged(m_workbookPath, m_sheetName);
    if (auto* transactionForm = qobject_cast<TransactionForm*>(m_form))
        emit transactionForm->mappingMatched(
            QStringList{QStringLiteral("Workbook read again: it changed on disk since it was chosen")} + lines);
    return m_sheet != nullptr;
}

const reader::Document* ColumnMapping::keptSheet(const QString& path) const
{
    return path == m_workbookPath ? m_sheet.get() : nullptr;
}

QStringList ColumnMapping::headersClicked()
{
    // The header mode or row changed: a sheet still as on disk need not be read again.
    return choose(m_workbookPath, m_sheetName, true);
}

kova::Layouts ColumnMapping::layouts() const
{
    return kova::readLayouts(m_settingsPath, m_type);
}

kova::SavedMapping ColumnMapping::currentMapping() const
{
    const kova::Layouts all = layouts();
    return all.layouts.at(currentIn(all)).mapping;
}

QVector<int> ColumnMapping::savedKeys() const
{
    const kova::SavedMapping current = currentMapping();
    QVector<int> saved;
    for (int i = 0; i < current.keySaved.size(); ++i)
        if (current.keySaved.at(i))
            saved.append(i);
    return saved;
}

void ColumnMapping::keepHeaderColumns(const QStringList& previousTexts, const QStringList& choices)
{
    for (int i = 0; i < m_fields.size(); ++i) {
        QComboBox* combo = m_fields.at(i);
        const QString& text = previousTexts.at(i);
        if (text.isEmpty() || (combo->currentIndex() > 0 && combo->currentText() == text))
            continue;
        const int column = choices.indexOf(text, 1);
        if (column > 0)
            combo->setCurrentIndex(column);
    }
}

QStringList ColumnMapping::matchByHeader(const QVector<int>& savedKeyIndexes, const QStringList& choices)
{
    QVector<bool> open;
    for (int i = 0; i < m_fields.size(); ++i)
        // A date column would switch the date filter on, which only the user may do.
        open.append(m_fields.at(i)->currentIndex() <= 0 && !savedKeyIndexes.contains(i)
                    && m_type.fields.at(i).kind != kova::CellKind::Date);
    const QVector<int> matched = kova::matchTitles(m_type, choices, columns(), open);
    QStringList lines;
    for (int i = 0; i < m_fields.size(); ++i) {
        const int found = matched.at(i);
        if (found < 1)
            continue;
        QComboBox* combo = m_fields.at(i);
        combo->setCurrentIndex(found);
        m_matched.insert(combo);
        lines.append(QStringLiteral("Matched by header: ") + m_type.fields.at(i).caption
                     + QStringLiteral(" \u2190 ") + columnTip(found, choices.at(found)));
    }
    return lines;
}

void ColumnMapping::markRows() const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        QComboBox* combo = m_fields.at(i);
        const int column = combo->currentIndex();
        if (column < 1) {
            combo->setToolTip(m_problems.value(combo));
            setStyle(combo, m_problems.contains(combo) ? markedStyle : QString());
            continue;
        }
        QStringList sharers;
        for (int other = 0; other < m_fields.size(); ++other)
            if (other != i && m_fields.at(other)->currentIndex() == column)
                sharers.append(m_type.fields.at(other).caption);
        QString tip = columnTip(column, combo->currentText());
        if (m_matched.contains(combo))
            tip += QStringLiteral(" (matched by header)");
        else if (m_followed.contains(combo))
            tip += QStringLiteral(" (followed its saved title)");
        if (!sharers.isEmpty())
            tip += QStringLiteral("\nThis column is also mapped to ") + sharers.join(QStringLiteral(", "));
        combo->setToolTip(tip);
        setStyle(combo, sharers.isEmpty() ? QString() : sharedStyle);
    }
}

void ColumnMapping::fitWidth(QComboBox* combo, const QStringList& choices) const
{
    const QFontMetrics metrics(combo->font());
    int widest = 0;
    for (const QString& choice : choices)
        widest = qMax(widest, metrics.horizontalAdvance(choice));
    // Room for the frame and the drop-down arrow beside the text.
    const int frame = 36;
    combo->setMinimumWidth(qMin(widest + frame, widestCombo));
    combo->view()->setMinimumWidth(widest + frame);
}

void ColumnMapping::readColumnsSettings()
{
    const QVector<int> indexes = currentMapping().columns;
    // An index beyond the choices (a narrower sheet than the mapping was saved
    // for) leaves the combo without a current entry, which reads as not mapped.
    for (int i = 0; i < m_fields.size(); ++i)
        m_fields.at(i)->setCurrentIndex(indexes.value(i));
}

QVector<int> ColumnMapping::columns() const
{
    QVector<int> indexes;
    for (const QComboBox* combo : m_fields)
        indexes.append(combo->currentIndex());
    return indexes;
}

void ColumnMapping::readHasColumnHeader()
{
    const kova::SavedMapping saved = currentMapping();
    m_chkHeaders->setChecked(saved.hasColumnHeader);
    setHeaderRow(saved.headerRow);
}

kova::SavedMapping ColumnMapping::shownMapping() const
{
    const kova::ColumnHeader shown = header();
    kova::SavedMapping mapping;
    mapping.columns = columns();
    mapping.headerTexts = shown.texts;
    mapping.hasColumnHeader = m_chkHeaders->isChecked();
    mapping.headerRow = shown.row;
    return mapping;
}

void ColumnMapping::save(QSettings& settings) const
{
    kova::Layouts all = kova::readLayouts(settings, m_type);
    int current = all.indexOf(m_layout);
    // Renamed or deleted by another window meanwhile: what the clerk sees is
    // kept under the name it has here, over no other layout.
    if (current < 0) {
        all.layouts.append({m_layout, {}});
        current = all.layouts.size() - 1;
    }
    all.layouts[current].mapping = shownMapping();
    all.chosen = current;
    kova::writeLayouts(settings, m_type, all);
}

QStringList ColumnMapping::layoutNames() const
{
    QStringList names;
    for (const kova::NamedLayout& layout : layouts().layouts)
        names.append(layout.name);
    return names;
}

int ColumnMapping::currentLayout() const
{
    return currentIn(layouts());
}

int ColumnMapping::currentIn(const kova::Layouts& layouts) const
{
    // Renamed or deleted by another window: the one the file says was chosen.
    const int index = layouts.indexOf(m_layout);
    return index >= 0 ? index : layouts.chosen;
}

void ColumnMapping::follow(const QString& name, const kova::SavedMapping& mapping)
{
    m_layout = name;
    m_chkHeaders->setChecked(mapping.hasColumnHeader);
    setHeaderRow(mapping.headerRow);
    // The columns shown were another layout's: none of them is kept by its title.
    m_showsHeaders = false;
    announceLayouts();
}

void ColumnMapping::announceLayouts() const
{
    if (auto* transactionForm = qobject_cast<TransactionForm*>(m_form))
        emit transactionForm->layoutsChanged();
}

void ColumnMapping::chooseLayout(int index)
{
    const kova::Layouts all = layouts();
    if (index < 0 || index >= all.layouts.size() || all.layouts.at(index).name == m_layout)
        return;
    follow(all.layouts.at(index).name, all.layouts.at(index).mapping);
    if (m_sheetName.isEmpty())
        return;
    const QStringList lines = choose(m_workbookPath, m_sheetName, true);
    if (auto* transactionForm = qobject_cast<TransactionForm*>(m_form))
        emit transactionForm->mappingMatched(lines);
}

QString ColumnMapping::saveLayoutAs(const QString& name)
{
    kova::Layouts all = layouts();
    const QString refusal = kova::layoutNameRefusal(all, name);
    if (!refusal.isEmpty())
        return refusal;
    // The type's layout of a file that never held a mapping is no one's to keep beside it.
    if (all.layouts.size() == 1 && !all.layouts.first().mapping.stored)
        all.layouts.clear();
    all.layouts.append({name.trimmed(), shownMapping()});
    return store(all, name.trimmed());
}

QString ColumnMapping::renameLayout(const QString& name)
{
    kova::Layouts all = layouts();
    const int current = currentIn(all);
    const QString refusal = kova::layoutNameRefusal(all, name, current);
    if (!refusal.isEmpty())
        return refusal;
    all.layouts[current].name = name.trimmed();
    return store(all, name.trimmed());
}

QString ColumnMapping::deleteLayout()
{
    kova::Layouts all = layouts();
    if (all.layouts.size() < 2)
        return QStringLiteral("The last layout cannot be deleted");
    all.layouts.removeAt(currentIn(all));
    const QString refusal = store(all, all.layouts.first().name);
    if (!refusal.isEmpty())
        return refusal;
    // The layout the mapping followed is gone: the first one left maps the sheet.
    m_layout.clear();
    chooseLayout(0);
    return {};
}

QString ColumnMapping::store(const kova::Layouts& layouts, const QString& current)
{
    kova::Layouts stored = layouts;
    stored.chosen = stored.indexOf(current);
    bool written = false;
    const auto write = [&] {
        QSettings settings(m_settingsPath, QSettings::IniFormat);
        kova::writeLayouts(settings, m_type, stored);
        written = kova::syncSettings(settings);
    };
    if (m_savedGroup)
        m_savedGroup->absorb(write);
    else
        write();
    if (!written)
        return QStringLiteral("Settings could not be saved");
    m_layout = current;
    announceLayouts();
    return {};
}
