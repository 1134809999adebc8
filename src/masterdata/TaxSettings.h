#pragma once
// The two computed taxes of an invoice: their labels, rates, how the second
// applies to the first and how computed amounts are rounded. They live in the
// settings record; the tax window edits them through here.
#include "data/Records.h"

#include <QString>

namespace tlv {

struct TaxDefinition
{
    QString label1; // ShipLine
    QString label2; // TaxLine
    double rate1 = 0;
    double rate2 = 0;
    int shipTax = 0;  // 1 "No", 2 "Yes", 3 "When Tax on Items"; 0 none chosen
    int taxRound = 0; // 1 "Normal", 2 "Up", 3 "Down"; 0 none chosen
};

// The tax settings as the window shows them: labels trimmed.
TaxDefinition taxDefinition(const SettingsRecord &s);

// Takes the definition into the in-memory settings (labels trimmed) and
// rewrites the whole settings record.
void saveTaxDefinition(const TaxDefinition &t);

// A choice among `count` items is stored as its position plus one, and 0 when
// nothing is chosen. A stored code outside 1..count chooses nothing.
int choiceIndexOfCode(int code, int count);
int codeOfChoiceIndex(int index);

} // namespace tlv
