#pragma once

// The Qt model behind the bond editing window's bond table. It holds no data of its own: every
// count and text comes from the window controller's data-source operations.

#include <QAbstractTableModel>
#include <QStringList>

class BondEditingWindowController;

class BondTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The columns, each titled with the bond record key whose value it shows.
    static QStringList columnTitles();

    BondTableModel(const BondEditingWindowController& controller, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The bond list has changed: the table asks for its rows anew.
    void reload();
    // Whether the list has gained or lost bonds since the last reload (another window changed
    // it).
    bool isStale() const;

  private:
    const BondEditingWindowController& controller_;
    QStringList titles_;
    // The row count is taken at each reload, as the view expects it to change only then.
    int rows_ = 0;
};
