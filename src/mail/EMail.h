#pragma once
// The e-mail sender every part of the program goes through: it holds the
// recipients, subject and text of the next message (the e-mail window shows
// and edits them; batches fill them and send without the window), sends
// with the mail settings, and shows what went wrong. It needs no window.
#include "mail/Smtp.h"

#include <QString>
#include <QStringList>

namespace tlv {

class EMailSender
{
public:
    // The next message; they stay as they are between uses until a caller
    // replaces them, so later batches of a bulk e-mail reuse the subject and
    // text the user wrote for the first.
    QStringList recipients;           // every one in the "To" line
    QString subject;                  // sent trimmed
    QString text;                     // lines separated by line breaks
    QList<TAttachedFile> attachments; // sent after the text; emptied by every send

    enum class Outcome {
        Sent,
        NotSetUp, // the set-up message was shown; nothing was sent
        Failed,   // the failure was shown
    };

    // Shows the set-up message and answers false when mail is not set up;
    // otherwise true. The recipients, subject and text are not touched.
    bool clearMessage();
    // Sends the message with the settings of the data directory in use:
    // the event's box (such as "Connection Failed") first, then the failure.
    // A send asked for while another is under way is refused with a box.
    Outcome send();
    // Set when the last send went through; cleared at the start of each send
    // and when the e-mail window is shown.
    bool sent() const { return m_sent; }
    void clearSent() { m_sent = false; }

    // Recipients the server refused in the last send (the others got it).
    QStringList refused() const { return m_refused; }

private:
    bool m_sent = false;
    QStringList m_refused;
};

// The program's one sender.
EMailSender &emailSender();

// Whether an address can be mailed to: an "@" after its first character.
bool isMailableAddress(const QString &address);

} // namespace tlv
