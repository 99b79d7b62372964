#pragma once

#include <QString>
#include <QStringList>

// A form's named layouts of its type as the window's layout bar works them:
// the one the mapping now follows, and the clerk's choice, new name, rename
// and removal. Each change of the list is stored at once; the refusals are
// the bar's to show.
class LayoutChoice
{
public:
    virtual ~LayoutChoice() = default;

    virtual QStringList layoutNames() const = 0;
    virtual int currentLayout() const = 0;
    // Follows the layout at index from now on and maps the chosen sheet by it.
    virtual void chooseLayout(int index) = 0;
    // The mapping shown, stored as a new layout of that name, which becomes the current one.
    virtual QString saveLayoutAs(const QString& name) = 0;
    virtual QString renameLayout(const QString& name) = 0;
    // Removes the current layout; the first one left becomes current.
    virtual QString deleteLayout() = 0;
};
