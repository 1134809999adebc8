#pragma once
// A Ui for tests: records every box it is asked to show and answers from a
// queue. A box that nothing was queued for fails the test (and answers with
// the negative button), so a surprise message never passes unnoticed.
#include "platform/Ui.h"

#include <QList>
#include <QStringList>
#include <deque>

namespace tlv::test {

struct ShownBox
{
    BoxKind kind;
    QString text;
    Buttons buttons;
    QString caption;
};

class ScriptedUi : public Ui
{
public:
    // Installs itself as the program's Ui for its lifetime.
    ScriptedUi();
    ~ScriptedUi() override;

    // Queue the answer to the next box; `expectedText`, when given, must be
    // contained in the box's text.
    ScriptedUi &expect(Answer answer, const QString &expectedText = {});
    // Queue answers for the other dialogs.
    ScriptedUi &expectInput(std::optional<QString> text);
    ScriptedUi &expectFileName(const QString &name);
    ScriptedUi &expectDirectory(const QString &dir);
    ScriptedUi &expectFont(std::optional<QFont> font);
    ScriptedUi &expectPrinterSetup(bool accepted);

    const QList<ShownBox> &boxes() const { return m_boxes; }
    QStringList texts() const;
    // Every queued answer was used.
    bool allUsed() const;
    void clear();

    Answer message(BoxKind kind, const QString &text, Buttons buttons, const QString &caption = {}) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt, const QString &initial) override;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString chooseDirectory(const QString &caption, const QString &dir) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;
    bool printerSetup() override;

    // What the dialogs were asked (caption or prompt), in order.
    QStringList dialogsAsked;

private:
    struct Expected
    {
        Answer answer;
        QString text;
    };
    std::deque<Expected> m_answers;
    std::deque<std::optional<QString>> m_inputs;
    std::deque<QString> m_fileNames;
    std::deque<QString> m_directories;
    std::deque<std::optional<QFont>> m_fonts;
    std::deque<bool> m_printerSetups;
    QList<ShownBox> m_boxes;
};

} // namespace tlv::test
