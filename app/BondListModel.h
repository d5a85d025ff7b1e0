#pragma once

// The main window's list of the open portfolio's bonds: one row per bond of the report's
// snapshot, the columns the report has among those the list shows, every cell the report's own
// text so that both agree. Sorting orders rows as the report does (amounts by amount, months by
// month, statuses in their order); the filter keeps the rows whose serial, series or status holds
// the text typed, and may hide the bonds cashed. Neither ever computes the snapshot.

#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <map>
#include <memory>
#include <string>
#include <vector>

class BondListModel : public QAbstractTableModel {
  public:
    // The report columns the list shows, by identifier, in order; those the report lacks are
    // left out.
    static std::vector<ReportColumn> shownColumns();

    explicit BondListModel(QObject* parent = nullptr);

    // A new snapshot: the rows are read anew.
    void setSnapshot(std::shared_ptr<const ReportSnapshot> snapshot);
    const ReportColumn& column(int section) const { return columns_[static_cast<size_t>(section)]; }
    // The serial of a row; empty outside the rows.
    std::string serialAt(int row) const;
    // Whether the row's bond was cashed by the month shown.
    bool cashedAt(int row) const;
    // A bond's place in the order of a column, ascending or descending (ReportOrder.h).
    int rankOf(int row, int section, bool ascending) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<ReportColumn> columns_;
    std::shared_ptr<const ReportSnapshot> snapshot_;
    // Ranks per (column, direction), worked out when first sorted by it.
    mutable std::map<std::pair<int, bool>, std::vector<int>> ranks_;
};

class BondListFilter : public QSortFilterProxyModel {
  public:
    explicit BondListFilter(BondListModel* list, QObject* parent = nullptr);

    // Whether the bonds cashed by the month shown are listed (they are at first).
    void setShowCashed(bool show);
    bool showsCashed() const { return showCashed_; }

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

  private:
    BondListModel* list_;
    bool showCashed_ = true;
};
