#pragma once
#include "platform/Help.h"

#include <QPointer>

class QTextBrowser;

namespace tlv {

// Shows the help pages shipped as resources (:/help/<context>.html, contents
// in :/help/index.html) in one help window. Asked for from a modal window,
// the help window belongs to it, so that it can be read and scrolled while
// that window is open; it opens centred on the window it explains and closes
// with Escape or with the modal window it belongs to.
class QtHelp : public Help
{
public:
    ~QtHelp() override;
    void showTopic(int context) override;
    void showContents() override;

private:
    void open(const QString &page);
    QPointer<QTextBrowser> m_window;
};

} // namespace tlv
