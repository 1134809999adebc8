#pragma once
#include "platform/Help.h"

#include <QPointer>

class QTextBrowser;

namespace tlv {

// Shows the help pages shipped as resources (:/help/<context>.html, contents
// in :/help/index.html) in one help window.
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
