// tlvtool demo DIR: the empty tables, then a small garden-supply business to
// try the program on, written through the data layer like the program writes
// it: groups, customers, products and services with stock purchases, and about
// three months of invoices with their lines and payments.
#include "Tool.h"
#include "data/Database.h"
#include "data/Helpers.h"
#include "data/Money.h"
#include "data/TableScope.h"
#include "platform/Clock.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tlv::tool {

namespace {

struct DemoError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// A fixed sequence, so that every demo directory holds the same business
// (only the dates follow today).
class Dice
{
public:
    int below(int n) // 0 .. n-1
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return n > 0 ? int(m_state % quint32(n)) : 0;
    }
    bool chance(int percent) { return below(100) < percent; }

private:
    quint32 m_state = 20240611u;
};

struct DemoGroup
{
    int number;
    const char *name;
};

const DemoGroup demoGroups[] = {
    {1, "Retail"}, {2, "Landscapers"}, {3, "Garden Clubs"}, {4, "Wholesale"}, {5, "Schools"},
};

struct DemoCustomer
{
    const char *title, *first, *last, *addr1, *addr2, *addr4, *zip, *phone, *email;
    int group;
    const char *comments;
};

// clang-format off
const DemoCustomer demoCustomers[] = {
    {"Mr", "John", "Smith", "12 Elm Street", "", "Millbrook, VT", "05602", "802-555-0101", "jsmith@example.com", 1, ""},
    {"Ms", "Anna", "Kowalski", "88 Birch Lane", "", "Barre, VT", "05641", "802-555-0117", "anna.k@example.net", 1, "Prefers e-mail invoices."},
    {"Mrs", "Helen", "Dubois", "5 Church Hill Road", "Apt 2", "Montpelier, VT", "05602", "802-555-0123", "", 1, ""},
    {"Dr", "Samuel", "Okafor", "301 Maple Avenue", "", "Waterbury, VT", "05676", "802-555-0130", "s.okafor@example.org", 1, ""},
    {"Mr", "Luis", "Fernandez", "Green Acres Landscaping", "44 Quarry Road", "Barre, VT", "05641", "802-555-0142", "luis@greenacres.example", 2, "Net 30. Ask for Luis or Marta."},
    {"Ms", "Priya", "Raman", "Raman Garden Design", "17 State Street", "Montpelier, VT", "05602", "802-555-0155", "priya@ramandesign.example", 2, ""},
    {"Mr", "Tom", "Becker", "Becker & Sons Lawn Care", "1200 Route 2", "Middlesex, VT", "05602", "802-555-0168", "office@beckersons.example", 2, ""},
    {"Mrs", "Carol", "Nguyen", "Hillside Garden Club", "c/o 9 Pine Street", "Northfield, VT", "05663", "802-555-0171", "hillsidegc@example.org", 3, "Club meets first Tuesday; invoices to the treasurer."},
    {"Ms", "Rita", "Moreau", "Riverside Community School", "", "", "05602", "802-555-0184", "office@riverside.example.edu", 5, ""},
    {"Mr", "Oliver", "Grant", "Grant Hardware", "2 Main Street", "Waitsfield, VT", "05673", "802-555-0196", "orders@granthw.example", 4, "Resells seed and soil; wholesale prices by arrangement."},
    {"Ms", "Julia", "Hart", "64 Sunset Drive", "", "Berlin, VT", "05602", "802-555-0203", "julia.hart@example.com", 1, ""},
    {"Mr", "Ethan", "Park", "7 Mill Pond Road", "", "Worcester, VT", "05682", "802-555-0219", "", 1, ""},
    {"Mrs", "Grace", "O'Brien", "230 Elm Street", "", "Montpelier, VT", "05602", "802-555-0226", "grace.obrien@example.net", 3, ""},
    {"Mr", "Noah", "Lindqvist", "Lindqvist Tree Service", "PO Box 88", "Plainfield, VT", "05667", "802-555-0232", "noah@lindqvist.example", 2, ""},
    {"Ms", "Sofia", "Rossi", "15 Pleasant Street", "", "Barre, VT", "05641", "802-555-0245", "sofia.rossi@example.com", 1, ""},
    {"Mr", "David", "Cohen", "420 North Street", "Unit 5", "Montpelier, VT", "05602", "802-555-0251", "dcohen@example.org", 1, ""},
    {"Ms", "Emily", "Walsh", "Valley Garden Club", "PO Box 412", "Waterbury, VT", "05676", "802-555-0264", "valleygc@example.org", 3, ""},
    {"Mr", "Marcus", "Bell", "Bell Property Services", "77 Granite Street", "Barre, VT", "05641", "802-555-0277", "marcus@bellprop.example", 2, ""},
    {"Mrs", "Irene", "Sato", "3 Brook Road", "", "East Calais, VT", "05650", "802-555-0288", "irene.sato@example.com", 1, ""},
    {"Mr", "Peter", "Novak", "Novak Farm Stand", "1881 County Road", "Calais, VT", "05648", "802-555-0290", "peter@novakfarm.example", 4, ""},
    {"Ms", "Laura", "Chen", "29 School Street", "", "Montpelier, VT", "05602", "802-555-0305", "laura.chen@example.net", 1, ""},
    {"Mr", "Frank", "Murphy", "Murphy's Market", "10 Depot Square", "Northfield, VT", "05663", "802-555-0311", "frank@murphys.example", 4, ""},
    {"Ms", "Hannah", "Weiss", "Union Elementary School", "1 Union Street", "Montpelier, VT", "05602", "802-555-0329", "garden@union.example.edu", 5, "School garden project; purchase orders required."},
    {"Mr", "George", "Adams", "56 Terrace Street", "", "Berlin, VT", "05602", "802-555-0336", "", 1, ""},
    {"Mrs", "Martha", "Lopez", "140 River Road", "", "Middlesex, VT", "05602", "802-555-0342", "mlopez@example.com", 1, ""},
    {"Mr", "Kevin", "Oduya", "Summit Landscapes", "500 Airport Road", "Berlin, VT", "05602", "802-555-0358", "kevin@summitland.example", 2, ""},
    {"Ms", "Nora", "Lindgren", "8 Bailey Avenue", "", "Montpelier, VT", "05602", "802-555-0361", "nora.lindgren@example.org", 3, ""},
    {"Mr", "Ray", "Thompson", "22 Cottage Street", "", "Waterbury, VT", "05676", "802-555-0374", "ray.t@example.com", 1, ""},
    {"Ms", "Yuki", "Tanaka", "Harvest Co-op", "61 Main Street", "Montpelier, VT", "05602", "802-555-0389", "buyer@harvestcoop.example", 4, ""},
    {"Dr", "Alan", "Fischer", "12 Liberty Street", "", "Montpelier, VT", "05602", "802-555-0392", "afischer@example.net", 1, ""},
};

