#pragma once

// The report table's model: one column per report column, every cell asked of the report
// controller, nothing kept.

#include <QAbstractTableModel>

class ReportWindowController;

class ReportTableModel : public QAbstractTableModel {
  public:
    ReportTableModel(ReportWindowController& controller, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The report's rows have changed: the table asks for them anew.
    void reload();

  private:
    ReportWindowController& controller_;
};
