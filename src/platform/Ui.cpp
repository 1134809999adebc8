#include "platform/Ui.h"

#include <cstdio>

namespace tlv {

QString toString(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Information:
        return QStringLiteral("information");
    case BoxKind::Confirmation:
        return QStringLiteral("confirmation");
    case BoxKind::Warning:
        return QStringLiteral("warning");
    case BoxKind::Plain:
        return QStringLiteral("plain");
    }
    return {};
}

QString toString(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QStringLiteral("OK");
    case Buttons::YesNo:
        return QStringLiteral("Yes/No");
    case Buttons::OkCancel:
        return QStringLiteral("OK/Cancel");
    }
    return {};
}

QString toString(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return QStringLiteral("OK");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::No:
        return QStringLiteral("No");
    }
    return {};
}

namespace {

class ConsoleUi : public Ui
{
public:
    Answer message(BoxKind kind, const QString &text, Buttons buttons, const QString &) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(toString(kind)), qPrintable(text));
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
            return Answer::Cancel;
        }
        return Answer::Cancel;
    }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseDirectory(const QString &, const QString &) override { return {}; }
    std::optional<QFont> chooseFont(const QFont &) override { return std::nullopt; }
    bool printerSetup() override { return false; }
};

ConsoleUi consoleUi;
Ui *current = &consoleUi;

} // namespace

Ui &ui()
{
    return *current;
}

void setUi(Ui *u)
{
    current = u ? u : &consoleUi;
}

} // namespace tlv
