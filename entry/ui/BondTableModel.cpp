#include "entry/ui/BondTableModel.h"

#include "entry/ui/BondEditingWindowController.h"
#include "store/BondRecord.h"

#include <QFont>

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
