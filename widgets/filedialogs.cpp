#include "filedialogs.h"

#include <QFileDialog>

namespace FileDialogs {
namespace {

Chooser& chooser()
{
    static Chooser current;
    return current;
}

} // namespace

QString openFile(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (chooser())
        return chooser()(parent, Mode::Open, caption, dir, filter);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString saveFile(QWidget* parent, const QString& caption, const QString& proposal, const QString& filter)
{
    if (chooser())
        return chooser()(parent, Mode::Save, caption, proposal, filter);
    return QFileDialog::getSaveFileName(parent, caption, proposal, filter);
}

void setChooser(Chooser c) { chooser() = std::move(c); }

} // namespace FileDialogs
