#pragma once

// The report table's model: one column per report column, every cell read from the report's
// snapshot; reading never computes or alerts. The bond rows can be sorted by a column (by what
// the cells stand for, see ReportOrder.h); the heading row stays first and the blank and totals
// rows last. The order holds across new snapshots until another is chosen.

#include <QAbstractTableModel>
#include <vector>

class ValueReport;

class ReportTableModel : public QAbstractTableModel {
  public:
    ReportTableModel(const ValueReport& report, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A column outside the columns (-1) restores the report's issue-date order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The snapshot has changed: the table asks for its rows anew, in the order chosen.
    void reload();

    // The bond rows as shown: positions into the snapshot's rows.
    const std::vector<std::size_t>& bondOrder() const { return order_; }

  private:
    // The snapshot's row shown at a table row.
    int snapshotRow(int row) const;
    void applyOrder();

    const ValueReport& report_;
    std::vector<std::size_t> order_;
    int sortColumn_ = -1;
    bool ascending_ = true;
};
