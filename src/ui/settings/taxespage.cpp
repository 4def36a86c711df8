#include "settings/taxespage.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "config/settingsservice.h"
#include "config/taxtable.h"
#include "widgets/checkboxdelegate.h"
#include "widgets/prompter.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace quillerby {

TaxesPage::TaxesPage(DataModule& dm, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_dm(dm), m_prompter(prompter) {
    auto* processing = new QGroupBox(tr("Tax Processing"), this);
    processing->setObjectName(QStringLiteral("RadioGroup1"));
    m_inStore = new QRadioButton(tr("Tax processing will be within the online store"), processing);
    m_inProgram = new QRadioButton(tr("Tax processing will be within the program here"), processing);
    auto* group = new QButtonGroup(this);
    group->addButton(m_inStore, 0);
    group->addButton(m_inProgram, 1);
    auto* processingLayout = new QVBoxLayout(processing);
    processingLayout->addWidget(m_inStore);
    processingLayout->addWidget(m_inProgram);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { setTaxProcessing(id == 1); });

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setEnabled(false);
    m_grid->setAlternatingRowColors(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->setDefaultSectionSize(24);
    m_grid->setItemDelegateForColumn(TaxTableModel::Compound, new CheckBoxDelegate(m_grid));
    m_grid->setItemDelegateForColumn(TaxTableModel::Shipping, new CheckBoxDelegate(m_grid));

    auto* add = new QPushButton(tr("Add Tax"), this);
    add->setObjectName(QStringLiteral("Button9"));
    auto* save = new QPushButton(tr("Save"), this);
    save->setObjectName(QStringLiteral("Button10"));
    auto* remove = new QPushButton(tr("Delete Tax"), this);
    remove->setObjectName(QStringLiteral("Button8"));
    connect(add, &QPushButton::clicked, this, &TaxesPage::addTax);
    connect(save, &QPushButton::clicked, this, &TaxesPage::saveTax);
    connect(remove, &QPushButton::clicked, this, &TaxesPage::deleteTax);
    auto* taxButtons = new QHBoxLayout;
    taxButtons->addWidget(add);
    taxButtons->addWidget(save);
    taxButtons->addWidget(remove);
    taxButtons->addStretch();

    auto* format = new QGroupBox(tr("Number Format"), this);
    format->setObjectName(QStringLiteral("GroupBoxNumbers"));
    m_separator = new QLineEdit(format);
    m_separator->setObjectName(QStringLiteral("Edit1"));
    m_separator->setFixedWidth(40);
    m_digits = new QLineEdit(format);
    m_digits->setObjectName(QStringLiteral("Edit2"));
    m_digits->setFixedWidth(40);
    auto* update = new QPushButton(tr("Update"), format);
    update->setObjectName(QStringLiteral("Button3"));
    connect(update, &QPushButton::clicked, this, &TaxesPage::updateNumberFormat);
    auto* formatLayout = new QGridLayout(format);
    formatLayout->addWidget(new QLabel(tr("Thousands separator"), format), 0, 0);
    formatLayout->addWidget(m_separator, 0, 1);
    formatLayout->addWidget(new QLabel(tr("Number of digits after the decimal point:"), format), 1, 0);
    formatLayout->addWidget(m_digits, 1, 1);
    formatLayout->addWidget(update, 1, 2, Qt::AlignLeft);
    formatLayout->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(processing);
    layout->addWidget(m_grid, 1);
    layout->addLayout(taxButtons);
    layout->addWidget(format);
}

TaxesPage::~TaxesPage() = default;

void TaxesPage::showError(const QString& text) { m_prompter.error(text, this); }

void TaxesPage::openTaxTable() {
    if (!m_model) {
        m_model = new TaxTableModel(m_dm.local(), this);
        m_model->open();
        m_grid->setModel(m_model);
        m_grid->hideColumn(TaxTableModel::Id);
        // The name takes what the yes/no and number columns leave (120 pixels at least).
        QHeaderView* header = m_grid->horizontalHeader();
        header->setMinimumSectionSize(60);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(TaxTableModel::Name, QHeaderView::Stretch);
        m_grid->setColumnWidth(TaxTableModel::Name, 120);
        // Leaving a row posts its pending edit, as moving through a table does.
        connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex& current, const QModelIndex& previous) {
                    if (previous.isValid() && current.row() != previous.row() && m_model->hasPendingEdit()) {
                        try {
                            m_model->post();
                        } catch (const Error& e) {
                            showError(e.message());
                        }
                    }
                });
    } else if (!m_model->hasPendingEdit()) {
        m_model->open();
    }
}

