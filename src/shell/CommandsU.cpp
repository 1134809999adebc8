// What each button of the main window and each entry of the report chooser
// runs. A command's code lives with its window or report; here it is only
// hooked to its button, one block per area.
#include "import/ImportU.h"
#include "invoicing/InvoiceU.h"
#include "mail/EMailSetupU.h"
#include "masterdata/CustomerU.h"
#include "masterdata/GroupDefU.h"
#include "masterdata/LabelDefU.h"
#include "masterdata/ProdDefU.h"
#include "masterdata/PurDefU.h"
#include "masterdata/StationaryU.h"
#include "masterdata/TaxDefU.h"
#include "reports/CustomerReportsU.h"
#include "reports/InvoiceDocsU.h"
#include "reports/ReportU.h"
#include "shell/BulkMailU.h"
#include "shell/DriveDirU.h"
#include "shell/ImportDirU.h"
#include "shell/LabelsU.h"
#include "shell/MainU.h"
#include "shell/MergeExportU.h"

#include <QPushButton>

namespace tlv {

void TMain::setCommand(const char *button, Command command)
{
    auto *b = findChild<QPushButton *>(QLatin1String(button));
    Q_ASSERT(b);
    if (!b)
        return;
    b->setEnabled(true);
    connect(b, &QPushButton::clicked, this, [command = std::move(command)] { command(); });
}

void TMain::installCommands()
{
    // ---- Reports ----
    setCommand("BitBtn15", [this] { runReport(QStringLiteral("product-listing"), this); });
    setCommand("BitBtn16", [this] { runReport(QStringLiteral("purchasing"), this); });
    setChooserAction(5, 4, [this] { runReport(QStringLiteral("purchasing"), this); });
    setChooserAction(4, 1, [this] { runReport(QStringLiteral("sales-summary"), this); });
    setChooserAction(4, 2, [this] { runReport(QStringLiteral("sales-by-product"), this); });
    setChooserAction(4, 4, [this] { runReport(QStringLiteral("daily-income"), this); });
    setChooserAction(4, 6, [this] { runReport(QStringLiteral("tax"), this); });
    setChooserAction(5, 1, [this] { runReport(QStringLiteral("inventory"), this); });
    setChooserAction(5, 2, [this] { runReport(QStringLiteral("cogs"), this); });
    setChooserAction(5, 3, [this] { runReport(QStringLiteral("stock-on-hand"), this); });
    setChooserAction(5, 5, [this] { runReport(QStringLiteral("cogs-detail"), this); });
    setChooserAction(4, 3, [this] { runProductBuyers(this); });
    setChooserAction(4, 5, [this] { runReport(QStringLiteral("receivables"), this); });
    setChooserAction(6, 1, [this] { runCustomerProfile(false, this); });
    setChooserAction(6, 2, [this] { runCustomerProfile(true, this); });
    setChooserAction(8, 1, [this] { runMergeExport(this); });

    // ---- E-mail ----
    setCommand("BtnEMailSetup", [this] { runEMailSetup(this); });
    setChooserAction(8, 2, [this] { runBulkEmail(this); });

    // ---- Invoices, bills and packing lists on the letterhead ----
    setCommand("BtnPrintInv", [this] { runInvoiceBatch(true, true, false, this); });
    setCommand("BtnEMail", [this] { runInvoiceBatch(true, true, true, this); });
    setCommand("BtnPackList", [this] { runPackingListBatch(this); });
    // Invoices and Bills: by dates or selected, printed or e-mailed.
    for (const bool invoices : {true, false}) {
        const int list = invoices ? 1 : 2;
        setChooserAction(list, 1, [this, invoices] { runInvoiceBatch(true, invoices, false, this); });
        setChooserAction(list, 2, [this, invoices] { runInvoiceBatch(false, invoices, false, this); });
        setChooserAction(list, 3, [this, invoices] { runInvoiceBatch(true, invoices, true, this); });
        setChooserAction(list, 4, [this, invoices] { runInvoiceBatch(false, invoices, true, this); });
    }
    setChooserAction(3, 1, [this] { runStatementBatch(true, false, this); });
    setChooserAction(3, 2, [this] { runStatementBatch(false, false, this); });
    setChooserAction(3, 3, [this] { runStatementBatch(true, true, this); });
    setChooserAction(3, 4, [this] { runStatementBatch(false, true, this); });

    // ---- Labels ----
    for (int kind = 1; kind <= 5; ++kind)
        setChooserAction(7, kind, [this, kind] { runLabels(kind, this); });
    setCommand("BtnInvLab", [this] { runLabels(2, this); });
    setCommand("BtnPrintBatch", [this] { runBatchFileLabels(this); });

    // ---- Invoicing ----
    // "New" in the invoice pick list opens the invoice editor.
    installInvoiceEditor();
    setCommand("BtnInvoice", [this] { runInvoiceCommand(this); });

    // ---- Customers and groups ----
    // "New" in the customer and group pick lists opens their windows,
    // wherever the lists are run from (the invoice editor chooses customers).
    installCustomerEditor();
    installGroupEditor();
    setCommand("BitBtnCust", [this] { runCustomerCommand(this); });
    setCommand("BitBtn14", [this] { runGroupCommand(this); });

    // ---- Products, purchases, tax, stationery, label stock ----
    // "New" in these pick lists opens the editing windows, wherever the
    // lists are run from (the invoice lines choose products too).
    installProductEditor();
    installPurchaseEditor();
    installLabelStockEditor();
    setCommand("BitBtnProd", [this] { runProductCommand(this); });
    setCommand("BitBtnInven", [this] { runPurchaseCommand(this); });
    setCommand("BtnSTax", [this] { runTaxDefinition(this); });
    setCommand("BtnStationary", [this] { runStationery(this); });
    setCommand("BtnLabForms", [this] { runLabelFormsCommand(this); });

    // ---- Import ----
    setCommand("BitBtn6", [this] { runImport(ImportKind::Customers, this); });
    setCommand("BitBtn7", [this] { runImport(ImportKind::Products, this); });
    setCommand("BtnDirectories", [] { showImportDirectories(); });

    // ---- File maintenance ----
    setCommand("BitBtn8", [this] { runBackupCommand(this); });
    setCommand("BitBtn9", [this] { runRestoreCommand(this); });
    setCommand("BitBtn10", [this] { runUpgradeCommand(this); });
}

} // namespace tlv
