#include "import/ImportDirs.h"

#include "data/Database.h"

namespace tlv {

ImportDirs loadImportDirs()
{
    auto &t = db().impDirs;
    t.open();
    ImportDirs dirs;
    if (t.top() == 0) {
        t.read();
        dirs.info = t.buf.InfoDir.trimmed();
        dirs.order = t.buf.OrderDir.trimmed();
    }
    t.close();
    return dirs;
}

void storeImportDirs(const ImportDirs &dirs)
{
    auto &t = db().impDirs;
    t.open();
    if (t.top() != 0)
        t.appendBlank();
    t.buf.InfoDir = dirs.info.left(importDirMax);
    t.buf.OrderDir = dirs.order.left(importDirMax);
    t.write();
    t.close();
}

} // namespace tlv
