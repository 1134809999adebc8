#include "invoicing/WebOrder.h"

#include "data/Catalogue.h"
#include "data/Database.h"
#include "data/InvoiceMemory.h"
#include "import/ImportDirs.h"
#include "import/Importer.h"
#include "invoicing/InvoiceEditor.h"
#include "invoicing/WebOrderParse.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFileInfo>

namespace tlv {

namespace {

// The closing sentences of every imported order's remarks.
const char *const thanks = "THANKS FOR YOUR ORDER.";
const char *const damages = "ALL DAMAGES AND SHORTAGES MUST BE REPORTED WITHIN 5 DAYS OF RECEIPT.";

// An amount of the files: "." as the decimal point; unreadable text is 0.
Hundredths fileAmount(const QString &text)
{
    return Hundredths::read(text.trimmed(), QLocale::c());
}

} // namespace

QStringList orderFields(const QString &line)
{
    const std::u16string text = line.toStdU16String();
    QStringList fields;
    for (const auto &f : splitOrderLine<char16_t>(text))
        fields << QString::fromStdU16String(f);
    return fields;
}

WebOrder webOrderOf(const QString &infoLine, const QStringList &orderLines, const QString &fileName,
                    const QLocale &locale)
{
    const QStringList info = orderFields(infoLine);
    const auto f = [&info](int i) { return info.value(i); };
    WebOrder o;

    CustomerRecord &c = o.customer;
    c.title = f(4);
    c.first = f(5);
    c.last = f(6);
    // Four address lines: the street lines in use, the city and state, then
    // the country when it is not the home country and a line is left for it.
    QString lines[4];
    int used = 0;
    for (int i = 7; i <= 9; ++i)
        if (!f(i).trimmed().isEmpty())
            lines[used++] = f(i);
    lines[used++] = f(10) + QStringLiteral(", ") + f(11);
    const QString country = f(13).trimmed();
    if (!country.isEmpty() && country != QLatin1String("US")) {
        if (used < 4)
            lines[used] = country;
        else
            o.unplacedCountry = country;
    }
    c.addr1 = lines[0];
    c.addr2 = lines[1];
    c.addr3 = lines[2];
    c.addr4 = lines[3];
    c.zip = f(12);
    c.email = f(14);
    c.phone = f(15) + QLatin1Char(' ') + f(16);
    c.note = f(17) + QLatin1Char(' ') + f(18);
    c.fax = f(19);

    if (f(21) == QLatin1String("CREDIT"))
        o.imemo = f(23) + QStringLiteral(" x") + f(24) + QLatin1Char('/') + f(25);
    else
        o.imemo = f(21);
    o.rem = f(20) + QLatin1Char('\n') + fileName;
    if (!f(26).isEmpty())
        o.rem += QStringLiteral("\nSource: ") + f(26);
    if (!f(27).isEmpty())
        o.rem += QLatin1Char('\n') + f(27);
    o.rem += QStringLiteral("\n\n") + QLatin1String(thanks) + QStringLiteral("\n\n") + QLatin1String(damages);
    o.ship = fileAmount(f(31));
    o.tax = fileAmount(f(30));

    const QString tax2 = o.tax.isZero() ? QStringLiteral("f") : QStringLiteral("t");
    for (const QString &line : orderLines) {
        const QStringList item = orderFields(line);
        QStringList row(itemColumnCount);
        row[ItemPrID] = item.value(1);
        row[ItemQty] = fileAmount(item.value(4)).text(9, locale);
        row[ItemPrice] = fileAmount(item.value(3)).text(9, locale);
        row[ItemTax1] = QStringLiteral("f");
        row[ItemTax2] = tax2;
        row[ItemDesc] = item.value(2);
        row[ItemComment] = item.value(7);
        o.items << row;
        o.sources << WebOrder::ItemSource{item.value(1), item.value(2), item.value(7)};
    }
    return o;
}

namespace {

// Seeks the key as the leading part of a product identifier; true when the
// product found is exactly the key.
bool seekProduct(const QString &key)
{
    auto &prod = db().prod5;
    if (key.isEmpty() || prod.seek(key) != 0)
        return false;
    return keyUpper(fieldio::readText(prod.field(fld::PrID))).trimmed() == key;
}

} // namespace

bool matchOrderItem(QStringList &row, const WebOrder::ItemSource &source, QString *key)
{
    auto &prod = db().prod5;
    prod.useTag(tag::Prod);
    QString k = keyUpper(source.code).trimmed();
    bool found = seekProduct(k);
    if (!found) {
        const QString option = source.option.trimmed();
        if (!option.isEmpty()) {
            k += keyUpper(option.left(1));
            found = seekProduct(k);
        }
    }
    if (key)
        *key = k;
    if (!found)
        return false;
    prod.read();
    row[ItemPrID] = prod.buf.PrID.trimmed();
    row[ItemDesc] = prod.buf.PDesc.trimmed();
    row[ItemComment] = prod.buf.IComm.trimmed();
    return true;
}

QString itemNotFoundMessage(const QString &key, const QString &description)
{
    return QStringLiteral("Item ") + key + QStringLiteral(" - ") + description +
           QStringLiteral("NOT FOUND IN PRODUCT DATABASE");
}

namespace {

QString norm(const QString &s)
{
    return keyUpper(s).trimmed();
}

} // namespace

long matchOrderCustomer(CustomerRecord &customer, bool *multiple)
{
    if (multiple)
        *multiple = false;
    auto &cust = db().cust5;
    cust.useTag(tag::cname);
    const QString last = norm(customer.last);
    const QString first = norm(customer.first);
    const QString zip = norm(customer.zip);
    if (last.isEmpty() || cust.seek(last) != 0)
        return 0;
    const auto sameLast = [&] { return norm(fieldio::readText(cust.field(fld::last))) == last; };
    const auto sameFirstAndZip = [&] {
        return norm(fieldio::readText(cust.field(fld::first))) == first &&
               norm(fieldio::readText(cust.field(fld::zip))) == zip;
    };
    long found = 0;
    for (int rc = 0; rc == 0 && sameLast(); rc = cust.skip()) {
        if (!sameFirstAndZip())
            continue;
        if (found == 0) {
            found = cust.recNo();
            continue;
        }
        if (multiple)
            *multiple = true;
        break;
    }
    if (found == 0)
        return 0;
    cust.go(found);
    const CustomerRecord imported = customer;
    cust.read();
    CustomerRecord &c = cust.buf;
    c.addr1 = imported.addr1;
    c.addr2 = imported.addr2;
    c.addr3 = imported.addr3;
    c.addr4 = imported.addr4;
    c.zip = imported.zip;
    c.phone = imported.phone;
    c.fax = imported.fax;
    c.email = imported.email;
    c.comments = c.comments.trimmed();
    cust.write();
    customer = c;
    return found;
}

long addOrderCustomer(CustomerRecord &customer, int group)
{
    auto &cust = db().cust5;
    customer.ngroup = group;
    customer.cuno = nextCustomerNumber();
    if (!cust.appendBlank())
        return 0;
    cust.buf = customer;
    if (cust.write() != 0) {
        // A record that holds no customer goes again.
        cust.markDeleted();
        cust.flush();
        db().packNeeded = true;
        return 0;
    }
    return cust.recNo();
}

QString orderDirectory(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

std::optional<WebOrder> readWebOrder(const ImportDirs &dirs, const QString &name)
{
    if (dirs.info.size() < 3 || dirs.order.size() < 3) {
        ui().information(
            QStringLiteral("Directories containing Info and Order files must be selected proir to "
                           "using the Import function. See Preferences/Import Dir's"));
        return std::nullopt;
    }
    const QString paths[2] = {orderDirectory(dirs.info) + name, orderDirectory(dirs.order) + name};
    for (const QString &path : paths)
        if (!QFileInfo(path).isFile()) {
            ui().information(path + QStringLiteral(" Not Found"));
            return std::nullopt;
        }
    if (orderImportedBefore(name) &&
        !ui().confirmYesNo(QStringLiteral("The order ") + name +
                           QStringLiteral(" has been imported before. Import it again?")))
        return std::nullopt;
    QByteArray bytes[2];
    for (int i = 0; i < 2; ++i) {
        QFile file(paths[i]);
        if (!file.open(QIODevice::ReadOnly)) {
            ui().information(file.errorString());
            return std::nullopt;
        }
        bytes[i] = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            ui().information(file.errorString());
            return std::nullopt;
        }
    }
    return webOrderOf(importLinesOf(bytes[0]).lines.value(0), importLinesOf(bytes[1]).lines, name);
}

void takeWebOrder(const WebOrder &order, const QDate &today)
{
    Db &d = db();
    startNewInvoice(today);
    InvoiceRecord &h = d.inv6.buf;
    d.cust5.buf = order.customer;
    if (!order.unplacedCountry.isEmpty())
        ui().information(QStringLiteral("Could not import full address: Country = ") + order.unplacedCountry);
    h.CuNo = 0;
    h.Dept.clear();
    h.IMemo = order.imemo;
    h.REM = order.rem;
    h.Ship = order.ship.toDouble();
    h.Tax = order.tax.toDouble();
    h.Due = 0;
    InvoiceMemory &m = invoiceMemory();
    m.items = order.items;
    for (int i = 0; i < m.items.size(); ++i) {
        QString key;
        if (!matchOrderItem(m.items[i], order.sources[i], &key))
            ui().warning(itemNotFoundMessage(key, order.sources[i].description));
    }
}

bool orderImportedBefore(const QString &fileName)
{
    QFile file(QString::fromLatin1(importedOrdersFileName));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd())
        if (QString::fromUtf8(file.readLine()).trimmed() == fileName.trimmed())
            return true;
    return false;
}

void rememberImportedOrder(const QString &fileName)
{
    QFile file(QString::fromLatin1(importedOrdersFileName));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(fileName.trimmed().toUtf8() + "\r\n");
}

} // namespace tlv
