#include "settings/storepage.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "store/storetest.h"
#include "widgets/busyindicator.h"
#include "widgets/links.h"
#include "widgets/prompter.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillerby {

StorePage::StorePage(DataModule& dm, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_dm(dm), m_prompter(prompter) {
    auto* heading = new QLabel(tr("Connect To Store Using WooCommerce REST API"), this);
    heading->setObjectName(QStringLiteral("Label5"));
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    heading->setFont(big);

    m_link = new QLineEdit(this);
    m_link->setObjectName(QStringLiteral("Edit5"));
    m_link->setPlaceholderText(QStringLiteral("https://"));
    auto* hint = new QLabel(tr("Please enter your online store link as it is written") + QLatin1Char('\n') +
                                tr("In the browser."),
                            this);
    hint->setObjectName(QStringLiteral("LabelHint"));
    hint->setEnabled(false);
    m_key = new QLineEdit(this);
    m_key->setObjectName(QStringLiteral("Edit3"));
    m_secret = new QLineEdit(this);
    m_secret->setObjectName(QStringLiteral("Edit4"));

    m_test = new QPushButton(tr("Test Cnnection"), this);
    m_test->setObjectName(QStringLiteral("Button6"));
    m_busy = new BusyIndicator(this);
    m_busy->setObjectName(QStringLiteral("Image2"));
    m_wait = new QLabel(tr("Please Wait..."), this);
    m_wait->setObjectName(QStringLiteral("Label9"));
    m_wait->hide();
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                .arg(QLatin1String(kWooCommerceKeysHelp),
                                     tr("Please Follow this link for how to generate WooCmmerce REST API")),
                            this);
    link->setObjectName(QStringLiteral("LinkLabel1"));
    connect(link, &QLabel::linkActivated, this, [this](const QString& url) { m_prompter.openUrl(QUrl(url)); });

    auto* form = new QFormLayout;
    form->addRow(tr("Your Store Link"), m_link);
    form->addRow(QString(), hint);
    form->addRow(tr("Consumer key"), m_key);
    form->addRow(tr("Consumer secret"), m_secret);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(m_test);
    testRow->addWidget(m_busy);
    testRow->addWidget(m_wait);
    testRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addSpacing(8);
    layout->addLayout(form);
    layout->addLayout(testRow);
    layout->addWidget(link);
    layout->addStretch();

    connect(m_link, &QLineEdit::editingFinished, this, [this] {
        QString t = m_link->text();
        if (t.endsWith(QLatin1Char('/'))) {
            t.chop(1);
            m_link->setText(t);
        }
    });
    connect(m_test, &QPushButton::clicked, this, &StorePage::startTest);
}

void StorePage::reload() {
    try {
        if (const auto shop = firstStoredShop(m_dm.local(), m_dm.catalogue())) {
            m_key->setText(shop->key);
            m_secret->setText(shop->secret);
            m_link->setText(shop->website);
        }
    } catch (const Error& e) {
        m_prompter.error(e.message(), this);
    }
}

void StorePage::startTest() {
    if (m_key->text().isEmpty() || m_link->text().isEmpty() || m_secret->text().isEmpty()) {
        m_prompter.error(tr("Please fill in all fields before proceeding"), this);
        return;
    }
    m_busy->start();
    m_wait->show();
    m_test->setEnabled(false);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    emit testRequested(m_link->text(), m_key->text(), m_secret->text());
}

void StorePage::endBusy() {
    m_busy->stop();
    m_wait->hide();
    m_test->setEnabled(true);
}

bool StorePage::isBusy() const { return m_busy->isAnimating(); }

} // namespace quillerby
