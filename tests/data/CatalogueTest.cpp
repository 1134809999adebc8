// The table catalogue against itself: buffers bind every field in order with
// a matching type, and every key is as wide as the fields it is built from.
// Also the Windows-1252 conversion used for every text in the tables.
#include "data/Catalogue.h"
#include "data/Cp1252.h"
#include "data/Records.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tlv;

namespace {

template <class R> void expectBindingsFollowCatalogue()
{
    const TableDef &def = tableDef(R::table);
    const auto bindings = R::bindings();
    ASSERT_EQ(bindings.size(), def.fields.size()) << def.stem;
    for (size_t i = 0; i < bindings.size(); ++i) {
        const FieldDef &f = def.fields[i];
        EXPECT_STREQ(bindings[i].name, f.name) << def.stem << " field " << i;
        const char type = f.type;
        std::visit(
            [&](auto member) {
                using T = std::decay_t<decltype(std::declval<R &>().*member)>;
                if constexpr (std::is_same_v<T, QString>)
                    EXPECT_TRUE(type == 'C' || type == 'M') << def.stem << "." << f.name;
                else if constexpr (std::is_same_v<T, int>)
                    EXPECT_TRUE(type == 'N' && f.dec == 0) << def.stem << "." << f.name;
                else if constexpr (std::is_same_v<T, double>)
                    EXPECT_EQ(type, 'N') << def.stem << "." << f.name;
                else if constexpr (std::is_same_v<T, QDate>)
                    EXPECT_EQ(type, 'D') << def.stem << "." << f.name;
                else
                    EXPECT_EQ(type, 'L') << def.stem << "." << f.name;
            },
            bindings[i].member);
    }
}

// The width of the key an expression builds from the table's fields:
// fields, '+', Upper(), Str(field, n[, d]) and DTOS().
int keyWidth(const TableDef &t, const QString &expression)
{
    int width = 0;
    static const QRegularExpression strCall(QStringLiteral("^Str\\((\\w+),\\s*(\\d+)(,\\s*\\d+)?\\)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression call(QStringLiteral("^(\\w+)\\((.*)\\)$"));
    // Split at the '+' signs outside parentheses.
    QStringList parts{QString()};
    int depth = 0;
    for (QChar c : expression) {
        depth += c == QLatin1Char('(') ? 1 : (c == QLatin1Char(')') ? -1 : 0);
        if (c == QLatin1Char('+') && depth == 0)
            parts << QString();
        else
            parts.last() += c;
    }
    for (QString part : parts) {
        part = part.trimmed();
        if (const auto m = strCall.match(part); m.hasMatch()) {
            width += m.captured(2).toInt();
        } else if (const auto c = call.match(part); c.hasMatch()) {
            if (c.captured(1).compare(QLatin1String("DTOS"), Qt::CaseInsensitive) == 0)
                width += 8;
            else
                width += keyWidth(t, c.captured(2));
        } else {
            const int i = fieldIndex(t, part.toLatin1().constData());
            EXPECT_GE(i, 0) << t.stem << ": no field " << part.toStdString();
            if (i >= 0)
                width += t.fields[i].len;
        }
    }
    return width;
}

} // namespace

TEST(Catalogue, EveryBufferBindsEveryFieldInOrder)
{
    expectBindingsFollowCatalogue<SettingsRecord>();
    expectBindingsFollowCatalogue<CustomerRecord>();
    expectBindingsFollowCatalogue<GroupRecord>();
    expectBindingsFollowCatalogue<InvoiceRecord>();
    expectBindingsFollowCatalogue<ItemRecord>();
    expectBindingsFollowCatalogue<PaymentRecord>();
    expectBindingsFollowCatalogue<ProductRecord>();
    expectBindingsFollowCatalogue<PurchaseRecord>();
    expectBindingsFollowCatalogue<LabelRecord>();
    expectBindingsFollowCatalogue<ImportFormatRecord>();
    expectBindingsFollowCatalogue<ImportDirsRecord>();
}

TEST(Catalogue, KeysAreAsWideAsTheirFields)
{
    int tags = 0;
    for (const TableDef &t : allTables()) {
        for (const TagDef &g : t.tags) {
            EXPECT_EQ(keyWidth(t, QLatin1String(g.expression)), g.keyLength) << t.stem << " " << g.name;
            ++tags;
        }
        // A number sought by its stored text (IvNo in the line items and
        // payments) must be exactly as wide as its Str() key.
        static const QRegularExpression str(QStringLiteral("Str\\((\\w+),\\s*(\\d+)"),
                                            QRegularExpression::CaseInsensitiveOption);
        for (const TagDef &g : t.tags) {
            auto it = str.globalMatch(QLatin1String(g.expression));
            while (it.hasNext()) {
                const auto m = it.next();
                const int i = fieldIndex(t, m.captured(1).toLatin1().constData());
                ASSERT_GE(i, 0);
                EXPECT_EQ(t.fields[i].len, m.captured(2).toInt()) << t.stem << "." << t.fields[i].name;
            }
        }
    }
    EXPECT_EQ(tags, 17);
}

TEST(Catalogue, DefaultTagsAreTagsOfTheirTable)
{
    for (const TableDef &t : allTables()) {
        if (!hasIndexGroup(t)) {
            EXPECT_EQ(t.defaultTag, nullptr) << t.stem;
            continue;
        }
        bool found = false;
        for (const TagDef &g : t.tags)
            found = found || QString::fromLatin1(g.name).compare(QLatin1String(t.defaultTag),
                                                                 Qt::CaseInsensitive) == 0;
        EXPECT_TRUE(found) << t.stem << " " << t.defaultTag;
    }
    EXPECT_EQ(tableFileNames(tableDef(TableId::CUST5)),
              QStringList({"CUST5.dbf", "CUST5.dbt", "CUST5.cgp", "cName.ntx", "ccno.ntx", "czip.ntx",
                           "ccomp.ntx", "cEmail.ntx"}));
    EXPECT_EQ(tableFileNames(tableDef(TableId::ImpDirs)), QStringList({"ImpDirs.dbf"}));
    EXPECT_EQ(dbfFileName(tableDef(TableId::Prod5)), "Prod5.DBF");
    EXPECT_EQ(findTable("prod5"), &tableDef(TableId::Prod5));
}

TEST(Catalogue, TextLimitsDependOnTheTable)
{
    const TableDef &tlv2 = tableDef(TableId::TLV2);
    EXPECT_EQ(assignLimit(tlv2, tlv2.fields[fieldIndex(tlv2, fld::MailReply)]), 69);
    EXPECT_EQ(assignLimit(tlv2, tlv2.fields[fieldIndex(tlv2, fld::Company)]), 59);
    const TableDef &dirs = tableDef(TableId::ImpDirs);
    EXPECT_EQ(assignLimit(dirs, dirs.fields[0]), 126);
    const TableDef &cust = tableDef(TableId::CUST5);
    EXPECT_EQ(assignLimit(cust, cust.fields[fieldIndex(cust, fld::email)]), 59);
}

TEST(ImportFormatRecord, NumbersRunFromTypeToFieldCount)
{
    ImportFormatRecord r;
    for (int i = 0; i < ImportFormatRecord::numberCount; ++i)
        r.number(i) = 100 + i;
    EXPECT_EQ(r.FmtType, 100);
    EXPECT_EQ(r.Fld1, 101);
    EXPECT_EQ(r.Fld14, 114);
    EXPECT_EQ(r.DELIM, 115);
    EXPECT_EQ(r.nFields, 116);
}

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toCp1252(text), all);
}

TEST(Cp1252, MapsTheWindowsCharacters)
{
    EXPECT_EQ(fromCp1252(QByteArray("\x80\x8C\x99\xE9\x9F")), QString::fromUtf8("€Œ™éŸ"));
    EXPECT_EQ(toCp1252(QString::fromUtf8("Café €5 – “ok”")), QByteArray("Caf\xE9 \x80"
                                                                        "5 \x96 \x93ok\x94"));
}

TEST(Cp1252, UnstorableCharactersBecomeQuestionMarks)
{
    // CJK, an emoji (one character in two UTF-16 units) and a C1 control
    // whose byte means the euro sign.
    EXPECT_EQ(toCp1252(QString::fromUtf8("日本")), QByteArray("??"));
    EXPECT_EQ(toCp1252(QString::fromUtf8("a😀b")), QByteArray("a?b"));
    EXPECT_EQ(toCp1252(QString(QChar(0x0080))), QByteArray("?"));
    EXPECT_EQ(toCp1252(QString(QChar(0x0081))), QByteArray("\x81"));
}
