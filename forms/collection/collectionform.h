#pragma once

#include "core/collection/collectionsettings.h"

#include "forms/parts/accountform.h"

class Ui_CollectionForm;

// The "Auto Collection" transaction form. It gathers its widgets into a
// kova::CollectionSettings, saves part of them in the settings group "Collection",
// and hands exports to the shared export road, relaying what the export
// reports as its signals and message boxes.
class CollectionForm final : public AccountForm
{
    Q_OBJECT

public:
    explicit CollectionForm(QWidget* parent);
    ~CollectionForm() override;
    // The type it is the form of, for the form factory.
    static const kova::TypeDescriptor& descriptor() { return kova::collectionDescriptor(); }

private:
    QString settingsRefusal() const override;
    std::unique_ptr<kova::AccountExport> exportJob() const override;
    kova::CollectionSettings settings() const;

    Ui_CollectionForm* ui;
};
