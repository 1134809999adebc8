#pragma once
// Every command of the main window works inside a TableScope: it opens the
// tables it needs, and however it ends, the scope closes all tables and, when
// a deletion set the pack-needed flag meanwhile, packs the command's tables.
#include "data/Catalogue.h"

#include <span>

namespace tlv {

struct PackTarget
{
    TableId table;
    bool compactMemo;
    int progress = 0; // shown before the table when the whole database is packed
};

// What each command packs when it ends with the pack-needed flag set.
namespace packList {
// Every table, memos compacted where a table has them, in the order of
// "Pack Data" (packAll), which packs them with its status and progress.
extern const std::span<const PackTarget> everything;
// The invoice command packs the whole database as "Pack Data" does.
extern const std::span<const PackTarget> invoices;
extern const std::span<const PackTarget> customers; // CUST5
extern const std::span<const PackTarget> products;  // Prod5, Pur5
extern const std::span<const PackTarget> purchases; // Pur5
extern const std::span<const PackTarget> groups;    // GROUPS
// Commands that delete nothing.
inline constexpr std::span<const PackTarget> none{};
} // namespace packList

// Packs one table: opens it by its stem with its index group, denying other
// writers, removes the marked records (the engine rebuilds its tags) and
// compacts the memo file when asked. A table that cannot be opened is left
// as it is. Returns the engine's pack result (negative: not packed). All
// other tables must be closed.
int packTable(TableId table, bool compactMemo);
// Packs the listed tables in order, without status display, and clears the
// pack-needed flag.
void packTables(std::span<const PackTarget> targets);

class TableScope
{
public:
    explicit TableScope(std::span<const PackTarget> packOnExit = packList::none);
    ~TableScope();
    TableScope(const TableScope &) = delete;
    TableScope &operator=(const TableScope &) = delete;

private:
    std::span<const PackTarget> m_pack;
    int m_exceptions;
};

} // namespace tlv
