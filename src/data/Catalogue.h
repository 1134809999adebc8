#pragma once
// The tables of the data directory: every table, its files, its fields in the
// order the program binds them, and its index tags with their key expressions.
// The names keep the spelling the program has always used (CUST5, IvNo,
// cname); the engine matches field, tag and file names without regard to case.
#include <QString>
#include <QStringList>
#include <span>

namespace tlv {

// ---- Table stems ----------------------------------------------------------
namespace tbl {
inline constexpr const char *TLV2 = "TLV2";
inline constexpr const char *CUST5 = "CUST5";
inline constexpr const char *GROUPS = "GROUPS";
inline constexpr const char *INV6 = "INV6";
inline constexpr const char *ITM5 = "ITM5";
inline constexpr const char *LABELS = "LABELS";
inline constexpr const char *PMT = "PMT";
inline constexpr const char *Prod5 = "Prod5";
inline constexpr const char *Pur5 = "Pur5";
inline constexpr const char *ImportF = "ImportF";
inline constexpr const char *ImpDirs = "ImpDirs";
} // namespace tbl

// ---- Field names ------------------------------------------------------------
// One constant per spelling; a name shared by several tables (IvNo, PrID) is
// one constant.
namespace fld {
// TLV2
inline constexpr const char *FontName = "FontName";
inline constexpr const char *FontSize = "FontSize";
inline constexpr const char *LabID = "LabID";
inline constexpr const char *Company = "Company";
inline constexpr const char *Addr1 = "Addr1";
inline constexpr const char *Addr2 = "Addr2";
inline constexpr const char *Addr3 = "Addr3";
inline constexpr const char *Addr4 = "Addr4";
inline constexpr const char *CloLine = "CloLine";
inline constexpr const char *SigLine = "SigLine";
inline constexpr const char *LogoFile = "LogoFile";
inline constexpr const char *LogoHeight = "LogoHeight";
inline constexpr const char *LogoWidth = "LogoWidth";
inline constexpr const char *ShipLine = "ShipLine";
inline constexpr const char *TaxLine = "TaxLine";
inline constexpr const char *ShipTax = "ShipTax";
inline constexpr const char *TaxRound = "TaxRound";
inline constexpr const char *LHJustify = "LHJustify";
inline constexpr const char *TaxRate1 = "TaxRate1";
inline constexpr const char *TaxRate2 = "TaxRate2";
inline constexpr const char *TopMargin = "TopMargin";
inline constexpr const char *ByCust = "ByCust";
inline constexpr const char *fifo = "fifo";
inline constexpr const char *MailHost = "MailHost";
inline constexpr const char *MailID = "MailID";
inline constexpr const char *MailAddr = "MailAddr";
inline constexpr const char *MailName = "MailName";
inline constexpr const char *MailReply = "MailReply";
// CUST5
inline constexpr const char *cuno = "cuno";
inline constexpr const char *title = "title";
inline constexpr const char *first = "first";
inline constexpr const char *last = "last";
inline constexpr const char *addr1 = "addr1";
inline constexpr const char *addr2 = "addr2";
inline constexpr const char *addr3 = "addr3";
inline constexpr const char *addr4 = "addr4";
inline constexpr const char *zip = "zip";
inline constexpr const char *comments = "comments";
inline constexpr const char *ngroup = "ngroup";
inline constexpr const char *note = "note";
inline constexpr const char *phone = "phone";
inline constexpr const char *fax = "fax";
inline constexpr const char *email = "email";
// GROUPS
inline constexpr const char *nGroup = "nGroup";
inline constexpr const char *cGroup = "cGroup";
// INV6
inline constexpr const char *IvNo = "IvNo";
inline constexpr const char *CuNo = "CuNo";
inline constexpr const char *Dept = "Dept";
inline constexpr const char *IDate = "IDate";
inline constexpr const char *IMemo = "IMemo";
inline constexpr const char *Discount = "Discount";
inline constexpr const char *Ship = "Ship";
inline constexpr const char *Tax = "Tax";
inline constexpr const char *Due = "Due";
inline constexpr const char *REM = "REM";
// ITM5
inline constexpr const char *PrID = "PrID";
inline constexpr const char *Qty = "Qty";
inline constexpr const char *UPR = "UPR";
inline constexpr const char *LTax1 = "LTax1";
inline constexpr const char *LTax2 = "LTax2";
inline constexpr const char *PDesc = "PDesc";
inline constexpr const char *IComm = "IComm";
inline constexpr const char *lBuild = "lBuild";
inline constexpr const char *BackOrder = "BackOrder";
// PMT
inline constexpr const char *PDate = "PDate";
inline constexpr const char *PAmt = "PAmt";
// Prod5
inline constexpr const char *RCode = "RCode";
inline constexpr const char *UPrice = "UPrice";
inline constexpr const char *lInven = "lInven";
inline constexpr const char *PMemo = "PMemo";
inline constexpr const char *REORDER = "REORDER";
inline constexpr const char *ONHAND = "ONHAND";
// Pur5
inline constexpr const char *PURProd = "PURProd";
inline constexpr const char *PURDate = "PURDate";
inline constexpr const char *PURQty = "PURQty";
inline constexpr const char *PURCost = "PURCost";
inline constexpr const char *PURNo = "PURNo";
// LABELS
inline constexpr const char *Name = "Name";
inline constexpr const char *TopM = "TopM";
inline constexpr const char *LeftM = "LeftM";
inline constexpr const char *BottomM = "BottomM";
inline constexpr const char *RightM = "RightM";
inline constexpr const char *Width = "Width";
inline constexpr const char *Height = "Height";
inline constexpr const char *HGap = "HGap";
inline constexpr const char *VGap = "VGap";
inline constexpr const char *NAcross = "NAcross";
inline constexpr const char *Continuous = "Continuous";
// ImportF
inline constexpr const char *FmtName = "FmtName";
inline constexpr const char *FmtType = "FmtType";
inline constexpr const char *Fld1 = "Fld1";
inline constexpr const char *Fld2 = "Fld2";
inline constexpr const char *Fld3 = "Fld3";
inline constexpr const char *Fld4 = "Fld4";
inline constexpr const char *Fld5 = "Fld5";
inline constexpr const char *Fld6 = "Fld6";
inline constexpr const char *Fld7 = "Fld7";
inline constexpr const char *Fld8 = "Fld8";
inline constexpr const char *Fld9 = "Fld9";
inline constexpr const char *Fld10 = "Fld10";
inline constexpr const char *Fld11 = "Fld11";
inline constexpr const char *Fld12 = "Fld12";
inline constexpr const char *Fld13 = "Fld13";
inline constexpr const char *Fld14 = "Fld14";
inline constexpr const char *DELIM = "DELIM";
inline constexpr const char *nFields = "nFields";
// ImpDirs
inline constexpr const char *InfoDir = "InfoDir";
inline constexpr const char *OrderDir = "OrderDir";
} // namespace fld

// ---- Tag names ----------------------------------------------------------------
// The names the program selects tags by (matched without regard to case).
namespace tag {
inline constexpr const char *cname = "cname";
inline constexpr const char *CCNO = "CCNO";
inline constexpr const char *CZip = "CZip";
inline constexpr const char *cComp = "cComp";
inline constexpr const char *cEMail = "cEMail";
inline constexpr const char *nGroup = "nGroup";
inline constexpr const char *cGroup = "cGroup";
inline constexpr const char *Inv = "Inv";
inline constexpr const char *InvC = "InvC";
inline constexpr const char *InvD = "InvD";
inline constexpr const char *Itm = "Itm";
inline constexpr const char *ItmP = "ItmP";
inline constexpr const char *Pmt = "Pmt";
inline constexpr const char *PmtD = "PmtD";
inline constexpr const char *Prod = "Prod";
inline constexpr const char *Pur = "Pur";
inline constexpr const char *Labels = "Labels";
} // namespace tag

// ---- Definitions ----------------------------------------------------------------

// In the order the start-up check lists the tables.
enum class TableId { TLV2, CUST5, GROUPS, INV6, ITM5, LABELS, PMT, Prod5, Pur5, ImportF, ImpDirs };
inline constexpr int tableCount = 11;

struct FieldDef
{
    const char *name;
    char type; // 'C', 'N', 'D', 'L' or 'M'
    int len;   // C and N; D, L and M take their fixed lengths
    int dec;   // decimals of an N field
};

struct TagDef
{
    const char *name;       // the tag; its index file is <name>.ntx
    const char *expression; // key expression
    int keyLength;          // width of the key the expression builds
};

struct TableDef
{
    TableId id;
    const char *stem;
    std::span<const FieldDef> fields;
    std::span<const TagDef> tags; // empty: the table has no index group
    const char *defaultTag;       // selected when the table is opened; null without index group
    const char *tagFailName;      // the file named when the default tag cannot be selected
    bool flushOnWrite;            // a record write flushes the table at once
};

// Every table, in the order of TableId.
std::span<const TableDef> allTables();
const TableDef &tableDef(TableId id);
// The table of a stem (matched without regard to case); null when none.
const TableDef *findTable(const QString &stem);

bool hasMemo(const TableDef &t);
bool hasIndexGroup(const TableDef &t);
// The field's position in the table's binding order; -1 when absent.
int fieldIndex(const TableDef &t, const char *name);

// The most characters any write assigns to a character field of the table:
// 59 in the business tables, 69 for the mail settings, 126 for the import
// directories. The engine then cuts to the field's own width.
int assignLimit(const TableDef &t, const FieldDef &f);

// The name the open-failure message gives for the table: the stem with ".DBF".
QString dbfFileName(const TableDef &t);
// Every file that makes up the table: <stem>.dbf, <stem>.dbt with memos,
// <stem>.cgp and one <tag>.ntx per tag.
QStringList tableFileNames(const TableDef &t);
// The files of every table.
QStringList allDataFileNames();

} // namespace tlv
