#include "masterdata/Customers.h"

#include "data/Database.h"
#include "data/Helpers.h"

namespace tlv {

namespace {
QString withoutTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}
} // namespace

bool CustomerNumberSearch::advance(long budget)
{
    auto &cust = db().cust5;
    const long records = cust.recCount();
    // Fewer records than before: the table was packed under the search (it
    // should not be), so what it has seen may no longer hold.
    if (records < m_records) {
        m_last = 0;
        m_done = false;
    }
    m_records = records;
    if (m_done)
        return true;
    if (records == 0 || m_last >= maxCustomerNumber) {
        m_done = true;
        return true;
    }
    const QString previous = cust.selectedTag();
    cust.useTag(tag::CCNO);
    FIELD4 *number = cust.field(fld::cuno);
    // Resuming: the first record numbered above the run seen so far. Records
    // before it only repeat numbers of the run (or hold no positive number),
    // which the walk passes over anyway.
    if (m_last == 0)
        cust.top();
    else
        cust.seek(customerNumberText(m_last + 1));
    // Only numbers that lengthen the run count against the budget, so that
    // every piece gets further even past a stretch of repeated numbers.
    long walked = 0;
    while (!cust.eof() && walked < budget) {
        const int n = fieldio::readInt(number);
        if (n > m_last + 1) {
            m_done = true;
            break;
        }
        // Numbers only grow in this order; a stray zero or negative number
        // must not pull the walk back.
        if (n > m_last) {
            m_last = n;
            ++walked;
        }
        if (cust.skip(1) != 0)
            break;
    }
    if (cust.eof())
        m_done = true;
    cust.selectTag(previous.isEmpty() ? nullptr : previous.toLatin1().constData());
    cust.top();
    return m_done;
}

int CustomerNumberSearch::result()
{
    while (!advance(1 << 20)) {
    }
    return m_last + 1;
}

void CustomerNumberSearch::taken(int number)
{
    // The number was the one found: the run now reaches it, and the walk
    // goes on from there.
    if (m_done && number == m_last + 1) {
        m_last = number;
        m_done = false;
    }
}

CustomerEntry customerEntryOf(const CustomerRecord &r)
{
    CustomerEntry e;
    e.title = r.title.trimmed();
    e.first = r.first.trimmed();
    e.last = r.last.trimmed();
    e.addr1 = r.addr1.trimmed();
    e.addr2 = r.addr2.trimmed();
    e.addr3 = r.addr3.trimmed();
    e.addr4 = r.addr4.trimmed();
    e.zip = r.zip.trimmed();
    e.phone = r.phone.trimmed();
    e.email = r.email.trimmed();
    e.fax = r.fax.trimmed();
    e.note = r.note.trimmed();
    e.comments = withoutTrailingBlanks(r.comments);
    return e;
}

QString customerNumberText(int number)
{
    return paddedNumber(number, 6);
}

QString groupNameOf(int number, int *groupRecNo)
{
    auto &groups = db().groups;
    if (groupRecNo)
        *groupRecNo = 0;
    if (!groups.isOpen())
        groups.open(); // closed with the command's other tables
    // The lookup works in number order; whoever opened the groups keeps the
    // order they chose.
    const QString order = groups.selectedTag();
    const bool found = number != 0 && lookUpGroup(number);
    if (found && groupRecNo)
        *groupRecNo = int(groups.recNo());
    if (number == 0) {
        groups.buf.nGroup = 0;
        groups.buf.cGroup.clear();
    }
    groups.selectTag(order.toLatin1().constData());
    return found ? groups.buf.cGroup.trimmed() : QString();
}

QString openCustomer(int &recNo)
{
    auto &cust = db().cust5;
    if (recNo > 0 && cust.go(recNo) == 0) {
        cust.read();
    } else {
        cust.clear();
        recNo = -1;
    }
    if (cust.buf.ngroup == 0)
        return QString();
    int groupRecNo = 0;
    const QString name = groupNameOf(cust.buf.ngroup, &groupRecNo);
    if (groupRecNo == 0)
        cust.buf.ngroup = 0; // the group is gone: a new one must be chosen
    return name;
}

QString messageOf(CustomerSave result)
{
    switch (result) {
    case CustomerSave::Saved:
        return {};
    case CustomerSave::NoGroup:
        return QStringLiteral("Please Select Customer Group");
    case CustomerSave::AppendFailed:
        return QStringLiteral("Unable to Append record . . Please try again.") + writeFailureLine();
    case CustomerSave::WriteFailed:
        return QStringLiteral("The record could not be saved.") + writeFailureLine();
    case CustomerSave::NumbersUsedUp:
        return QStringLiteral("Unable to Append record . . All customer numbers up to %1 are in use.")
            .arg(maxCustomerNumber);
    }
    return {};
}

CustomerSave saveCustomer(int &recNo, const CustomerRecord &loaded, int group, const CustomerEntry &entry,
                          CustomerNumberSearch *numbers)
{
    if (group == 0)
        return CustomerSave::NoGroup;
    auto &cust = db().cust5;
    CustomerRecord r = loaded;
    // A record without a number (brought over from older data) is given one
    // in place rather than duplicated by an append.
    const bool existing = recNo > 0;
    if (!existing || r.cuno == 0) {
        CustomerNumberSearch own;
        CustomerNumberSearch &search = numbers ? *numbers : own;
        r.cuno = search.result();
        // A number the six-digit field cannot hold would be stored as
        // asterisks and read back as 0.
        if (r.cuno > maxCustomerNumber)
            return CustomerSave::NumbersUsedUp;
        if (!existing && !cust.appendBlank())
            return CustomerSave::AppendFailed;
        search.taken(r.cuno);
    }
    if (existing) {
        cust.go(recNo);
    } else {
        recNo = int(cust.recNo());
    }
    r.ngroup = group;
    r.title = entry.title;
    r.first = entry.first;
    r.last = entry.last;
    r.addr1 = entry.addr1;
    r.addr2 = entry.addr2;
    r.addr3 = entry.addr3;
    r.addr4 = entry.addr4;
    r.zip = entry.zip;
    r.comments = entry.comments; // trailing blanks go when the memo is written
    r.note = entry.note;
    r.phone = entry.phone;
    r.fax = entry.fax;
    r.email = entry.email;
    cust.buf = r;
    if (cust.write() != 0)
        return CustomerSave::WriteFailed;
    if (cust.isDeleted()) {
        cust.recall();
        if (cust.flush() != 0)
            return CustomerSave::WriteFailed;
    }
    return CustomerSave::Saved;
}

void deleteCustomer(int recNo)
{
    auto &cust = db().cust5;
    if (recNo <= 0 || cust.go(recNo) != 0)
        return;
    cust.markDeleted();
    cust.flush();
    db().packNeeded = true;
}

} // namespace tlv
