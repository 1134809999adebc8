#pragma once
// Bulk e-mail to the customers of chosen groups: their addresses in
// postal-code order, twenty to a message, every one in the "To" line. The
// first full batch (or the only one) is shown to the user, who writes the
// subject and text and sends it; the later batches go out with the same
// subject and text without a window.
#include <QList>
#include <QStringList>
#include <functional>

namespace tlv {

inline constexpr int bulkBatchSize = 20;

struct BulkMailHooks
{
    // Shows the message for these recipients; true when the user sent it.
    std::function<bool(const QStringList &recipients)> compose;
    // Sends the confirmed message to these recipients; false on a failure
    // (already shown), which ends the bulk e-mail.
    std::function<bool(const QStringList &recipients)> send;
};

struct BulkMailResult
{
    int messages = 0;     // messages sent
    int recipients = 0;   // addresses they went to
    bool stopped = false; // cancelled by the user or ended by a failure
};

// The addresses, trimmed, of CUST5 (open) in postal-code order. A customer
// counts when it is not marked deleted, its group is among `groups` and its
// address has an "@" after its first character.
QStringList bulkMailAddresses(const QList<int> &groups);
// Sends the addresses in batches of twenty: compose for the first, send for
// the others once the first went; stops when the user did not send the
// first or a send failed. The tables are closed by then, so whatever the
// user does while a batch waits for the server cannot pull them away.
BulkMailResult sendInBatches(const QStringList &addresses, const BulkMailHooks &hooks);

} // namespace tlv
