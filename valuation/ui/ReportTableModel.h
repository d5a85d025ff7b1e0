#pragma once

// The report table's model: one column per report column, every cell read from the report's
// snapshot; reading never computes or alerts.

#include <QAbstractTableModel>

class ValueReport;

class ReportTableModel : public QAbstractTableModel {
  public:
    ReportTableModel(const ValueReport& report, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The snapshot has changed: the table asks for its rows anew.
    void reload();

  private:
    const ValueReport& report_;
};
