#pragma once
// Message boxes and the standard dialogs, behind a seam: core code asks
// through ui(), the program answers with real windows, tests from a script.
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

namespace tlv {

enum class BoxKind {
    Information, // refusals and errors
    Confirmation,
    Warning,
    Plain, // no icon
};

enum class Buttons { Ok, YesNo, OkCancel };

enum class Answer { Ok, Cancel, Yes, No };

QString toString(BoxKind kind);
QString toString(Buttons buttons);
QString toString(Answer answer);

class Ui
{
public:
    virtual ~Ui() = default;

    // Shows a modal message box and returns the button pressed. Closing the
    // box without a button answers Cancel (OK/Cancel), No (Yes/No) or Ok.
    virtual Answer message(BoxKind kind, const QString &text, Buttons buttons, const QString &caption = {}) = 0;
    // A line of text from the user; nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                            const QString &initial) = 0;
    // File names: "" when cancelled.
    virtual QString openFileName(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString chooseDirectory(const QString &caption, const QString &dir) = 0;
    // The chosen font; nullopt when cancelled.
    virtual std::optional<QFont> chooseFont(const QFont &initial) = 0;
    // The printer set-up dialog; false when cancelled.
    virtual bool printerSetup() = 0;

    // The common boxes.
    void information(const QString &text) { message(BoxKind::Information, text, Buttons::Ok); }
    void warning(const QString &text) { message(BoxKind::Warning, text, Buttons::Ok); }
    void plain(const QString &text) { message(BoxKind::Plain, text, Buttons::Ok); }
    bool confirmYesNo(const QString &text)
    {
        return message(BoxKind::Confirmation, text, Buttons::YesNo) == Answer::Yes;
    }
    bool confirmOkCancel(const QString &text)
    {
        return message(BoxKind::Confirmation, text, Buttons::OkCancel) == Answer::Ok;
    }
};

// The Ui everyone asks. Until one is installed, a Ui that writes each box to
// standard error and gives the negative answer (Cancel, No), so that a
// command-line run never blocks and never confirms anything by itself.
Ui &ui();
// Installs a Ui (null restores the console one). The caller keeps ownership.
void setUi(Ui *u);

} // namespace tlv
