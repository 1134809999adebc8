#include "data/ProgramEnd.h"

namespace tlv {

namespace {
std::function<void(const QString &)> &handler()
{
    static std::function<void(const QString &)> h;
    return h;
}
} // namespace

void setProgramEndHandler(std::function<void(const QString &reason)> h)
{
    handler() = std::move(h);
}

void endProgram(const QString &reason)
{
    if (handler())
        handler()(reason);
    throw ProgramEnded(reason);
}

} // namespace tlv
