#include "entry/ui/BondTableModel.h"

#include "store/BondDatabase.h"
#include "store/BondRecord.h"

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The text a column shows of a bond; the face value with its "$".
QString cellText(const Bond& bond, const QString& title) {
    const std::string key = title.toStdString();
    if (key == kFaceValueKey) {
        return QStringLiteral("$") + qText(bond.faceValue);
    }
    if (key == kSerialKey) {
        return qText(bond.serial);
    }
    if (key == kTypeKey) {
        return qText(bond.type);
    }
    if (key == kIssueYearKey) {
        return qText(bond.issueYear);
    }
    return key == kIssueMonthKey ? qText(bond.issueMonth) : QString();
}

} // namespace

QStringList BondTableModel::columnTitles() {
    QStringList titles;
    for (std::string_view key :
         {kSerialKey, kTypeKey, kFaceValueKey, kIssueMonthKey, kIssueYearKey}) {
        titles << qText(key);
    }
    return titles;
}

BondTableModel::BondTableModel(const BondDatabase& store, std::string portfolio, QObject* parent)
    : QAbstractTableModel(parent), store_(&store), portfolio_(std::move(portfolio)),
      titles_(columnTitles()), rows_(bondCount()) {}

int BondTableModel::bondCount() const {
    const Portfolio* portfolio = store_ ? store_->portfolio(portfolio_) : nullptr;
    return portfolio != nullptr ? static_cast<int>(portfolio->bonds.size()) : 0;
}

const Bond* BondTableModel::bondAt(int row) const {
    const Portfolio* portfolio = store_ ? store_->portfolio(portfolio_) : nullptr;
    if (portfolio == nullptr || row < 0 ||
        static_cast<std::size_t>(row) >= portfolio->bonds.size()) {
        return nullptr;
    }
    return &portfolio->bonds[static_cast<std::size_t>(row)];
}

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
        const Bond* bond = bondAt(index.row());
        return bond != nullptr ? cellText(*bond, title) : QString();
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
    rows_ = bondCount();
    endResetModel();
}

bool BondTableModel::isStale() const {
    return rows_ != bondCount();
}
