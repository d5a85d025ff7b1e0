#pragma once

// The Qt model behind a choice box of the bond editing window. It holds no data of its own:
// every count and text comes from the window controller's data-source operations.

#include <QAbstractListModel>

class BondEditingWindowController;
class QComboBox;

class ChoiceBoxModel : public QAbstractListModel {
    Q_OBJECT

  public:
    ChoiceBoxModel(const BondEditingWindowController& controller, QComboBox* box);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The box's entries have changed: it asks for them anew.
    void reload();

  private:
    const BondEditingWindowController& controller_;
    QComboBox* box_;
};