void TaxesPage::reload() {
    try {
        const SettingsService::Values v = SettingsService(m_dm).read();
        m_separator->setText(v.thousands);
        m_digits->setText(v.digits);
        if (v.programWillProcessTax != QLatin1String("no")) {
            m_inProgram->setChecked(true);
            openTaxTable();
            m_grid->setEnabled(true);
        } else {
            m_grid->setEnabled(false);
            m_inStore->setChecked(true);
        }
    } catch (const Error& e) {
        showError(e.message());
    }
}

void TaxesPage::setTaxProcessing(bool program) {
    (program ? m_inProgram : m_inStore)->setChecked(true);
    try {
        if (program) {
            m_grid->setEnabled(true);
            openTaxTable();
        } else {
            m_grid->setEnabled(false);
        }
        SettingsService(m_dm).setProgramProcessesTax(program);
    } catch (const Error& e) {
        showError(e.message());
    }
}

void TaxesPage::addTax() {
    try {
        openTaxTable();
        const int current = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
        const int row = m_model->addRow(current);
        m_grid->setCurrentIndex(m_model->index(row, TaxTableModel::Name));
        m_grid->edit(m_model->index(row, TaxTableModel::Name));
    } catch (const Error& e) {
        showError(e.message());
    }
}

void TaxesPage::saveTax() {
    if (!m_model)
        return;
    try {
        m_grid->setFocus(); // commits a cell still being typed into
        m_model->post();
    } catch (const Error& e) {
        showError(e.message());
    }
}

void TaxesPage::deleteTax() {
    if (!m_model)
        return;
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    if (m_model->isNewRow(row)) {
        m_model->cancel();
        return;
    }
    if (row < 0)
        return;
    if (m_prompter.confirm(tr("Are you sure you want to delete?"), PromptButtons::YesNo, this) != PromptAnswer::Yes)
        return;
    try {
        m_model->deleteRow(row);
    } catch (const Error& e) {
        showError(e.message());
    }
}

void TaxesPage::updateNumberFormat() {
    const QString separator = m_separator->text();
    const QString digits = m_digits->text();
    switch (SettingsService::checkNumberFormat(separator, digits)) {
    case SettingsService::FormatCheck::BadSeparator:
        m_prompter.error(tr("The thousands separator must be consistent with the global currency format"), this);
        m_separator->setText(separator.left(1));
        m_separator->setFocus();
        return;
    case SettingsService::FormatCheck::BadDigits:
        m_prompter.error(tr("The decimal digit number must be consistent with the global currency format"), this);
        return;
    case SettingsService::FormatCheck::Ok:
        break;
    }
    try {
        SettingsService(m_dm).updateNumberFormat(separator, digits);
        m_prompter.information(tr("successfully updated"), this);
    } catch (const Error& e) {
        showError(e.message());
    }
}

bool TaxesPage::hasPendingTaxEdit() const { return m_model && m_model->hasPendingEdit(); }

void TaxesPage::postPendingTaxEdit() {
    if (m_model)
        m_model->post();
}

void TaxesPage::dropPendingTaxEdit() {
    if (m_model)
        m_model->cancel();
}

} // namespace quillerby
