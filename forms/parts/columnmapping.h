#pragma once

#include "forms/base/layoutchoice.h"
#include "types/columnmap.h"
#include "types/typedescriptor.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QSettings;
class QSpinBox;
class QWidget;

namespace reader { class Document; }
class SavedGroup;
namespace kova { struct Layouts; struct SavedMapping; struct SheetMapping; }

// The column mapping every transaction form shares: one row per field of the
// type, its label and its combo box, built into the form's "Columns Mapping"
// group from the type's descriptor. The combo boxes offer the columns of the
// chosen sheet, and
// each combo's current index is the 1-based sheet column of its field (0: not
// mapped). A mapping saved while letters were shown still holds when header
// texts are shown, and the other way round. With header texts, each field's
// title is saved too, and a later sheet is checked against it
// (kova::placeMapping): a field follows its title to another column, or is
// left empty and marked when the title is missing or doubled, or when it has
// none and other fields moved.
//
// The form's "Header row" box (spnHeaderRow, beside chkHeaders) says which row
// holds the titles; a sheet whose saved titles stand together in another of
// its first rows moves it there.
//
// The mapping read and saved is the current one of the type's named layouts
// (kova::readLayouts): at first the one the settings file says was chosen;
// when a sheet is chosen and the type has two or more, the one whose saved
// titles the sheet has (kova::pickLayout, its note first in the log); or the
// one the clerk chose in the window's layout bar.
//
// Not a QObject: the form keeps its own slots ON_Excel_Changed and
// ON_chkHeaders_Click and forwards them here. Build it after setupUi.
class ColumnMapping final : public LayoutChoice
{
public:
    // Adds a row per field of type to groups, the grids inside gbColMap in
    // the order of the type's groupStarts, below what the form put there; a
    // spacer the form closed a grid with stays below the rows. The combo box
    // of a field carries its comboName, so the form can reach it; its label
    // shows the field's formLabel(), marked as required outside Others mode.
    ColumnMapping(QWidget* form, QGroupBox* gbColMap, QCheckBox* chkHeaders,
                  const QVector<QGridLayout*>& groups, const QString& settingsPath,
                  const kova::TypeDescriptor& type);
    ~ColumnMapping() override;
    ColumnMapping(const ColumnMapping&) = delete;
    ColumnMapping& operator=(const ColumnMapping&) = delete;

    // Marks the fields required in othersMode (the beneficiary bank is
    // another bank) and those required always.
    void markRequired(bool othersMode);

    // Every combo box inside gbColMap, nested group boxes included, in creation order.
    const QList<QComboBox*>& comboBoxes() const { return m_comboBoxes; }

    // Each field's currentIndex(), in field order.
    QVector<int> columns() const;
    // The header row, the titles of the columns now chosen, and the refusal
    // of an export while a saved field is not placed (empty once the user
    // chose that field's column).
    kova::ColumnHeader header() const;

    // What the last excelChanged() was told; empty until then.
    QString workbookPath() const { return m_workbookPath; }
    QString sheetName() const { return m_sheetName; }
    // Before an export of the workbook at path: when the file no longer holds
    // what the choices were read from (reader::workbookFingerprint), reads it again
    // as any choice is read, so the saved mapping follows its header texts
    // again, and the processing log says so first. False when that read
    // failed (its box was shown): nothing may be exported.
    bool refreshBeforeExport(const QString& path);
    // The sheet the choices were read from, for an export of the workbook at
    // path, so that a full-size sheet is not read a second time; nullptr when
    // path is another file. Call refreshBeforeExport() first.
    const reader::Document* keptSheet(const QString& path) const;

    // ON_Excel_Changed: remembers the choice, then offers the sheet's columns in
    // every combo box and applies the saved mapping. An empty sheet name (no
    // sheet to choose) empties every combo box. With header texts shown both
    // before and now, a field keeps its column when the new sheet has one of
    // the same header text; a field never saved and still unmapped takes the
    // one column whose header names it. With no mapping saved for the type,
    // the sheet's top rows decide "Has Column Header" and the header row
    // unless the user set them (kova::findTitleRow), and the required fields
    // left unmapped are named. Returns a line for each of these.
    QStringList excelChanged(const QString& path, const QString& sheet);
    // ON_chkHeaders_Click: rebuilds the choices in the new mode for the
    // remembered workbook and sheet; unsaved mapping changes are lost.
    QStringList headersClicked();
    // Read_Columns_Settings: puts the saved indexes back; a group that was never
    // saved leaves every combo on the empty entry.
    void readColumnsSettings();

