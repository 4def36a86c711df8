#pragma once

#include <QSqlTableModel>

namespace quillerby {

// The taxes the program applies itself (taxes000), in ID order, for the settings grid. Edits stay pending
// until post() (the page's "Save", the window's close question, or a move to another row). The two yes/no
// columns are check boxes (Qt::CheckStateRole). UI thread.
class TaxTableModel : public QSqlTableModel {
    Q_OBJECT
public:
    TaxTableModel(const QSqlDatabase& db, QObject* parent = nullptr);

    enum Column { Id = 0, Name, Rate, Priority, Compound, Shipping };

    // Loads the rows; raises Error when the table cannot be read.
    void open();
    bool isOpen() const { return m_open; }

    // Inserts an empty row at `row` (clamped) and returns its index.
    int addRow(int row);
    bool isNewRow(int row) const { return row >= 0 && row == m_newRow; }
    bool hasPendingEdit() const { return isDirty(); }
    // Writes the pending edit or insert; raises Error with the database's message.
    void post();
    // Drops the pending edit or insert.
    void cancel();
    // Deletes a stored row at once; raises Error.
    void deleteRow(int row);
    // Flips a yes/no cell, leaving the row pending.
    void toggle(const QModelIndex& index);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    static bool isFlagColumn(int column) { return column == Compound || column == Shipping; }
    bool m_open = false;
    int m_newRow = -1;
};

} // namespace quillerby
