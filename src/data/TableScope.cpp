#include "data/TableScope.h"

#include "data/Database.h"
#include "data/FileMaint.h"

#include <exception>

namespace tlv {

namespace packList {
namespace {
// The order of a full pack: customers first, products last.
constexpr PackTarget all[] = {
    {TableId::CUST5, true, 10}, {TableId::GROUPS, false, 30}, {TableId::INV6, true, 35},
    {TableId::ITM5, false, 50}, {TableId::LABELS, false, 70}, {TableId::PMT, false, 75},
    {TableId::Pur5, false, 85}, {TableId::Prod5, true, 100},
};
constexpr PackTarget cust[] = {{TableId::CUST5, false}};
constexpr PackTarget prod[] = {{TableId::Prod5, false}, {TableId::Pur5, false}};
constexpr PackTarget pur[] = {{TableId::Pur5, false}};
constexpr PackTarget grp[] = {{TableId::GROUPS, false}};
} // namespace
const std::span<const PackTarget> everything = all;
const std::span<const PackTarget> invoices = all;
const std::span<const PackTarget> customers = cust;
const std::span<const PackTarget> products = prod;
const std::span<const PackTarget> purchases = pur;
const std::span<const PackTarget> groups = grp;
} // namespace packList

int packTable(TableId table, bool compactMemo)
{
    Db &d = db();
    CODE4 *c4 = d.session();
    const int previousMode = code4accessMode(c4, 1);
    d.takeErrorCode();
    int result = -1;
    DATA4 *data = d4open(c4, tableDef(table).stem);
    if (data && d.takeErrorCode() >= 0) {
        result = d4pack(data);
        if (compactMemo && result >= 0 && hasMemo(tableDef(table)) && d4memoWasted(data) > 0)
            d4memoCompress(data);
    }
    if (data)
        d4close(data);
    d.takeErrorCode(); // pack results are not reported
    code4accessMode(c4, previousMode);
    return result;
}

void packTables(std::span<const PackTarget> targets)
{
    for (const PackTarget &t : targets)
        packTable(t.table, t.compactMemo);
    db().packNeeded = false;
}

TableScope::TableScope(std::span<const PackTarget> packOnExit)
    : m_pack(packOnExit), m_exceptions(std::uncaught_exceptions())
{}

TableScope::~TableScope()
{
    Db &d = db();
    d.closeAll();
    // When the program is ending (a table could not be opened) only close.
    if (std::uncaught_exceptions() > m_exceptions)
        return;
    if (!d.packNeeded || m_pack.empty())
        return;
    if (m_pack.data() == packList::everything.data())
        packAll(); // as "Pack Data", with its status and progress
    else
        packTables(m_pack);
}

} // namespace tlv
