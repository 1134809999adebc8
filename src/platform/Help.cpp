#include "platform/Help.h"

namespace tlv {

namespace {
class NoHelp : public Help
{
public:
    void showTopic(int) override {}
    void showContents() override {}
};
NoHelp noHelp;
Help *current = &noHelp;
} // namespace

Help &help()
{
    return *current;
}

void setHelp(Help *h)
{
    current = h ? h : &noHelp;
}

} // namespace tlv
