#pragma once

// The bonds of one portfolio of the store, a row each, for the bond editing window's table; a
// column is titled with the bond record key whose value it shows. The rows are counted at each
// reload, as a view expects them to change only then.

#include "store/BondDatabase.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <string>
#include <string_view>

class BondTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The columns, each titled with the bond record key whose value it shows.
    static QStringList columnTitles();

    BondTableModel(const BondDatabase& store, std::string portfolio, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The bond at a row as the store holds it now; nullptr outside the portfolio's bonds.
    const Bond* bondAt(int row) const;
    // The bonds have changed: the table asks for its rows anew.
    void reload();
    // Whether the portfolio has gained or lost bonds since the last reload (another window
    // changed it).
    bool isStale() const;

  private:
    int bondCount() const;

    // The store outlives the window in use; at the end the window may be freed after it.
    QPointer<const BondDatabase> store_;
    std::string portfolio_;
    QStringList titles_;
    int rows_ = 0;
};
