#include "entry/BondEditingModels.h"

#include "entry/BondEditingWindowController.h"
#include "store/BondRecord.h"

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

QStringList BondTableModel::columnTitles() {
    QStringList titles;
    for (std::string_view key :
         {kSerialKey, kTypeKey, kFaceValueKey, kIssueMonthKey, kIssueYearKey}) {
        titles << QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
    }
    return titles;
}

BondTableModel::BondTableModel(const BondEditingWindowController& controller, QObject* parent)
    : QAbstractTableModel(parent), controller_(controller), titles_(columnTitles()),
      rows_(controller.numberOfRowsInTableView()) {}

int BondTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int BondTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant BondTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= titles_.size()) {
        return {};
    }
    const QString& title = titles_.at(index.column());
    if (role == Qt::DisplayRole) {
        return controller_.tableViewObjectValueForTableColumnRow(title, index.row());
    }
    if (role == Qt::TextAlignmentRole && title == QLatin1String(kFaceValueKey)) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant BondTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < titles_.size()) {
        return titles_.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void BondTableModel::reload() {
    beginResetModel();
    rows_ = controller_.numberOfRowsInTableView();
    endResetModel();
}

bool BondTableModel::isStale() const {
    return rows_ != controller_.numberOfRowsInTableView();
}
