#include "masterdata/CustomerU.h"

#include "data/Database.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "masterdata/Customers.h"
#include "masterdata/GroupDefU.h"
#include "picklists/PickCustU.h"
#include "picklists/PickGroupU.h"
#include "platform/Help.h"
#include "platform/Ui.h"
#include "widgets/EnterAsTab.h"
#include "widgets/FormKitU.h"
#include "widgets/StoredText.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
constexpr int helpContext = 410;
// Customer records walked in one piece of the number search: a few
// milliseconds, so typing is not held up.
constexpr long numberSearchStep = 20000;

QLineEdit *field(const char *name, int maxLength, int widthChars)
{
    auto *e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    const QFontMetrics fm(e->font());
    e->setMinimumWidth(fm.horizontalAdvance(QLatin1Char('n')) * widthChars + 12);
    enterMovesFocus(e);
    return e;
}

QLabel *boldLabel(const QString &text, QWidget *buddy = nullptr)
{
    auto *l = new QLabel(text);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

} // namespace

TCustomer::TCustomer(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Customer"));
    setWindowTitle(QStringLiteral("Customer"));
    installGroupEditor(); // the group list behind "Group" offers "New"

    using namespace customerLimits;
    m_number = field("Edit1", 6, 7);
    m_number->setReadOnly(true);
    m_number->setEnabled(false);
    m_number->setAlignment(Qt::AlignRight);
    m_number->setMaximumWidth(m_number->minimumWidth());
    m_title = field("Edit2", title, 4);
    m_title->setMaximumWidth(m_title->minimumWidth());
    m_first = field("Edit3", first, 13);
    m_last = field("Edit4", last, 20);
    m_addr1 = field("Edit5", addressLine, 34);
    m_addr2 = field("Edit6", addressLine, 34);
    m_addr3 = field("Edit7", addressLine, 34);
    m_addr4 = field("Edit8", addr4, 19);
    m_zip = field("Edit9", zip, 10);
    m_phone = field("Edit10", phone, 16);
    m_fax = field("Edit11", fax, 16);
    m_email = field("Edit12", email, 30);
    m_note = field("Edit13", note, 30);
    m_groupName = field("Edit14", 0, 20);
    m_groupName->setReadOnly(true);
    m_groupName->setFocusPolicy(Qt::NoFocus); // no tab stop
    m_comments = new QPlainTextEdit;
    m_comments->setObjectName(QStringLiteral("Memo1"));
    m_comments->setTabChangesFocus(true);

    m_groupButton = namedButton("BtnGroup", QStringLiteral("Group"));
    connect(m_groupButton, &QPushButton::clicked, this, &TCustomer::BtnGroupClick);

    // Upper right: the customer number.
    auto *numberRow = new QHBoxLayout;
    numberRow->addStretch(1);
    numberRow->addWidget(boldLabel(QStringLiteral("Customer No."), m_number));
    numberRow->addWidget(m_number);

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    int row = 0;
    // Name: title, first and last name side by side.
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(m_title);
    nameRow->addWidget(m_first, 13);
    nameRow->addWidget(m_last, 20);
    grid->addWidget(boldLabel(QStringLiteral("Name"), m_title), row, 0);
    grid->addLayout(nameRow, row++, 1, 1, 3);
    // Address: line 1 with its label, lines 2 and 3 without, then line 4 and
    // the postal code on one row.
    m_addressLabel = boldLabel(QString(), m_addr1);
    grid->addWidget(m_addressLabel, row, 0);
    grid->addWidget(m_addr1, row++, 1, 1, 3);
    grid->addWidget(m_addr2, row++, 1, 1, 3);
    grid->addWidget(m_addr3, row++, 1, 1, 3);
    auto *cityRow = new QHBoxLayout;
    cityRow->addWidget(m_addr4, 19);
    cityRow->addSpacing(8);
    cityRow->addWidget(boldLabel(QStringLiteral("Postal Code"), m_zip));
    cityRow->addWidget(m_zip, 10);
    grid->addLayout(cityRow, row++, 1, 1, 3);
    // Phone and e-mail, fax and note.
    grid->addWidget(boldLabel(QStringLiteral("Phone"), m_phone), row, 0);
    grid->addWidget(m_phone, row, 1);
    grid->addWidget(boldLabel(QStringLiteral("Email"), m_email), row, 2, Qt::AlignRight);
    grid->addWidget(m_email, row++, 3);
    grid->addWidget(boldLabel(QStringLiteral("Fax"), m_fax), row, 0);
    grid->addWidget(m_fax, row, 1);
    grid->addWidget(boldLabel(QStringLiteral("Note"), m_note), row, 2, Qt::AlignRight);
    grid->addWidget(m_note, row++, 3);
    // The group: chosen with the button, its name shown beside it.
    grid->addWidget(m_groupButton, row, 0);
    auto *groupRow = new QHBoxLayout;
    groupRow->addWidget(m_groupName);
    groupRow->addStretch(1);
    grid->addLayout(groupRow, row++, 1, 1, 3);

    m_save = namedButton("BtnSave", QStringLiteral("Save"), this, &TCustomer::BtnSaveClick);
    m_delete = namedButton("BtnDelete", QStringLiteral("Delete"), this, &TCustomer::BtnDeleteClick);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TCustomer::BtnCancelClick);
    m_help = namedButton("BtnHelp", QStringLiteral("Help"), this, &TCustomer::BtnHelpClick);
    auto *buttons = buttonRow({m_save, m_delete, m_cancel, m_help});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(numberRow);
    layout->addLayout(grid);
    layout->addWidget(boldLabel(QStringLiteral("Comments"), m_comments));
    layout->addWidget(m_comments, 1);
    layout->addLayout(buttons);

    QWidget *order[] = {m_title,       m_first,    m_last,  m_addr1,  m_addr2,  m_addr3,
                        m_addr4,       m_zip,      m_phone, m_email,  m_fax,    m_note,
                        m_groupButton, m_comments, m_save,  m_delete, m_cancel, m_help};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, &TCustomer::BtnHelpClick);

    m_numberTimer.setInterval(0);
    connect(&m_numberTimer, &QTimer::timeout, this, &TCustomer::findNumber);
    resize(sizeHint().width(), sizeHint().height() + 60);
    guardStoredText(this);
}

