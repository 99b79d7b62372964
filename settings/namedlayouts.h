#pragma once

#include "mappingstore.h"

#include <QString>
#include <QVector>

class QSettings;

namespace reader { class Document; }

namespace kova {

// A saved mapping with a name: a company with a head-office and a branch
// sheet of one type keeps one for each ("Payroll HQ", "Payroll Branch").
struct NamedLayout
{
    QString name;
    SavedMapping mapping;
};

// A type's layouts and the one chosen last. The mapping in the type's own
// group is the first layout: named by its "LayoutName", or after the type,
// which is how a settings file written before layouts had names reads, whole
// and unchanged. The others lie in the group's "Layouts" array, each with its
// "Name"; "Layout" names the chosen one (missing or unknown: the first).
struct Layouts
{
    QVector<NamedLayout> layouts;   // never empty
    int chosen = 0;

    // The layout of that name (case as written), or -1.
    int indexOf(const QString& name) const;
};

// Why name (trimmed) cannot name a layout of layouts beside the one at
// index keeping (-1: none): empty, or another's already; else empty.
QString layoutNameRefusal(const Layouts& layouts, const QString& name, int keeping = -1);

Layouts readLayouts(const QString& settingsPath, const TypeDescriptor& type);
Layouts readLayouts(QSettings& settings, const TypeDescriptor& type);

// Into settings, outside any group: every layout, the first in the type's
// own group, and the chosen one's name. Names must be unique and not empty.
void writeLayouts(QSettings& settings, const TypeDescriptor& type, const Layouts& layouts);

// Which layout a sheet is read by when none is named: the only one whose
// saved column titles are all found on the sheet (placeMapping moves none of
// them to "not mapped"); where two fit, or none does, the chosen one. The
// note says which was taken and why; a type with one layout takes it without
// a word, as before layouts had names.
struct LayoutPick
{
    int index = 0;
    QString note;
};
LayoutPick pickLayout(const TypeDescriptor& type, const Layouts& layouts, const reader::Document& sheet);

} // namespace kova
