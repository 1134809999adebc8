#pragma once
#include "platform/Ui.h"

class QWidget;

namespace tlv {

// Real message boxes and dialogs, parented to the active window.
class QtUi : public Ui
{
public:
    Answer message(BoxKind kind, const QString &text, Buttons buttons, const QString &caption = {}) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt, const QString &initial) override;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString chooseDirectory(const QString &caption, const QString &dir) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;
    bool printerSetup() override;

private:
    static QWidget *parentWindow();
};

} // namespace tlv