struct DemoProduct
{
    const char *id, *rcode, *desc;
    double price;
    bool taxed, stocked;
    const char *comment, *memo;
    double reorder;
    double unitCost; // of a purchase
};

const DemoProduct demoProducts[] = {
    {"TROWEL", "", "Stainless hand trowel", 14.95, true, true, "", "", 6, 6.10},
    {"PRUNER", "", "Bypass pruner, 8 inch", 32.50, true, true, "Replaceable blade",
     "Pruners carry a lifetime warranty against breakage.", 4, 15.75},
    {"HOSE50", "", "Garden hose, 50 ft", 39.00, true, true, "Kink-free, brass fittings", "", 5, 18.20},
    {"GLOVES", "", "Leather work gloves", 12.75, true, true, "Sizes S, M, L", "", 12, 5.40},
    {"SEEDTOM", "", "Tomato seed, heirloom mix", 3.49, true, true, "", "", 24, 1.10},
    {"SEEDBEAN", "", "Bush bean seed, 1 lb", 6.25, true, true, "", "", 12, 2.35},
    {"MULCH", "", "Cedar mulch, 2 cu ft bag", 7.95, true, true, "", "", 20, 3.60},
    {"SOIL", "", "Potting soil, 1 cu ft", 9.50, true, true, "", "", 20, 4.25},
    {"FERT10", "", "Organic fertilizer, 10 lb", 18.40, true, true, "5-3-4", "", 10, 8.90},
    {"PLANTER", "", "Glazed planter, 12 inch", 27.00, true, true, "", "", 4, 11.50},
    {"WBARROW", "", "Wheelbarrow, 6 cu ft", 119.00, true, true, "Assembled", "", 2, 64.00},
    {"RAKE", "", "Leaf rake, steel tines", 21.95, true, true, "", "", 4, 9.80},
    {"SPRINK", "", "Oscillating sprinkler", 24.50, true, true, "", "", 4, 10.40},
    {"BIRDSEED", "", "Wild bird seed, 20 lb", 22.00, true, true, "", "", 8, 12.30},
    {"LABOR", "", "Garden labor, per hour", 45.00, false, false, "", "", 0, 0},
    {"DESIGN", "", "Planting design consult", 150.00, false, false, "Includes one site visit",
     "Design drawings remain the property of the customer once paid.", 0, 0},
    {"DELIVER", "", "Local delivery", 25.00, false, false, "Within 20 miles", "", 0, 0},
    {"SOILTEST", "", "Soil test, lab analysis", 35.00, false, false, "",
     "Soil test results are mailed within two weeks of the sample.", 0, 0},
    {"WORKSHOP", "WS-SPRING", "Pruning workshop, one seat", 40.00, false, false, "Saturday 9-12", "", 0, 0},
    {"GIFTCARD", "", "Gift card", 50.00, false, false, "", "", 0, 0},
};

