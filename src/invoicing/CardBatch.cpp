#include "invoicing/CardBatch.h"

#include "invoicing/WebOrderParse.h"
#include "platform/Ui.h"

#include <QFile>

namespace tlv {

std::optional<QString> cardBatchRecord(const QString &note, const QString &totalText)
{
    const std::u16string text = note.toStdU16String();
    const auto card = parseCardNote<char16_t>(text);
    if (!card)
        return std::nullopt;
    const auto quoted = [](const QString &s) { return QLatin1Char('"') + s + QLatin1Char('"'); };
    QStringList fields{quoted(QStringLiteral("C1")),
                       quoted({}),
                       quoted({}),
                       quoted(QString::fromStdU16String(card->digits)),
                       quoted(QString::fromStdU16String(card->expiry)),
                       quoted(totalText.trimmed())};
    while (fields.size() < 22)
        fields.append(quoted({}));
    return fields.join(QLatin1Char(','));
}

bool exportCardRecord(const QString &note, const QString &totalText)
{
    const QString name = QString::fromLatin1(cardBatchFileName);
    QFile file(name);
    bool append = false;
    if (file.exists()) {
        append = ui().confirmYesNo(QStringLiteral("APPEND RECORD TO FILE? ") + name);
    } else if (!file.open(QIODevice::WriteOnly)) {
        ui().information(QStringLiteral("Unable to save to: ") + name);
        return false;
    }
    file.close();
    // The note is read only after the file is there; a note that cannot be
    // read leaves the records already in the file alone, whatever was answered.
    const std::optional<QString> record = cardBatchRecord(note, totalText);
    if (!record) {
        ui().information(QStringLiteral("Improperly Formatted Credit Card Information"));
        return false;
    }
    const QByteArray line = record->toLatin1() + "\r\n";
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate);
    if (!file.open(mode) || file.write(line) != line.size() || !file.flush()) {
        ui().information(QStringLiteral("Unable to save to: ") + name);
        return false;
    }
    file.close();
    return true;
}

} // namespace tlv
