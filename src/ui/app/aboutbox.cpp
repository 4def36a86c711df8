#include "app/aboutbox.h"

#include "widgets/prompter.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSvgWidget>
#include <QVBoxLayout>

namespace quillerby {

AboutBox::AboutBox(Prompter& prompter, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About"));
    setFixedSize(370, 303);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    auto* picture = new QSvgWidget(QStringLiteral(":/icons/app.svg"), panel);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setFixedSize(150, 150);

    auto* productLabel = new QLabel(tr("Product Name"), panel);
    productLabel->setObjectName(QStringLiteral("ProductNameCaption"));
    auto* productName = new QLabel(tr("Quillerby"), panel);
    productName->setObjectName(QStringLiteral("ProductName"));
    QFont bold = productName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    productName->setFont(bold);
    auto* versionLabel = new QLabel(tr("Version"), panel);
    versionLabel->setObjectName(QStringLiteral("VersionCaption"));
    auto* version = new QLabel(QStringLiteral("2.10.0.1"), panel);
    version->setObjectName(QStringLiteral("Version"));
    auto* copyright = new QLabel(tr("Your WooCommerce shop, at your desk."), panel);
    copyright->setObjectName(QStringLiteral("Copyright"));
    auto* comments = new QLabel(tr("Orders, invoices, customers and sales in one place."), panel);
    comments->setObjectName(QStringLiteral("Comments"));
    comments->setWordWrap(true);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(kMakerSite)), panel);
    link->setObjectName(QStringLiteral("LinkLabel1"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this, [&prompter](const QString& url) { prompter.openUrl(QUrl(url)); });

    auto* info = new QGridLayout;
    info->addWidget(productLabel, 0, 0);
    info->addWidget(productName, 1, 0);
    info->addWidget(versionLabel, 2, 0);
    info->addWidget(version, 3, 0);
    info->setRowStretch(4, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(info, 1);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addLayout(top);
    panelLayout->addWidget(copyright);
    panelLayout->addWidget(comments);
    panelLayout->addWidget(link);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

} // namespace quillerby