    // chkHeaders and the header row as the settings file holds them
    // (missing: unchecked, row 1).
    void readHasColumnHeader();
    // Called with settings outside any group: the columns, their titles,
    // chkHeaders and the header row as the current layout, which the file
    // then names as the one chosen; the other layouts as the file holds them.
    void save(QSettings& settings) const;

    // The form's guard on saving over another's settings, told of each
    // layout stored from the bar so that its own writes raise no question.
    void guardWith(SavedGroup* saved) { m_savedGroup = saved; }

    QStringList layoutNames() const override;
    int currentLayout() const override;
    void chooseLayout(int index) override;
    QString saveLayoutAs(const QString& name) override;
    QString renameLayout(const QString& name) override;
    QString deleteLayout() override;

private:
    // excelChanged(); mayKeep: the sheet read last serves again while the
    // file holds what it held then.
    QStringList choose(const QString& path, const QString& sheet, bool mayKeep);
    kova::Layouts layouts() const;
    // The current layout's index in layouts.
    int currentIn(const kova::Layouts& layouts) const;
    // The current layout's saved mapping.
    kova::SavedMapping currentMapping() const;
    // The index of every key the current layout saved.
    QVector<int> savedKeys() const;
    // What the combo boxes, chkHeaders and the header row show, as a layout keeps it.
    kova::SavedMapping shownMapping() const;
    // Follows the named layout from now on: its chkHeaders and header row,
    // and the layout bar told.
    void follow(const QString& name, const kova::SavedMapping& mapping);
    // Writes layouts (the current one named current) into the settings file,
    // the form's guard told; the refusal when the file did not take them.
    QString store(const kova::Layouts& layouts, const QString& current);
    void announceLayouts() const;
    void keepHeaderColumns(const QStringList& previousTexts, const QStringList& choices);
    QStringList matchByHeader(const QVector<int>& savedKeyIndexes, const QStringList& choices);
    // With no mapping saved: ticks chkHeaders and sets the header row when
    // the sheet's top rows look like a table with titles, unticks a tick
    // guessed before when they do not; what the log says of it.
    QStringList guessHeaders(const reader::Document& workbook);
    // With no mapping saved: the required fields still unmapped and what to do.
    QStringList unmappedAdvice() const;
    // Puts the sheet's own reading of the saved mapping on the combo boxes;
    // returns what the log says of it.
    QStringList applyPlacement(const kova::SheetMapping& placed);
    void setHeaderRow(int row);
    int headerRow() const;
    void buildRows(const QVector<QGridLayout*>& groups);
    // Each row's tooltip and mark: the column it reads and how it came to,
    // why a field is not placed, the other fields reading the same column.
    void markRows() const;
    void fitWidth(QComboBox* combo, const QStringList& choices) const;

    QWidget* m_form;
    QCheckBox* m_chkHeaders;
    QString m_settingsPath;
    const kova::TypeDescriptor& m_type;
    QList<QComboBox*> m_fields;   // one per field, in field order
    QList<QComboBox*> m_comboBoxes;
    QString m_workbookPath;
    QString m_sheetName;
    std::unique_ptr<reader::Document> m_sheet;   // read for the choices; null when none was
    QByteArray m_sheetFingerprint;             // what the file held when m_sheet was read
    QList<QLabel*> m_captions;   // one per field
    bool m_showsHeaders = false;           // the choices offered are header texts
    QSet<const QComboBox*> m_matched;      // set by header, not by the user or the settings
    QSet<const QComboBox*> m_followed;     // moved with its saved title
    QHash<const QComboBox*, QString> m_problems;   // not placed on this sheet: why it is empty
    QSpinBox* m_headerRowBox = nullptr;    // the form's "Header row"; none in a bare form
    int m_headerRow = 1;
    bool m_othersMode = false;             // as markRequired() was told
    bool m_headersChosen = false;          // the user set chkHeaders or the header row
    bool m_headersGuessed = false;         // chkHeaders ticked by guessHeaders()
    QList<QMetaObject::Connection> m_connections;
    QString m_layout;                      // the current layout's name
    SavedGroup* m_savedGroup = nullptr;
};