const char *const payNotes[] = {"Visa ending 4242", "Check 1187", "Cash", "Mastercard ending 5100", "Check 2034", ""};
const char *const remarks[] = {"Leave at the side gate.", "Call before delivery.",
                               "Thank you for your business!", "Customer to pick up Saturday."};
// clang-format on

constexpr int demoInvoiceCount = 60;
constexpr int firstInvoiceNumber = 1001;
constexpr double salesTaxRate = 6.0;

void append(Table &t)
{
    if (!t.appendBlank())
        throw DemoError(QStringLiteral("cannot add a record to %1").arg(dbfFileName(t.def())).toStdString());
}

class DemoBusiness
{
public:
    explicit DemoBusiness(QDate today) : m_today(today) {}

    void write()
    {
        writeSettings();
        TableScope scope;
        Db &d = db();
        for (Table *t : std::initializer_list<Table *>{&d.groups, &d.cust5, &d.prod5, &d.pur5, &d.inv6,
                                                       &d.itm5, &d.pmt, &d.labels})
            t->open();
        writeGroups();
        writeCustomers();
        writeProducts();
        writeLabelStock();
        writeInvoices();
        d.inv6.flush();
        d.itm5.flush();
        d.pmt.flush();
    }

    int purchases = 0;
    int invoices = 0;

private:
    void writeSettings()
    {
        TableScope scope;
        auto &t = db().tlv2;
        t.open();
        t.read();
        SettingsRecord &s = t.buf;
        s.Company = QStringLiteral("Larkspur Garden Supply");
        s.Addr1 = QStringLiteral("214 Orchard Road");
        s.Addr2 = QStringLiteral("Montpelier, VT 05602");
        s.Addr3 = QStringLiteral("Phone 802-555-0100");
        s.Addr4 = QStringLiteral("larkspur.example");
        s.CloLine = QStringLiteral("Sincerely,");
        s.SigLine = QStringLiteral("Margaret Ellison, Owner");
        s.TaxRate2 = salesTaxRate;
        s.LabID = QStringLiteral("Address labels 3 x 10");
        t.write(); // made durable by closing
    }

    void writeGroups()
    {
        auto &t = db().groups;
        for (const DemoGroup &g : demoGroups) {
            append(t);
            t.clear();
            t.buf.nGroup = g.number;
            t.buf.cGroup = QLatin1String(g.name);
            t.write();
        }
    }

    void writeCustomers()
    {
        auto &t = db().cust5;
        for (const DemoCustomer &c : demoCustomers) {
            const int number = nextCustomerNumber();
            append(t);
            t.clear();
            CustomerRecord &r = t.buf;
            r.cuno = number;
            r.title = QString::fromUtf8(c.title);
            r.first = QString::fromUtf8(c.first);
            r.last = QString::fromUtf8(c.last);
            r.addr1 = QString::fromUtf8(c.addr1);
            r.addr2 = QString::fromUtf8(c.addr2);
            r.addr4 = QString::fromUtf8(c.addr4);
            r.zip = QString::fromUtf8(c.zip);
            r.phone = QString::fromUtf8(c.phone);
            r.email = QString::fromUtf8(c.email);
            r.ngroup = c.group;
            r.comments = QString::fromUtf8(c.comments);
            t.write();
        }
    }

