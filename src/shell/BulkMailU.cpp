#include "shell/BulkMailU.h"

#include "data/Catalogue.h"
#include "data/Database.h"
#include "data/TableScope.h"
#include "mail/BulkMail.h"
#include "mail/EMail.h"
#include "mail/EMailU.h"
#include "platform/Progress.h"
#include "reports/MultGroupU.h"
#include "reports/Selection.h"

namespace tlv {

void runBulkEmail(QWidget *parent)
{
    QStringList addresses;
    {
        TableScope scope;
        db().cust5.open();
        db().groups.open();
        db().cust5.useTag(tag::CZip);
        if (!askGroups(parent))
            return;
        addresses = bulkMailAddresses(selection().chosenGroups);
    }
    EMailSender &sender = emailSender();
    sender.recipients.clear();
    sender.subject.clear();
    sender.text.clear();
    // Without a mail server nothing could be sent: the user is told once,
    // before writing a message that would go nowhere.
    if (!sender.clearMessage())
        return;
    BulkMailHooks hooks;
    hooks.compose = [&sender, parent](const QStringList &recipients) {
        sender.recipients = recipients;
        return showEMailWindow(parent);
    };
    hooks.send = [&sender](const QStringList &recipients) {
        sender.recipients = recipients;
        return sender.send() == EMailSender::Outcome::Sent;
    };
    sendInBatches(addresses, hooks);
    sender.recipients.clear();
    progress().showStatus(QString());
}

} // namespace tlv
