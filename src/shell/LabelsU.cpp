#include "shell/LabelsU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "labels/LabPrintU.h"
#include "labels/LabelGen.h"
#include "picklists/PickCustU.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/Ui.h"
#include "reports/DateSpanU.h"
#include "reports/MultGroupU.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

#include <QFileInfo>

namespace tlv {

void runLabels(int kind, QWidget *parent)
{
    const auto batch = static_cast<LabelBatch>(kind);
    TableScope scope;
    Db &d = db();

    d.labels.open();
    if (!labelStockDefined())
        return;
    TLabPrint dialog(parent);
    dialog.labelFont = reportFont();
    dialog.exec();
    d.labels.close();
    if (dialog.cancelled)
        return;
    const LabelRecord stock = dialog.stock;
    const int column = dialog.startColumn(), row = dialog.startRow();

    LabelRequest request;
    switch (batch) {
    case LabelBatch::SelectedCustomers:
        d.cust5.open();
        d.groups.open();
        request.nextPick = [] { return runPickCust(false) ? long(db().selected.customer) : -1L; };
        break;
    case LabelBatch::InvoicesDated:
    case LabelBatch::PastDueBilling:
    case LabelBatch::BalanceDueStatements:
        selection().startDate = selection().endDate = clock().today();
        if (!askDateSpan(parent))
            return;
        request.startDate = selection().startDate;
        request.endDate = selection().endDate;
        break;
    case LabelBatch::CustomerGroups:
        d.groups.open();
        if (!askGroups(parent) || selection().chosenGroups.isEmpty())
            return;
        request.groups = selection().chosenGroups;
        break;
    case LabelBatch::BatchFile:
        break;
    }
    if (printLabels(batch, request, stock, column, row, reportFont(), printer()) == LabelOutcome::Failed)
        ui().information(QStringLiteral("Unable to print the labels."));
}

void runBatchFileLabels(QWidget *parent)
{
    if (!QFileInfo::exists(QLatin1String(batchLabelFile))) {
        ui().information(QStringLiteral("Unable to save to: ") + QLatin1String(batchLabelFile));
        return;
    }
    runLabels(int(LabelBatch::BatchFile), parent);
}

} // namespace tlv
