#include "mail/BulkMail.h"

#include "data/Catalogue.h"
#include "data/Database.h"
#include "mail/EMail.h"

namespace tlv {

QStringList bulkMailAddresses(const QList<int> &groups)
{
    QStringList addresses;
    auto &cust = db().cust5;
    cust.useTag(tag::CZip);
    FIELD4 *groupField = cust.field(fld::ngroup);
    FIELD4 *emailField = cust.field(fld::email);
    for (cust.top(); !cust.eof(); cust.skip()) {
        // A customer marked deleted waits for its pack and gets no mail.
        if (cust.isDeleted() || !groups.contains(fieldio::readInt(groupField)))
            continue;
        const QString address = fieldio::readText(emailField).trimmed();
        if (isMailableAddress(address))
            addresses << address;
    }
    return addresses;
}

BulkMailResult sendInBatches(const QStringList &addresses, const BulkMailHooks &hooks)
{
    BulkMailResult result;
    bool confirmed = false;
    for (qsizetype first = 0; first < addresses.size(); first += bulkBatchSize) {
        const QStringList batch = addresses.mid(first, bulkBatchSize);
        // The first message is written in the window; the rest follow it.
        const bool ok = confirmed ? hooks.send(batch) : hooks.compose(batch);
        if (!ok) {
            result.stopped = true;
            break;
        }
        confirmed = true;
        ++result.messages;
        result.recipients += int(batch.size());
    }
    return result;
}

} // namespace tlv
