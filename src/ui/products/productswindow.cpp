#include "products/productswindow.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "store/productsync.h"
#include "widgets/links.h"
#include "widgets/operationgate.h"
#include "widgets/prompter.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillerby {

namespace {
// A cell is empty for NULL and for the text "null" the shop sends for a missing value.
QString cell(const QVariant& v, bool showNullText = false) {
    if (v.isNull())
        return {};
    const QString t = v.toString();
    return !showNullText && t == QLatin1String("null") ? QString() : t;
}
} // namespace

ProductsWindow::ProductsWindow(DataModule& dm, Prompter& prompter, OperationGate& gate,
                               std::function<ShopAccess()> shop, std::function<void()> progressStep, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dm(dm), m_prompter(prompter), m_gate(gate), m_shop(std::move(shop)),
      m_progressStep(std::move(progressStep)) {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(tr("Products"));
    resize(786, 478);

    m_sync = new QAction(QIcon(QStringLiteral(":/icons/sync-orders.svg")), tr("Synch Products"), this);
    m_sync->setObjectName(QStringLiteral("synchAllProducts"));
    connect(m_sync, &QAction::triggered, this, &ProductsWindow::synchronize);
    auto* syncButton = new QToolButton(this);
    syncButton->setObjectName(QStringLiteral("Button1"));
    syncButton->setDefaultAction(m_sync);
    syncButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    syncButton->setIconSize(QSize(24, 24));
    auto* help = new QPushButton(QIcon(QStringLiteral(":/icons/documentation.svg")), tr("Help"), this);
    help->setObjectName(QStringLiteral("Button6"));
    connect(help, &QPushButton::clicked, this, [this] { m_prompter.openUrl(guideUrl(QStringLiteral("/guide"))); });
    auto* top = new QHBoxLayout;
    top->addWidget(syncButton);
    top->addWidget(help);
    top->addStretch();

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setUniformRowHeights(true);
    const struct {
        const char* caption;
        int width;
    } columns[] = {{"SKU", 70},  {"Name", 200},       {"Stock", 65},  {"Price", 55},   {"Catalog Visibility", 100},
                   {"Categories", 80}, {"Qty", 60}, {"Sale Price", 100}, {"Status", 80}};
    QStringList captions;
    for (const auto& c : columns)
        captions << tr(c.caption);
    m_list->setHeaderLabels(captions);
    for (int i = 0; i < int(std::size(columns)); ++i)
        m_list->setColumnWidth(i, columns[i].width);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);

    connect(&m_gate, &OperationGate::busyChanged, m_sync, [this](bool busy) { m_sync->setEnabled(!busy); });
}

void ProductsWindow::reloadList() {
    const QList<ProductRow> rows = ProductSync(m_dm, m_shop()).storedProducts();
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const ProductRow& r : rows) {
        items << new QTreeWidgetItem(QStringList{cell(r.sku), cell(r.name), cell(r.stockStatus), cell(r.price),
                                                 cell(r.catalogVisibility, true), cell(r.categories),
                                                 cell(r.stockQuantity), cell(r.salePrice), cell(r.status)});
    }
    m_list->addTopLevelItems(items);
    m_list->setUpdatesEnabled(true);
}

void ProductsWindow::synchronize() {
    OperationScope operation(m_gate);
    if (!operation.active())
        return;
    try {
        ProductSync sync(m_dm, m_shop());
        if (m_progressStep) {
            m_progressStep();
            m_progressStep();
        }
        SyncProgress progress;
        progress.idle = [] { QCoreApplication::processEvents(); };
        sync.run(progress);
        reloadList();
    } catch (const Error& e) {
        m_prompter.error(e.message(), this);
    }
}

} // namespace quillerby
