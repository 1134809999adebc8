#pragma once

namespace tlv {

// The program's help: HTML pages shipped with the program, one topic per
// help context number.
class Help
{
public:
    virtual ~Help() = default;
    virtual void showTopic(int context) = 0;
    virtual void showContents() = 0;
};

Help &help();
void setHelp(Help *h);

} // namespace tlv
