#include "shell/ImportDirU.h"

#include "import/ImportDirs.h"
#include "picklists/PickList.h"
#include "shell/DriveDirU.h"
#include "widgets/FormKitU.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace tlv {

TImportdir::TImportdir(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Importdir"));
    setWindowTitle(QStringLiteral("Import Directories"));
    m_info = new QLineEdit;
    m_info->setObjectName(QStringLiteral("Edit1"));
    m_order = new QLineEdit;
    m_order->setObjectName(QStringLiteral("Edit2"));
    for (QLineEdit *e : {m_info, m_order})
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 50);
    QPushButton *bInfo = namedButton("BInfo", QStringLiteral("Browse"));
    QPushButton *bOrder = namedButton("BOrder", QStringLiteral("Browse"));
    QPushButton *bSave = namedButton("BSave", QStringLiteral("Save"));
    QPushButton *bCancel = namedButton("BCancel", QStringLiteral("Cancel"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Directory containing Info Files")), 0, 0, 1, 2);
    grid->addWidget(m_info, 1, 0);
    grid->addWidget(bInfo, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Directory containg Order Files")), 2, 0, 1, 2);
    grid->addWidget(m_order, 3, 0);
    grid->addWidget(bOrder, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bSave);
    buttons->addWidget(bCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(bInfo, &QPushButton::clicked, this, &TImportdir::BInfoClick);
    connect(bOrder, &QPushButton::clicked, this, &TImportdir::BOrderClick);
    connect(bSave, &QPushButton::clicked, this, &TImportdir::BSaveClick);
    connect(bCancel, &QPushButton::clicked, this, &TImportdir::BCancelClick);
}

void TImportdir::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TImportdir::FormShow()
{
    const ImportDirs dirs = loadImportDirs();
    m_info->setText(dirs.info);
    m_order->setText(dirs.order);
}

void TImportdir::browse(QLineEdit *field, const QString &caption)
{
    TDriveDir chooser(this);
    chooser.setCaptions(caption, QStringLiteral("OK"));
    // It opens on the directory named so far, when there is one.
    if (QFileInfo(field->text()).isDir())
        chooser.setDirectory(field->text());
    chooser.exec();
    field->setText(chooser.result());
}

void TImportdir::BInfoClick()
{
    browse(m_info, QStringLiteral("Choose Customer Info Directory"));
}

void TImportdir::BOrderClick()
{
    browse(m_order, QStringLiteral("Choose Order File Directory"));
}

void TImportdir::BSaveClick()
{
    storeImportDirs({m_info->text(), m_order->text()});
    close();
}

void TImportdir::BCancelClick()
{
    close();
}

void showImportDirectories()
{
    TImportdir &window = onlyWindow<TImportdir>();
    // Shown again when already open, so that it reads the stored directories anew.
    window.hide();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace tlv
