#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace tlv::test {

ScriptedUi::ScriptedUi() { setUi(this); }

ScriptedUi::~ScriptedUi()
{
    setUi(nullptr);
    EXPECT_TRUE(allUsed()) << "answers were queued for boxes or dialogs that never appeared";
}

ScriptedUi &ScriptedUi::expect(Answer answer, const QString &expectedText)
{
    m_answers.push_back({answer, expectedText});
    return *this;
}

ScriptedUi &ScriptedUi::expectInput(std::optional<QString> text)
{
    m_inputs.push_back(std::move(text));
    return *this;
}

ScriptedUi &ScriptedUi::expectFileName(const QString &name)
{
    m_fileNames.push_back(name);
    return *this;
}

ScriptedUi &ScriptedUi::expectDirectory(const QString &dir)
{
    m_directories.push_back(dir);
    return *this;
}

ScriptedUi &ScriptedUi::expectFont(std::optional<QFont> font)
{
    m_fonts.push_back(std::move(font));
    return *this;
}

ScriptedUi &ScriptedUi::expectPrinterSetup(bool accepted)
{
    m_printerSetups.push_back(accepted);
    return *this;
}

QStringList ScriptedUi::texts() const
{
    QStringList t;
    for (const ShownBox &b : m_boxes)
        t << b.text;
    return t;
}

bool ScriptedUi::allUsed() const
{
    return m_answers.empty() && m_inputs.empty() && m_fileNames.empty() && m_directories.empty() &&
           m_fonts.empty() && m_printerSetups.empty();
}

void ScriptedUi::clear()
{
    m_answers.clear();
    m_inputs.clear();
    m_fileNames.clear();
    m_directories.clear();
    m_fonts.clear();
    m_printerSetups.clear();
    m_boxes.clear();
    dialogsAsked.clear();
}

Answer ScriptedUi::message(BoxKind kind, const QString &text, Buttons buttons, const QString &caption)
{
    m_boxes.append({kind, text, buttons, caption});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected " << toString(kind).toStdString() << " box (" << toString(buttons).toStdString()
                      << "): " << text.toStdString();
        return buttons == Buttons::YesNo ? Answer::No : (buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
    const Expected e = m_answers.front();
    m_answers.pop_front();
    if (!e.text.isEmpty()) {
        EXPECT_TRUE(text.contains(e.text)) << "box text \"" << text.toStdString() << "\" lacks \""
                                           << e.text.toStdString() << "\"";
    }
    return e.answer;
}

template <typename T> static T take(std::deque<T> &queue, const char *what, const QString &asked, T none)
{
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected " << what << ": " << asked.toStdString();
        return none;
    }
    T v = std::move(queue.front());
    queue.pop_front();
    return v;
}

std::optional<QString> ScriptedUi::inputBox(const QString &caption, const QString &prompt, const QString &)
{
    dialogsAsked << caption + QStringLiteral(": ") + prompt;
    return take<std::optional<QString>>(m_inputs, "input box", prompt, std::nullopt);
}

QString ScriptedUi::openFileName(const QString &caption, const QString &, const QString &)
{
    dialogsAsked << caption;
    return take<QString>(m_fileNames, "file open dialog", caption, QString());
}

QString ScriptedUi::saveFileName(const QString &caption, const QString &, const QString &)
{
    dialogsAsked << caption;
    return take<QString>(m_fileNames, "file save dialog", caption, QString());
}

QString ScriptedUi::chooseDirectory(const QString &caption, const QString &)
{
    dialogsAsked << caption;
    return take<QString>(m_directories, "directory dialog", caption, QString());
}

std::optional<QFont> ScriptedUi::chooseFont(const QFont &)
{
    dialogsAsked << QStringLiteral("font");
    return take<std::optional<QFont>>(m_fonts, "font dialog", QStringLiteral("font"), std::nullopt);
}

bool ScriptedUi::printerSetup()
{
    dialogsAsked << QStringLiteral("printer set-up");
    return take<bool>(m_printerSetups, "printer set-up", QStringLiteral("printer set-up"), false);
}

} // namespace tlv::test