    void writeProducts()
    {
        auto &t = db().prod5;
        auto &p = db().pur5;
        for (const DemoProduct &d : demoProducts) {
            append(t);
            t.clear();
            ProductRecord &r = t.buf;
            r.PrID = QLatin1String(d.id);
            r.RCode = QLatin1String(d.rcode);
            r.PDesc = QString::fromUtf8(d.desc);
            r.UPrice = d.price;
            r.LTax1 = false;
            r.LTax2 = d.taxed;
            r.lInven = d.stocked;
            r.IComm = QString::fromUtf8(d.comment);
            r.PMemo = QString::fromUtf8(d.memo);
            r.REORDER = d.reorder;
            t.write();
            if (!d.stocked)
                continue;
            // Two or three deliveries over the last four months, the later
            // ones a little dearer (so first-in-first-out and last-in-first-out
            // value the stock differently).
            const int deliveries = 2 + m_dice.below(2);
            for (int i = 0; i < deliveries; ++i) {
                append(p);
                p.clear();
                PurchaseRecord &b = p.buf;
                b.PURProd = QLatin1String(d.id);
                b.PURDate = m_today.addDays(-120 + i * 45 + m_dice.below(10));
                b.PURQty = 12 * (2 + m_dice.below(4));
                b.PURCost = roundMoney(b.PURQty * d.unitCost * (1.0 + 0.04 * i));
                b.PURNo = 0;
                p.write();
                ++purchases;
            }
        }
    }

    void writeLabelStock()
    {
        auto &t = db().labels;
        append(t);
        t.clear();
        LabelRecord &l = t.buf;
        l.Name = QStringLiteral("Address labels 3 x 10");
        l.TopM = 36;
        l.LeftM = 13.5;
        l.BottomM = 36;
        l.RightM = 13.5;
        l.Width = 189;
        l.Height = 72;
        l.HGap = 9;
        l.VGap = 0;
        l.NAcross = 3;
        l.Continuous = false;
        t.write();
    }

