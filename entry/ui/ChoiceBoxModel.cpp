#include "entry/ui/ChoiceBoxModel.h"

#include "entry/ui/BondEditingWindowController.h"

#include <QComboBox>
#include <QFont>

ChoiceBoxModel::ChoiceBoxModel(const BondEditingWindowController& controller, QComboBox* box)
    : QAbstractListModel(box), controller_(controller), box_(box) {}

int ChoiceBoxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : controller_.numberOfItemsInComboBox(box_);
}

QVariant ChoiceBoxModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return controller_.comboBoxObjectValueForItemAtIndex(box_, index.row());
    case Qt::ToolTipRole:
        if (controller_.isExtraEntryAtIndex(box_, index.row())) {
            return QStringLiteral("Not one of the usual choices: this bond's own value, kept "
                                  "when the bond is saved");
        }
        return {};
    case Qt::FontRole:
        if (controller_.isExtraEntryAtIndex(box_, index.row())) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

void ChoiceBoxModel::reload() {
    beginResetModel();
    endResetModel();
}
