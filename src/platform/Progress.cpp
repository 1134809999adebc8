#include "platform/Progress.h"

namespace tlv {

namespace {
class SilentProgress : public Progress
{
public:
    void showStatus(const QString &) override {}
    void showProgress(int) override {}
};
SilentProgress silent;
Progress *current = &silent;
} // namespace

int percentOf(long long done, long long total)
{
    if (total <= 0)
        return 0;
    return static_cast<int>(done * 100 / total);
}

Progress &progress()
{
    return *current;
}

void setProgress(Progress *p)
{
    current = p ? p : &silent;
}

} // namespace tlv
