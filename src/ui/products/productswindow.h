#pragma once

#include <QWidget>
#include <functional>

class QAction;
class QTreeWidget;

namespace quillerby {

class DataModule;
class OperationGate;
class Prompter;
struct ShopAccess;

// "Products": the shop's catalogue as stored locally, and "Synch Products". Top-level; created hidden at
// start and only shown or hidden afterwards.
class ProductsWindow : public QWidget {
    Q_OBJECT
public:
    ProductsWindow(DataModule& dm, Prompter& prompter, OperationGate& gate, std::function<ShopAccess()> shop,
                   std::function<void()> progressStep, QWidget* parent = nullptr);

    void synchronize();
    // Rebuilds the list from the stored products.
    void reloadList();
    QTreeWidget* list() const { return m_list; }

private:
    DataModule& m_dm;
    Prompter& m_prompter;
    OperationGate& m_gate;
    std::function<ShopAccess()> m_shop;
    std::function<void()> m_progressStep;
    QAction* m_sync;
    QTreeWidget* m_list;
};

} // namespace quillerby
