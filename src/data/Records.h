#pragma once
// Record buffers: the fields of one record as program values. Text and memo
// fields are QString (read untrimmed, blank-padded to the field width),
// integer fields 32-bit ints, decimal fields doubles, date fields QDate (null
// for no date), logical fields bool. Members keep the field names.
#include "data/Catalogue.h"

#include <QDate>
#include <QString>
#include <span>
#include <variant>

namespace tlv {

// Where a field's value lives in its record buffer.
template <class R> struct Binding
{
    const char *name;
    std::variant<QString R::*, int R::*, double R::*, QDate R::*, bool R::*> member;
};

struct SettingsRecord // TLV2
{
    static constexpr TableId table = TableId::TLV2;
    static std::span<const Binding<SettingsRecord>> bindings();

    QString FontName;
    int FontSize = 0;
    QString LabID, Company, Addr1, Addr2, Addr3, Addr4, CloLine, SigLine, LogoFile;
    double LogoHeight = 0, LogoWidth = 0;
    QString ShipLine, TaxLine;
    int ShipTax = 0, TaxRound = 0, LHJustify = 0;
    double TaxRate1 = 0, TaxRate2 = 0, TopMargin = 0;
    bool ByCust = false, fifo = false;
    QString MailHost, MailID, MailAddr, MailName, MailReply;
};

struct CustomerRecord // CUST5
{
    static constexpr TableId table = TableId::CUST5;
    static std::span<const Binding<CustomerRecord>> bindings();

    int cuno = 0;
    QString title, first, last, addr1, addr2, addr3, addr4, zip, comments;
    int ngroup = 0;
    QString note, phone, fax, email;
};

struct GroupRecord // GROUPS
{
    static constexpr TableId table = TableId::GROUPS;
    static std::span<const Binding<GroupRecord>> bindings();

    int nGroup = 0;
    QString cGroup;
};

struct InvoiceRecord // INV6
{
    static constexpr TableId table = TableId::INV6;
    static std::span<const Binding<InvoiceRecord>> bindings();

    int IvNo = 0;
    int CuNo = 0;
    QString Dept;
    QDate IDate;
    QString IMemo;
    double Discount = 0, Ship = 0, Tax = 0, Due = 0;
    QString REM;
};

struct ItemRecord // ITM5
{
    static constexpr TableId table = TableId::ITM5;
    static std::span<const Binding<ItemRecord>> bindings();

    int IvNo = 0;
    QString PrID;
    double Qty = 0, UPR = 0;
    bool LTax1 = false, LTax2 = false;
    QString PDesc, IComm;
    bool lBuild = false;
    double BackOrder = 0;
};

struct PaymentRecord // PMT
{
    static constexpr TableId table = TableId::PMT;
    static std::span<const Binding<PaymentRecord>> bindings();

    int IvNo = 0;
    QDate PDate;
    double PAmt = 0;
};

struct ProductRecord // Prod5
{
    static constexpr TableId table = TableId::Prod5;
    static std::span<const Binding<ProductRecord>> bindings();

    QString PrID, RCode, PDesc;
    double UPrice = 0;
    bool LTax1 = false, LTax2 = false, lInven = false;
    QString IComm, PMemo;
    double REORDER = 0, ONHAND = 0;
    bool lBuild = false;
};

struct PurchaseRecord // Pur5
{
    static constexpr TableId table = TableId::Pur5;
    static std::span<const Binding<PurchaseRecord>> bindings();

    QString PURProd;
    QDate PURDate;
    double PURQty = 0, PURCost = 0;
    int PURNo = 0;
};

struct LabelRecord // LABELS
{
    static constexpr TableId table = TableId::LABELS;
    static std::span<const Binding<LabelRecord>> bindings();

    QString Name;
    double TopM = 0, LeftM = 0, BottomM = 0, RightM = 0, Width = 0, Height = 0, HGap = 0, VGap = 0;
    int NAcross = 0;
    bool Continuous = false;
};

struct ImportFormatRecord // ImportF
{
    static constexpr TableId table = TableId::ImportF;
    static std::span<const Binding<ImportFormatRecord>> bindings();

    QString FmtName;
    int FmtType = 0;
    int Fld1 = 0, Fld2 = 0, Fld3 = 0, Fld4 = 0, Fld5 = 0, Fld6 = 0, Fld7 = 0, Fld8 = 0, Fld9 = 0, Fld10 = 0,
        Fld11 = 0, Fld12 = 0, Fld13 = 0, Fld14 = 0;
    int DELIM = 0;
    int nFields = 0;

    // The seventeen numbers as one run: FmtType, Fld1 to Fld14, DELIM, nFields.
    static constexpr int numberCount = 17;
    int &number(int i);
    int number(int i) const;
};

struct ImportDirsRecord // ImpDirs
{
    static constexpr TableId table = TableId::ImpDirs;
    static std::span<const Binding<ImportDirsRecord>> bindings();

    QString InfoDir, OrderDir;
};

} // namespace tlv
