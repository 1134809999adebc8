#include "data/Catalogue.h"

#include <array>

namespace tlv {

namespace {

// ---- Widths -------------------------------------------------------------------
// All field widths live here. The rules behind them:
//  - A character field is as wide as the longest text its window accepts
//    (customer names 13/20, address lines 34/19, product IDs 10, descriptions
//    27, the label stock name 40, ...). Texts that no window limits (the
//    department, the tax line labels, the signature line, the logo and font
//    names) get 59, the most the program ever assigns to a business field; the
//    mail settings get 69 and the import directories 126 for the same reason.
//  - Numbers that are keys are exactly as wide as their key: customer and
//    invoice numbers 6, group numbers 2. The stored six characters of IvNo are
//    sought as they stand in the line-item and payment tags.
//  - Other numbers take their integer digits, one place for a minus sign, the
//    point and their decimals, so that any value the masks admit (a sign may
//    stand in the place of a digit) and any negative of the same size fit.
//  - Money: the invoice editor admits seven integer digits, but a line amount
//    is a quantity of up to 999999.99 times a price of up to 99999.99, which
//    reaches eleven integer digits; money fields hold eleven digits so that a
//    computed amount (line price, due) is never cut.
constexpr int textMax = 59;     // longest text a business field is ever given
constexpr int mailTextMax = 69; // mail settings
constexpr int dirTextMax = 126; // import directories
constexpr int keyNumber = 6;    // customer and invoice numbers: Str(.., 6)
constexpr int groupNumber = 2;  // group numbers: Str(nGroup, 2)
constexpr int moneyLen = 14;    // 11 integer digits, sign, point, 2 decimals
constexpr int quantityLen = 10; // 6 integer digits ("%9.2f" masks), sign, point, 2 decimals
constexpr int unitPriceLen = 9; // 5 integer digits, sign, point, 2 decimals
constexpr int percentLen = 6;   // 2 integer digits, sign, point, 2 decimals
constexpr int inchesLen = 6;    // 2 integer digits (at most 99.99 inches), sign, point, 2 decimals
constexpr int pointsLen = 9;    // label dimensions: 4 integer digits, sign, point, 3 decimals
constexpr int smallCodeLen = 2; // 1-3 codes, with room for a sign or a second digit
constexpr int intLen = 11;      // any 32-bit integer the program merely carries

// clang-format off
constexpr FieldDef tlv2Fields[] = {
    {fld::FontName, 'C', textMax, 0},
    {fld::FontSize, 'N', 3, 0},
    {fld::LabID, 'C', 40, 0},          // LABELS.Name
    {fld::Company, 'C', 35, 0},
    {fld::Addr1, 'C', 35, 0},
    {fld::Addr2, 'C', 35, 0},
    {fld::Addr3, 'C', 35, 0},
    {fld::Addr4, 'C', 25, 0},
    {fld::CloLine, 'C', 25, 0},
    {fld::SigLine, 'C', textMax, 0},
    {fld::LogoFile, 'C', textMax, 0},  // chosen with a file dialog, so longer than typed paths
    {fld::LogoHeight, 'N', inchesLen, 2},
    {fld::LogoWidth, 'N', inchesLen, 2},
    {fld::ShipLine, 'C', textMax, 0},
    {fld::TaxLine, 'C', textMax, 0},
    {fld::ShipTax, 'N', smallCodeLen, 0},
    {fld::TaxRound, 'N', smallCodeLen, 0},
    {fld::LHJustify, 'N', smallCodeLen, 0},
    {fld::TaxRate1, 'N', percentLen, 2},
    {fld::TaxRate2, 'N', percentLen, 2},
    {fld::TopMargin, 'N', inchesLen, 2},
    {fld::ByCust, 'L', 1, 0},
    {fld::fifo, 'L', 1, 0},
    {fld::MailHost, 'C', mailTextMax, 0},
    {fld::MailID, 'C', mailTextMax, 0},
    {fld::MailAddr, 'C', mailTextMax, 0},
    {fld::MailName, 'C', mailTextMax, 0},
    {fld::MailReply, 'C', mailTextMax, 0},
};

constexpr FieldDef cust5Fields[] = {
    {fld::cuno, 'N', keyNumber, 0},
    {fld::title, 'C', 3, 0},
    {fld::first, 'C', 13, 0},
    {fld::last, 'C', 20, 0},
    {fld::addr1, 'C', 34, 0},
    {fld::addr2, 'C', 34, 0},
    {fld::addr3, 'C', 34, 0},
    {fld::addr4, 'C', 19, 0},
    {fld::zip, 'C', 10, 0},
    {fld::comments, 'M', 10, 0},
    {fld::ngroup, 'N', groupNumber, 0},
    {fld::note, 'C', 34, 0},
    {fld::phone, 'C', 20, 0},
    {fld::fax, 'C', 20, 0},
    {fld::email, 'C', 60, 0},
};

constexpr FieldDef groupsFields[] = {
    {fld::nGroup, 'N', groupNumber, 0},
    {fld::cGroup, 'C', 20, 0},
};

constexpr FieldDef inv6Fields[] = {
    {fld::IvNo, 'N', keyNumber, 0},
    {fld::CuNo, 'N', keyNumber, 0},
    {fld::Dept, 'C', textMax, 0},
    {fld::IDate, 'D', 8, 0},
    {fld::IMemo, 'C', 30, 0},
    {fld::Discount, 'N', percentLen, 2},
    {fld::Ship, 'N', moneyLen, 2},
    {fld::Tax, 'N', moneyLen, 2},
    {fld::Due, 'N', moneyLen, 2},
    {fld::REM, 'M', 10, 0},
};

constexpr FieldDef itm5Fields[] = {
    {fld::IvNo, 'N', keyNumber, 0},
    {fld::PrID, 'C', 10, 0},
    {fld::Qty, 'N', quantityLen, 2},
    {fld::UPR, 'N', moneyLen, 2},
    {fld::LTax1, 'L', 1, 0},
    {fld::LTax2, 'L', 1, 0},
    {fld::PDesc, 'C', 27, 0},
    {fld::IComm, 'C', 27, 0},
    {fld::lBuild, 'L', 1, 0},
    {fld::BackOrder, 'N', quantityLen, 2},
};

constexpr FieldDef pmtFields[] = {
    {fld::IvNo, 'N', keyNumber, 0},
    {fld::PDate, 'D', 8, 0},
    {fld::PAmt, 'N', moneyLen, 2},
};

constexpr FieldDef prod5Fields[] = {
    {fld::PrID, 'C', 10, 0},
    {fld::RCode, 'C', 10, 0},
    {fld::PDesc, 'C', 27, 0},
    {fld::UPrice, 'N', unitPriceLen, 2},
    {fld::LTax1, 'L', 1, 0},
    {fld::LTax2, 'L', 1, 0},
    {fld::lInven, 'L', 1, 0},
    {fld::IComm, 'C', 27, 0},
    {fld::PMemo, 'M', 10, 0},
    {fld::REORDER, 'N', quantityLen, 2},
    {fld::ONHAND, 'N', 12, 2},           // carried, never computed: as wide as a purchase quantity and more
    {fld::lBuild, 'L', 1, 0},
};

constexpr FieldDef pur5Fields[] = {
    {fld::PURProd, 'C', 10, 0},
    {fld::PURDate, 'D', 8, 0},
    {fld::PURQty, 'N', 11, 2},           // 7 integer digits
    {fld::PURCost, 'N', 13, 2},          // 9 integer digits
    {fld::PURNo, 'N', intLen, 0},
};

constexpr FieldDef labelsFields[] = {
    {fld::Name, 'C', 40, 0},
    {fld::TopM, 'N', pointsLen, 3},
    {fld::LeftM, 'N', pointsLen, 3},
    {fld::BottomM, 'N', pointsLen, 3},
    {fld::RightM, 'N', pointsLen, 3},
    {fld::Width, 'N', pointsLen, 3},
    {fld::Height, 'N', pointsLen, 3},
    {fld::HGap, 'N', pointsLen, 3},
    {fld::VGap, 'N', pointsLen, 3},
    {fld::NAcross, 'N', 1, 0},
    {fld::Continuous, 'L', 1, 0},
};

constexpr FieldDef importFFields[] = {
    {fld::FmtName, 'C', 30, 0},
    {fld::FmtType, 'N', 2, 0},
    {fld::Fld1, 'N', 2, 0},
    {fld::Fld2, 'N', 2, 0},
    {fld::Fld3, 'N', 2, 0},
    {fld::Fld4, 'N', 2, 0},
    {fld::Fld5, 'N', 2, 0},
    {fld::Fld6, 'N', 2, 0},
    {fld::Fld7, 'N', 2, 0},
    {fld::Fld8, 'N', 2, 0},
    {fld::Fld9, 'N', 2, 0},
    {fld::Fld10, 'N', 2, 0},
    {fld::Fld11, 'N', 2, 0},
    {fld::Fld12, 'N', 2, 0},
    {fld::Fld13, 'N', 2, 0},
    {fld::Fld14, 'N', 2, 0},
    {fld::DELIM, 'N', 3, 0},
    {fld::nFields, 'N', 2, 0},
};

constexpr FieldDef impDirsFields[] = {
    {fld::InfoDir, 'C', dirTextMax, 0},
    {fld::OrderDir, 'C', dirTextMax, 0},
};

// Tags, named as their index files; key lengths follow from the field widths
// above (Upper(Last + First) = 20 + 13, PrID + Str(IvNo,6,0) = 10 + 6, ...).
constexpr TagDef cust5Tags[] = {
    {"cName", "Upper(Last + First)", 33},
    {"ccno", "Str(CuNo, 6)", 6},
    {"czip", "Zip", 10},
    {"ccomp", "Addr1", 34},
    {"cEmail", "Upper(EMail)", 60},
};
constexpr TagDef groupsTags[] = {
    {"nGroup", "Str(nGroup, 2)", 2},
    {"cGroup", "Upper(cGroup)", 20},
};
constexpr TagDef inv6Tags[] = {
    {"inv", "Str(IvNo,6,0)", 6},
    {"invc", "Str(CuNo,6,0)", 6},
    {"invd", "DTOS(IDate)", 8},
};
constexpr TagDef itm5Tags[] = {
    {"itm", "Str(IvNo,6,0)", 6},
    {"itmP", "PrID + Str(IvNo,6,0)", 16},
};
constexpr TagDef labelsTags[] = {
    {"Labels", "Name", 40},
};
constexpr TagDef pmtTags[] = {
    {"Pmt", "Str(IvNo,6,0)", 6},
    {"PmtD", "DTOS(PDate)", 8},
};
constexpr TagDef prod5Tags[] = {
    {"Prod", "Upper(PrID)", 10},
};
constexpr TagDef pur5Tags[] = {
    {"Pur", "Upper(PURProd) + DTOS(PURDate)", 18},
};

const std::array<TableDef, tableCount> tables = {{
    {TableId::TLV2, tbl::TLV2, tlv2Fields, {}, nullptr, nullptr, false},
    {TableId::CUST5, tbl::CUST5, cust5Fields, cust5Tags, tag::cname, "AccTag.Ntx", true},
    {TableId::GROUPS, tbl::GROUPS, groupsFields, groupsTags, tag::nGroup, "AccTag.Ntx", true},
    {TableId::INV6, tbl::INV6, inv6Fields, inv6Tags, tag::Inv, "Inv.Ntx", false},
    {TableId::ITM5, tbl::ITM5, itm5Fields, itm5Tags, tag::Itm, "Itm.Ntx", true},
    {TableId::LABELS, tbl::LABELS, labelsFields, labelsTags, tag::Labels, "Labels.Ntx", true},
    {TableId::PMT, tbl::PMT, pmtFields, pmtTags, tag::Pmt, "Pmt.Ntx", true},
    {TableId::Prod5, tbl::Prod5, prod5Fields, prod5Tags, tag::Prod, "Prod.Ntx", true},
    {TableId::Pur5, tbl::Pur5, pur5Fields, pur5Tags, tag::Pur, "Pur.Ntx", true},
    {TableId::ImportF, tbl::ImportF, importFFields, {}, nullptr, nullptr, false},
    {TableId::ImpDirs, tbl::ImpDirs, impDirsFields, {}, nullptr, nullptr, false},
}};
// clang-format on

} // namespace

std::span<const TableDef> allTables()
{
    return tables;
}

const TableDef &tableDef(TableId id)
{
    return tables[static_cast<int>(id)];
}

const TableDef *findTable(const QString &stem)
{
    for (const TableDef &t : tables)
        if (stem.compare(QLatin1String(t.stem), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

bool hasMemo(const TableDef &t)
{
    for (const FieldDef &f : t.fields)
        if (f.type == 'M')
            return true;
    return false;
}

bool hasIndexGroup(const TableDef &t)
{
    return !t.tags.empty();
}

int fieldIndex(const TableDef &t, const char *name)
{
    for (int i = 0; i < int(t.fields.size()); ++i)
        if (QString::fromLatin1(t.fields[i].name).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int assignLimit(const TableDef &t, const FieldDef &f)
{
    if (t.id == TableId::ImpDirs)
        return dirTextMax;
    if (t.id == TableId::TLV2 && QByteArray(f.name).startsWith("Mail"))
        return mailTextMax;
    return textMax;
}

QString dbfFileName(const TableDef &t)
{
    return QLatin1String(t.stem) + QLatin1String(".DBF");
}

QStringList tableFileNames(const TableDef &t)
{
    const QString stem = QLatin1String(t.stem);
    QStringList names{stem + QLatin1String(".dbf")};
    if (hasMemo(t))
        names << stem + QLatin1String(".dbt");
    if (hasIndexGroup(t)) {
        names << stem + QLatin1String(".cgp");
        for (const TagDef &g : t.tags)
            names << QLatin1String(g.name) + QLatin1String(".ntx");
    }
    return names;
}

QStringList allDataFileNames()
{
    QStringList names;
    for (const TableDef &t : tables)
        names << tableFileNames(t);
    return names;
}

} // namespace tlv
