#include "config/taxtable.h"

#include "common/error.h"

#include <QSqlError>
#include <QSqlRecord>

namespace quillerby {

namespace {
QString modelError(const QSqlError& e) {
    const QString t = e.databaseText().trimmed();
    return t.isEmpty() ? e.text() : t;
}
} // namespace

TaxTableModel::TaxTableModel(const QSqlDatabase& db, QObject* parent) : QSqlTableModel(parent, db) {
    setEditStrategy(QSqlTableModel::OnManualSubmit);
}

void TaxTableModel::open() {
    setTable(QStringLiteral("taxes000"));
    setSort(Id, Qt::AscendingOrder);
    if (!select())
        throw Error(modelError(lastError()));
    m_open = true;
    m_newRow = -1;
}

int TaxTableModel::addRow(int row) {
    if (hasPendingEdit())
        post();
    row = qBound(0, row, rowCount());
    if (!insertRow(row))
        throw Error(modelError(lastError()));
    m_newRow = row;
    return row;
}

void TaxTableModel::post() {
    if (!isDirty())
        return;
    if (!submitAll()) {
        const QString e = modelError(lastError());
        throw Error(e);
    }
    m_newRow = -1;
}

void TaxTableModel::cancel() {
    // Reloading drops every pending change at once. revertAll()/revertRow() remove an inserted row while an
    // open cell editor still refers to it, which crashes Qt 6.4; a reload resets the views instead.
    m_newRow = -1;
    select();
}

void TaxTableModel::deleteRow(int row) {
    if (!removeRow(row) || !submitAll()) {
        const QString e = modelError(lastError());
        select();
        throw Error(e);
    }
}

void TaxTableModel::toggle(const QModelIndex& index) {
    if (!isFlagColumn(index.column()))
        return;
    const bool on = QSqlTableModel::data(index, Qt::EditRole).toInt() != 0;
    QSqlTableModel::setData(index, on ? 0 : 1, Qt::EditRole);
}

QVariant TaxTableModel::data(const QModelIndex& index, int role) const {
    if (isFlagColumn(index.column())) {
        if (role == Qt::CheckStateRole)
            return QSqlTableModel::data(index, Qt::EditRole).toInt() != 0 ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::DisplayRole)
            return QVariant();
    }
    return QSqlTableModel::data(index, role);
}

bool TaxTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (isFlagColumn(index.column()) && role == Qt::CheckStateRole)
        return QSqlTableModel::setData(index, value.toInt() == Qt::Checked ? 1 : 0, Qt::EditRole);
    return QSqlTableModel::setData(index, value, role);
}

Qt::ItemFlags TaxTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QSqlTableModel::flags(index);
    // Still editable for the model's own setData(); the view's delegate opens no text editor there.
    if (isFlagColumn(index.column()))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

} // namespace quillerby
