#include "entry/ui/ChoiceBoxModel.h"

#include "entry/ChoiceList.h"

#include <QFont>

ChoiceBoxModel::ChoiceBoxModel(const ChoiceList& list, QString prefix, QObject* parent)
    : QAbstractListModel(parent), list_(list), prefix_(std::move(prefix)) {}

int ChoiceBoxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.count();
}

QVariant ChoiceBoxModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const std::optional<std::string> value = list_.valueAt(index.row());
        return value ? prefix_ + QString::fromStdString(*value) : QString();
    }
    case Qt::ToolTipRole:
        if (list_.isExtraAt(index.row())) {
            return QStringLiteral("Not one of the usual choices: this bond's own value, kept "
                                  "when the bond is saved");
        }
        return {};
    case Qt::FontRole:
        if (list_.isExtraAt(index.row())) {
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
