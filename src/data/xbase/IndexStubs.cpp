// Stand-ins for the index half of the engine: the index hooks of Table.h do
// nothing, tables have no tags, and every order is record-number order.
// The index code (Ntx, KeyExpr) replaces this whole file.

#include "Table.h"

namespace xbase {

int indexOpen(DATA4 *)
{
    return 0;
}

int indexAppend(DATA4 *, long, const char *)
{
    return 0;
}

int indexUpdate(DATA4 *, long, const char *, const char *)
{
    return 0;
}

int indexRebuild(DATA4 *)
{
    return 0;
}

int indexFlush(DATA4 *)
{
    return 0;
}

void indexClose(DATA4 *, bool) {}

int orderTop(DATA4 *d)
{
    return d->recCount ? positionOn(d, 1) : positionEof(d);
}

int orderBottom(DATA4 *d)
{
    return d->recCount ? positionOn(d, long(d->recCount)) : positionEof(d);
}

int orderSkip(DATA4 *d, long n)
{
    long long target = (d->eof ? (long long)d->recCount + 1 : d->recNo) + n;
    if (target > (long long)d->recCount) return positionEof(d);
    if (target < 1) return positionBof(d);
    return positionOn(d, long(target));
}

int orderSeek(DATA4 *d, const char *)
{
    return positionEof(d);
}

double orderPosition(DATA4 *d)
{
    return d->recCount > 1 && d->recNo > 0 ? double(d->recNo - 1) / double(d->recCount - 1) : 0.0;
}

} // namespace xbase

using namespace xbase;

TAG4 *d4tag(DATA4 *d, const char *)
{
    if (d) setError(d, e4tag);
    return nullptr;
}

void d4tagSelect(DATA4 *d, TAG4 *tag)
{
    if (d && !tag) d->selectedTag = nullptr;
}

int d4tagSelectP(DATA4 *d, TAG4 *tag)
{
    d4tagSelect(d, tag);
    return 0;
}

TAG4 *d4tagSelected(DATA4 *)
{
    return nullptr;
}

const char *t4alias(TAG4 *)
{
    return "";
}

const char *t4expr(TAG4 *)
{
    return "";
}

int i4create(DATA4 *d, const char *, const TAG4INFO *)
{
    if (d) setError(d, e4index);
    return e4index;
}
