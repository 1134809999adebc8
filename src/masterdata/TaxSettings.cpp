#include "masterdata/TaxSettings.h"

#include "data/Settings.h"

namespace tlv {

TaxDefinition taxDefinition(const SettingsRecord &s)
{
    TaxDefinition t;
    t.label1 = s.ShipLine.trimmed();
    t.label2 = s.TaxLine.trimmed();
    t.rate1 = s.TaxRate1;
    t.rate2 = s.TaxRate2;
    t.shipTax = s.ShipTax;
    t.taxRound = s.TaxRound;
    return t;
}

void saveTaxDefinition(const TaxDefinition &t)
{
    SettingsRecord &s = settings();
    s.ShipLine = t.label1.trimmed();
    s.TaxLine = t.label2.trimmed();
    s.TaxRate1 = t.rate1;
    s.TaxRate2 = t.rate2;
    s.ShipTax = t.shipTax;
    s.TaxRound = t.taxRound;
    saveSettings();
}

int choiceIndexOfCode(int code, int count)
{
    return code >= 1 && code <= count ? code - 1 : -1;
}

int codeOfChoiceIndex(int index)
{
    return index >= 0 ? index + 1 : 0;
}

} // namespace tlv
