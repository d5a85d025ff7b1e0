#pragma once

// The portfolio list's model in the open-portfolio window: one column, every row asked of the
// window controller.

#include <QAbstractTableModel>

class LoadPortfolioWindowController;

class PortfolioListModel : public QAbstractTableModel {
  public:
    explicit PortfolioListModel(LoadPortfolioWindowController& controller);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The list has changed: the view asks for its rows anew.
    void reload();

  private:
    LoadPortfolioWindowController& controller_;
};
