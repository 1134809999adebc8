#include "data/Records.h"

#include <array>

namespace tlv {

namespace {
using S = SettingsRecord;
using C = CustomerRecord;
using G = GroupRecord;
using I = InvoiceRecord;
using L = ItemRecord;
using P = PaymentRecord;
using D = ProductRecord;
using U = PurchaseRecord;
using B = LabelRecord;
using F = ImportFormatRecord;
using R = ImportDirsRecord;

// Each list follows its table's fields in binding order.
// clang-format off
const Binding<S> settingsBindings[] = {
    {fld::FontName, &S::FontName}, {fld::FontSize, &S::FontSize}, {fld::LabID, &S::LabID},
    {fld::Company, &S::Company}, {fld::Addr1, &S::Addr1}, {fld::Addr2, &S::Addr2},
    {fld::Addr3, &S::Addr3}, {fld::Addr4, &S::Addr4}, {fld::CloLine, &S::CloLine},
    {fld::SigLine, &S::SigLine}, {fld::LogoFile, &S::LogoFile}, {fld::LogoHeight, &S::LogoHeight},
    {fld::LogoWidth, &S::LogoWidth}, {fld::ShipLine, &S::ShipLine}, {fld::TaxLine, &S::TaxLine},
    {fld::ShipTax, &S::ShipTax}, {fld::TaxRound, &S::TaxRound}, {fld::LHJustify, &S::LHJustify},
    {fld::TaxRate1, &S::TaxRate1}, {fld::TaxRate2, &S::TaxRate2}, {fld::TopMargin, &S::TopMargin},
    {fld::ByCust, &S::ByCust}, {fld::fifo, &S::fifo}, {fld::MailHost, &S::MailHost},
    {fld::MailID, &S::MailID}, {fld::MailAddr, &S::MailAddr}, {fld::MailName, &S::MailName},
    {fld::MailReply, &S::MailReply},
};

const Binding<C> customerBindings[] = {
    {fld::cuno, &C::cuno}, {fld::title, &C::title}, {fld::first, &C::first}, {fld::last, &C::last},
    {fld::addr1, &C::addr1}, {fld::addr2, &C::addr2}, {fld::addr3, &C::addr3}, {fld::addr4, &C::addr4},
    {fld::zip, &C::zip}, {fld::comments, &C::comments}, {fld::ngroup, &C::ngroup}, {fld::note, &C::note},
    {fld::phone, &C::phone}, {fld::fax, &C::fax}, {fld::email, &C::email},
};

const Binding<G> groupBindings[] = {
    {fld::nGroup, &G::nGroup}, {fld::cGroup, &G::cGroup},
};

const Binding<I> invoiceBindings[] = {
    {fld::IvNo, &I::IvNo}, {fld::CuNo, &I::CuNo}, {fld::Dept, &I::Dept}, {fld::IDate, &I::IDate},
    {fld::IMemo, &I::IMemo}, {fld::Discount, &I::Discount}, {fld::Ship, &I::Ship}, {fld::Tax, &I::Tax},
    {fld::Due, &I::Due}, {fld::REM, &I::REM},
};

const Binding<L> itemBindings[] = {
    {fld::IvNo, &L::IvNo}, {fld::PrID, &L::PrID}, {fld::Qty, &L::Qty}, {fld::UPR, &L::UPR},
    {fld::LTax1, &L::LTax1}, {fld::LTax2, &L::LTax2}, {fld::PDesc, &L::PDesc}, {fld::IComm, &L::IComm},
    {fld::lBuild, &L::lBuild}, {fld::BackOrder, &L::BackOrder},
};

const Binding<P> paymentBindings[] = {
    {fld::IvNo, &P::IvNo}, {fld::PDate, &P::PDate}, {fld::PAmt, &P::PAmt},
};

const Binding<D> productBindings[] = {
    {fld::PrID, &D::PrID}, {fld::RCode, &D::RCode}, {fld::PDesc, &D::PDesc}, {fld::UPrice, &D::UPrice},
    {fld::LTax1, &D::LTax1}, {fld::LTax2, &D::LTax2}, {fld::lInven, &D::lInven}, {fld::IComm, &D::IComm},
    {fld::PMemo, &D::PMemo}, {fld::REORDER, &D::REORDER}, {fld::ONHAND, &D::ONHAND}, {fld::lBuild, &D::lBuild},
};

const Binding<U> purchaseBindings[] = {
    {fld::PURProd, &U::PURProd}, {fld::PURDate, &U::PURDate}, {fld::PURQty, &U::PURQty},
    {fld::PURCost, &U::PURCost}, {fld::PURNo, &U::PURNo},
};

const Binding<B> labelBindings[] = {
    {fld::Name, &B::Name}, {fld::TopM, &B::TopM}, {fld::LeftM, &B::LeftM}, {fld::BottomM, &B::BottomM},
    {fld::RightM, &B::RightM}, {fld::Width, &B::Width}, {fld::Height, &B::Height}, {fld::HGap, &B::HGap},
    {fld::VGap, &B::VGap}, {fld::NAcross, &B::NAcross}, {fld::Continuous, &B::Continuous},
};

const Binding<F> importFormatBindings[] = {
    {fld::FmtName, &F::FmtName}, {fld::FmtType, &F::FmtType},
    {fld::Fld1, &F::Fld1}, {fld::Fld2, &F::Fld2}, {fld::Fld3, &F::Fld3}, {fld::Fld4, &F::Fld4},
    {fld::Fld5, &F::Fld5}, {fld::Fld6, &F::Fld6}, {fld::Fld7, &F::Fld7}, {fld::Fld8, &F::Fld8},
    {fld::Fld9, &F::Fld9}, {fld::Fld10, &F::Fld10}, {fld::Fld11, &F::Fld11}, {fld::Fld12, &F::Fld12},
    {fld::Fld13, &F::Fld13}, {fld::Fld14, &F::Fld14}, {fld::DELIM, &F::DELIM}, {fld::nFields, &F::nFields},
};

const Binding<R> importDirsBindings[] = {
    {fld::InfoDir, &R::InfoDir}, {fld::OrderDir, &R::OrderDir},
};
// clang-format on

} // namespace

std::span<const Binding<S>> SettingsRecord::bindings()
{
    return settingsBindings;
}
std::span<const Binding<C>> CustomerRecord::bindings()
{
    return customerBindings;
}
std::span<const Binding<G>> GroupRecord::bindings()
{
    return groupBindings;
}
std::span<const Binding<I>> InvoiceRecord::bindings()
{
    return invoiceBindings;
}
std::span<const Binding<L>> ItemRecord::bindings()
{
    return itemBindings;
}
std::span<const Binding<P>> PaymentRecord::bindings()
{
    return paymentBindings;
}
std::span<const Binding<D>> ProductRecord::bindings()
{
    return productBindings;
}
std::span<const Binding<U>> PurchaseRecord::bindings()
{
    return purchaseBindings;
}
std::span<const Binding<B>> LabelRecord::bindings()
{
    return labelBindings;
}
std::span<const Binding<F>> ImportFormatRecord::bindings()
{
    return importFormatBindings;
}
std::span<const Binding<R>> ImportDirsRecord::bindings()
{
    return importDirsBindings;
}

int &ImportFormatRecord::number(int i)
{
    // FmtType is binding 1; the run follows it without a gap.
    const auto &b = importFormatBindings[1 + (i < 0 ? 0 : (i >= numberCount ? numberCount - 1 : i))];
    return this->*std::get<int F::*>(b.member);
}

int ImportFormatRecord::number(int i) const
{
    return const_cast<ImportFormatRecord *>(this)->number(i);
}

} // namespace tlv
