#pragma once

// The portfolio list's model in the open-portfolio window: the names, one a row, in one column.

#include <QAbstractTableModel>
#include <string>
#include <vector>

class PortfolioListModel : public QAbstractTableModel {
  public:
    explicit PortfolioListModel(QObject* parent);

    const std::vector<std::string>& names() const { return names_; }
    // Replaces the names shown, in the order given; the view asks for its rows anew.
    void setNames(std::vector<std::string> names);
    // The name at a row; empty outside the rows.
    std::string nameAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<std::string> names_;
};
