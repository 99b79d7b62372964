#include "collectionform.h"

#include "core/collection/collectionexport.h"
#include "ui_collectionform.h"

CollectionForm::CollectionForm(QWidget* parent)
    : AccountForm(parent, kova::collectionDescriptor())
    , ui(new Ui_CollectionForm)
{
    ui->setupUi(this);
    setUpAccountForm(AccountWidgets::of(*ui, ui->rdbAnytime), QStringLiteral("Credited Account #"));
    Read_Settings();
}

CollectionForm::~CollectionForm()
{
    delete ui;
}

QString CollectionForm::settingsRefusal() const
{
    return kova::validateCollectionSettings(settings());
}

std::unique_ptr<kova::AccountExport> CollectionForm::exportJob() const
{
    return std::make_unique<kova::CollectionExport>(settings());
}

kova::CollectionSettings CollectionForm::settings() const
{
    kova::CollectionSettings s;
    gather(s);
    s.creditedAccount = checkedAccount();
    s.immediate = ui->rdbAnytime->isChecked();
    s.remarks1 = ui->txtRemarks1->text();
    s.remarks2 = ui->txtRemarks2->text();
    return s;
}
