#pragma once
// "Compose Bulk EMail" of the Bulk Mail list: the groups, then the e-mail
// window for the first twenty customers, then the rest without it
// (mail/BulkMail.h).
class QWidget;

namespace tlv {

void runBulkEmail(QWidget *parent = nullptr);

} // namespace tlv
