#pragma once
// The report generators: each fills the report document from the tables,
// reporting its progress, and tells whether there is anything to show. The
// caller opens the tables, asks for the selection, shows the document and
// ends the report.
#include "data/Catalogue.h"

#include <QString>
#include <span>

namespace tlv {

// Product listing: every product with its price, reorder level and comment.
// Prod5 open. True when the document holds rows.
bool productListing();

// Purchasing report: the purchases dated within the selection's span,
// grouped by product, with their total cost. Pur5 and Prod5 open.
bool purchasingReport();

// What a report needs before its generator runs.
enum class ReportQuestion {
    None,      // runs at once
    MonthSpan, // a date span, the current month by default
    AsOfDate,  // one date, today by default, as the selection's starting date
};

struct ReportCommand
{
    const char *name;                // for tlvtool report NAME
    std::span<const TableId> tables; // opened before the generator runs
    ReportQuestion question;
    bool (*generate)();
};

// Every report that runs on its own, in the order tlvtool lists them.
std::span<const ReportCommand> reportCommands();
const ReportCommand *findReportCommand(const QString &name);

// Opens the report's tables (a table that cannot be opened ends the program).
void openReportTables(const ReportCommand &command);

} // namespace tlv
