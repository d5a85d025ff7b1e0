#pragma once

// The Qt model behind a choice box of the bond entry: the entries of its choice list, each shown
// after a prefix (the "$" of the face values); the extra entry in italics, with a tooltip.

#include <QAbstractListModel>
#include <QString>

class ChoiceList;

class ChoiceBoxModel : public QAbstractListModel {
    Q_OBJECT

  public:
    // The list outlives the model (both belong to the bond entry form).
    ChoiceBoxModel(const ChoiceList& list, QString prefix, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The list's entries have changed: the box asks for them anew.
    void reload();

  private:
    const ChoiceList& list_;
    QString prefix_;
};