void TCustomer::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Centred on the screen, whoever opened it.
    if (QScreen *s = screen()) {
        QRect r = frameGeometry();
        r.moveCenter(s->availableGeometry().center());
        move(r.topLeft());
    }
    FormShow();
}

void TCustomer::FormShow()
{
    m_addressLabel->setText(QStringLiteral("Address"));
    int &current = db().selected.customer;
    const QString groupName = openCustomer(current);
    m_delete->setEnabled(current > 0);
    m_loaded = db().cust5.buf;
    m_group = m_loaded.ngroup;

    const CustomerEntry e = customerEntryOf(m_loaded);
    m_number->setText(customerNumberText(m_loaded.cuno));
    m_title->setText(e.title);
    m_first->setText(e.first);
    m_last->setText(e.last);
    m_addr1->setText(e.addr1);
    m_addr2->setText(e.addr2);
    m_addr3->setText(e.addr3);
    m_addr4->setText(e.addr4);
    m_zip->setText(e.zip);
    m_phone->setText(e.phone);
    m_fax->setText(e.fax);
    m_email->setText(e.email);
    m_note->setText(e.note);
    m_comments->setPlainText(e.comments);
    m_groupName->setText(groupName);
    m_title->setFocus();

    m_numbers = CustomerNumberSearch();
    if (current <= 0)
        m_numberTimer.start();
}

void TCustomer::findNumber()
{
    if (!db().cust5.isOpen() || m_numbers.advance(numberSearchStep))
        m_numberTimer.stop();
}

void TCustomer::done(int result)
{
    m_numberTimer.stop();
    QDialog::done(result);
}

void TCustomer::BtnGroupClick()
{
    auto &groups = db().groups;
    int start = 0;
    groupNameOf(m_group, &start);
    db().selected.group = start;
    if (!runPickGroup(/*allowNew=*/true))
        return;
    if (groups.go(db().selected.group) != 0)
        return;
    groups.read();
    m_group = groups.buf.nGroup;
    m_groupName->setText(groups.buf.cGroup.trimmed());
}

void TCustomer::BtnSaveClick()
{
    CustomerEntry e;
    e.title = m_title->text();
    e.first = m_first->text();
    e.last = m_last->text();
    e.addr1 = m_addr1->text();
    e.addr2 = m_addr2->text();
    e.addr3 = m_addr3->text();
    e.addr4 = m_addr4->text();
    e.zip = m_zip->text();
    e.phone = m_phone->text();
    e.fax = m_fax->text();
    e.email = m_email->text();
    e.note = m_note->text();
    e.comments = m_comments->toPlainText();

    int recNo = db().selected.customer;
    const CustomerSave result = saveCustomer(recNo, m_loaded, m_group, e, &m_numbers);
    if (result != CustomerSave::Saved) {
        ui().information(messageOf(result));
        return;
    }
    db().selected.customer = recNo;
    accept();
}

void TCustomer::BtnDeleteClick()
{
    const int current = db().selected.customer;
    if (current <= 0)
        return;
    deleteCustomer(current);
    accept();
}

void TCustomer::BtnCancelClick()
{
    reject();
}

void TCustomer::BtnHelpClick()
{
    help().showTopic(helpContext);
}

bool editCustomer(QWidget *parent)
{
    TCustomer window(parent ? parent : QApplication::activeModalWidget());
    return window.exec() == QDialog::Accepted;
}

void installCustomerEditor()
{
    setNewRecordEditor(PickTable::Customer, [] { editCustomer(); });
}

void runCustomerCommand(QWidget *parent)
{
    installCustomerEditor();
    installGroupEditor();
    db().packNeeded = false;
    TableScope scope(packList::customers);
    auto &cust = db().cust5;
    cust.open();
    db().groups.open();
    cust.useTag(settings().ByCust ? tag::cname : tag::cComp);
    int &selected = db().selected.customer;
    selected = cust.top() == 0 ? int(cust.recNo()) : 0;
    for (;;) {
        bool created = false;
        if (runPickCust(/*allowNew=*/true, &created)) {
            if (!created)
                editCustomer(parent);
            continue;
        }
        // Not chosen: the list was cancelled, or "New" opened the customer
        // window and that was cancelled; only the first ends the command.
        if (pickCust().result() != QDialog::Accepted)
            break;
    }
}

} // namespace tlv
