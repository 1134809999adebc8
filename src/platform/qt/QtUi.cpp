#include "platform/qt/QtUi.h"

#include "platform/Printer.h"
#include "platform/qt/QtPrinter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace tlv {

QWidget *QtUi::parentWindow()
{
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

Answer QtUi::message(BoxKind kind, const QString &text, Buttons buttons, const QString &caption)
{
    QMessageBox box(parentWindow());
    QString title = caption;
    switch (kind) {
    case BoxKind::Information:
        box.setIcon(QMessageBox::Information);
        if (title.isEmpty())
            title = QStringLiteral("Information");
        break;
    case BoxKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        if (title.isEmpty())
            title = QStringLiteral("Confirm");
        break;
    case BoxKind::Warning:
        box.setIcon(QMessageBox::Warning);
        if (title.isEmpty())
            title = QStringLiteral("Warning");
        break;
    case BoxKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        if (title.isEmpty())
            title = QStringLiteral("Tarlvin Invoicing & Inventory");
        break;
    }
    box.setWindowTitle(title);
    box.setText(text);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case Buttons::OkCancel:
        // OK and Cancel ask before something is destroyed (erasing the data,
        // deleting an invoice): Enter alone must not do it.
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    const int r = box.exec();
    switch (r) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo ? Answer::No
                                         : (buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
}

std::optional<QString> QtUi::inputBox(const QString &caption, const QString &prompt, const QString &initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWindow(), caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUi::openFileName(const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parentWindow(), caption, dir, filter);
}

QString QtUi::saveFileName(const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parentWindow(), caption, dir, filter);
}

QString QtUi::chooseDirectory(const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parentWindow(), caption, dir);
}

std::optional<QFont> QtUi::chooseFont(const QFont &initial)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parentWindow());
    if (!ok)
        return std::nullopt;
    return f;
}

bool QtUi::printerSetup()
{
    if (auto *qp = dynamic_cast<QtPrinter *>(&printer()))
        return qp->setupDialog(parentWindow());
    return false;
}

} // namespace tlv
