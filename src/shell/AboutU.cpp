#include "shell/AboutU.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlv {

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(10);

    auto *icon = new QLabel;
    icon->setPixmap(QIcon(QStringLiteral(":/icons/tarlvin.svg")).pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);

    auto *title = new QLabel(QStringLiteral("Tarlvin Invoicing & Inventory"));
    title->setObjectName(QStringLiteral("ProductName"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.5);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    m_version = new QLabel;
    m_version->setObjectName(QStringLiteral("Version"));
    m_version->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_version);

    auto *blurb = new QLabel(QStringLiteral("Customers, products, stock, invoices and payments\n"
                                            "for the small business."));
    blurb->setAlignment(Qt::AlignCenter);
    layout->addWidget(blurb);

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_ok);
    row->addStretch();
    layout->addLayout(row);
    setVersion(QString());
}

void TAboutForm::setVersion(const QString &version)
{
    setWindowTitle(QStringLiteral("About Tarlvin Invoicing & Inventory ") + version);
    m_version->setText(version.isEmpty() ? QString() : QStringLiteral("Version ") + version);
}

void TAboutForm::setStarting(bool starting) { m_ok->setVisible(!starting); }

} // namespace tlv