    void writeInvoices()
    {
        std::vector<int> ages; // days before today
        for (int i = 0; i < demoInvoiceCount; ++i)
            ages.push_back(m_dice.below(91));
        std::sort(ages.begin(), ages.end(), std::greater<int>());
        const int customerCount = int(std::size(demoCustomers));
        const int productCount = int(std::size(demoProducts));
        const int creditAt = demoInvoiceCount - 12; // one return, a few weeks back

        for (int i = 0; i < demoInvoiceCount; ++i) {
            const QDate date = m_today.addDays(-ages[i]);
            const int customer = 1 + m_dice.below(customerCount);
            const bool landscaper = demoCustomers[customer - 1].group == 2;

            struct Line
            {
                int product;
                double qty;
            };
            std::vector<Line> lines;
            if (i == creditAt) {
                lines.push_back({10, -1}); // a wheelbarrow returned
            } else {
                const int count = 1 + m_dice.below(4);
                while (int(lines.size()) < count) {
                    const int p = m_dice.below(productCount);
                    if (std::any_of(lines.begin(), lines.end(),
                                    [&](const Line &l) { return l.product == p; }))
                        continue;
                    double qty = 1 + m_dice.below(4);
                    if (QLatin1String(demoProducts[p].id) == QLatin1String("LABOR"))
                        qty = 2 + m_dice.below(7) + (m_dice.chance(30) ? 0.5 : 0.0);
                    else if (!demoProducts[p].stocked)
                        qty = 1;
                    lines.push_back({p, qty});
                }
            }

            // Totals as the invoice editor computes them.
            const double discount =
                i == creditAt ? 0.0 : (landscaper ? 10.0 : (m_dice.chance(10) ? 5.0 : 0.0));
            Hundredths sum, taxable;
            for (const Line &l : lines) {
                const Hundredths amount =
                    lineAmountOf(Hundredths::of(demoProducts[l.product].price), Hundredths::of(l.qty));
                sum += amount;
                if (demoProducts[l.product].taxed)
                    taxable += amount;
            }
            const Hundredths percent = Hundredths::of(discount);
            const Hundredths subtotal = sum - percentOf(percent, sum);
            taxable -= percentOf(percent, taxable);
            const Hundredths ship = Hundredths::of(
                (i != creditAt && m_dice.chance(25)) ? (m_dice.chance(50) ? 8.50 : 12.00) : 0.0);
            const Hundredths tax = taxOf(Hundredths::of(salesTaxRate), taxable, TaxRounding::Normal);
            const Hundredths total = subtotal + ship + tax;

            // Payments: old invoices are paid, a few in two parts; recent ones
            // are partly open; the return stays as a credit.
            std::vector<std::pair<QDate, Hundredths>> payments;
            const int age = ages[i];
            if (i != creditAt) {
                if (age > 30 || (age > 7 && m_dice.chance(50)) || m_dice.chance(15)) {
                    const QDate paid = std::min(m_today, date.addDays(m_dice.below(15)));
                    if (m_dice.chance(15) && total > Hundredths::fromUnits(5000)) {
                        const Hundredths half =
                            shareOf(total, Hundredths::fromUnits(100), Hundredths::fromUnits(200));
                        payments.push_back({paid, half});
                        if (age > 45)
                            payments.push_back({std::min(m_today, paid.addDays(21)), total - half});
                    } else {
                        payments.push_back({paid, total});
                    }
                }
            }
            Hundredths paidSum;
            for (const auto &p : payments)
                paidSum += p.second;

            Db &d = db();
            auto &inv = d.inv6;
            append(inv);
            inv.clear();
            InvoiceRecord &h = inv.buf;
            h.IvNo = firstInvoiceNumber + i;
            h.CuNo = customer;
            h.IDate = date;
            h.Dept = landscaper ? QStringLiteral("Trade") : QStringLiteral("Retail");
            h.IMemo = i == creditAt ? QStringLiteral("Return - credit on account")
                                    : QLatin1String(payNotes[m_dice.below(int(std::size(payNotes)))]);
            h.Discount = discount;
            h.Ship = ship.toDouble();
            h.Tax = tax.toDouble();
            h.Due = (total - paidSum).toDouble();
            h.REM =
                m_dice.chance(20) ? QLatin1String(remarks[m_dice.below(int(std::size(remarks)))]) : QString();
            inv.write();

            auto &itm = d.itm5;
            for (const Line &l : lines) {
                const DemoProduct &p = demoProducts[l.product];
                append(itm);
                itm.clear();
                ItemRecord &r = itm.buf;
                r.IvNo = h.IvNo;
                r.PrID = QLatin1String(p.id);
                r.Qty = l.qty;
                r.UPR = p.price;
                r.LTax1 = false;
                r.LTax2 = p.taxed;
                r.PDesc = QString::fromUtf8(p.desc);
                r.IComm = QString::fromUtf8(p.comment);
                r.lBuild = false;
                r.BackOrder = 0;
                itm.write();
            }

            auto &pmt = d.pmt;
            for (const auto &p : payments) {
                append(pmt);
                pmt.clear();
                pmt.buf.IvNo = h.IvNo;
                pmt.buf.PDate = p.first;
                pmt.buf.PAmt = p.second.toDouble();
                pmt.write();
            }
            ++invoices;
        }
    }

    QDate m_today;
    Dice m_dice;
};

} // namespace

int runDemo(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("demo needs exactly one directory"));
    const QString dir = args.first();
    if (const int code = initDataDirectory(dir))
        return code;

    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(dir))
        return fail(QStringLiteral("cannot change to %1").arg(dir));
    DemoBusiness business(clock().today());
    int code = 0;
    try {
        business.write();
    } catch (const DemoError &e) {
        code = fail(QString::fromLocal8Bit(e.what()));
    }
    QDir::setCurrent(previous);
    if (code == 0)
        printLine(QStringLiteral("Wrote a sample business into %1: %2 groups, %3 customers, %4 products and "
                                 "services, %5 purchases, %6 invoices")
                      .arg(dir)
                      .arg(std::size(demoGroups))
                      .arg(std::size(demoCustomers))
                      .arg(std::size(demoProducts))
                      .arg(business.purchases)
                      .arg(business.invoices));
    return code;
}

} // namespace tlv::tool
