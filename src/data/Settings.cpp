#include "data/Settings.h"

#include "data/Database.h"
#include "platform/Ui.h"

namespace tlv {

namespace {
SettingsRecord current;

void trimMail(SettingsRecord &s)
{
    for (QString *f : {&s.MailHost, &s.MailID, &s.MailAddr, &s.MailName, &s.MailReply})
        *f = f->trimmed();
}
} // namespace

SettingsRecord &settings()
{
    return current;
}

void loadSettings()
{
    auto &t = db().tlv2;
    t.open();
    if (t.top() == 0)
        t.read();
    else
        t.clear();
    current = t.buf;
    trimMail(current);
    t.close();
}

void saveSettings()
{
    auto &t = db().tlv2;
    t.open();
    if (t.top() != 0) {
        // The record is delivered with the data files and never made by the
        // program; without it there is nothing to rewrite, and the user must
        // know the change was not kept.
        t.close();
        ui().information(QStringLiteral("Unable to save the settings: TLV2.DBF holds no settings record."));
        return;
    }
    trimMail(current);
    t.buf = current;
    t.write();
    t.close();
}

bool mailConfigured()
{
    return !current.MailHost.trimmed().isEmpty() && !current.MailAddr.trimmed().isEmpty();
}

void resetSettings()
{
    current = SettingsRecord{};
}

} // namespace tlv
