#pragma once

#include <QWidget>

class QLineEdit;
class QRadioButton;
class QTableView;
class QPushButton;

namespace quillerby {

class DataModule;
class Prompter;
class TaxTableModel;

// "Taxes & Numbers": who computes taxes, the program's own taxes, and the amount format.
class TaxesPage : public QWidget {
    Q_OBJECT
public:
    TaxesPage(DataModule& dm, Prompter& prompter, QWidget* parent = nullptr);
    ~TaxesPage() override;

    // Reloads the settings into the page (each time the page becomes visible).
    void reload();
    void setTaxProcessing(bool program);
    void addTax();
    void saveTax();
    void deleteTax();
    void updateNumberFormat();

    bool hasPendingTaxEdit() const;
    void postPendingTaxEdit();
    void dropPendingTaxEdit();
    TaxTableModel* taxModel() const { return m_model; }
    QTableView* grid() const { return m_grid; }

private:
    void openTaxTable();
    void showError(const QString& text);

    DataModule& m_dm;
    Prompter& m_prompter;
    TaxTableModel* m_model = nullptr;
    QRadioButton* m_inStore;
    QRadioButton* m_inProgram;
    QTableView* m_grid;
    QLineEdit* m_separator;
    QLineEdit* m_digits;
};

} // namespace quillerby
