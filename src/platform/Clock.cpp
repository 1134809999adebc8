#include "platform/Clock.h"

namespace tlv {

namespace {
const SystemClock systemClock;
const Clock *current = &systemClock;
} // namespace

const Clock &clock()
{
    return *current;
}

void setClock(const Clock *c)
{
    current = c ? c : &systemClock;
}

} // namespace tlv
