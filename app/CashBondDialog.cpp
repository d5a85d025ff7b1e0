#include "app/CashBondDialog.h"

#include "store/SeriesRules.h"
#include "valuation/OwnerFigures.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

// "1234.56" for an amount of whole cents and more.
std::string dollarsWithoutSign(Amount amount) {
    return amountText(amount).substr(1);
}

} // namespace

CashBondDialog::CashBondDialog(const Bond& bond, ValueTableRef table,
                               std::optional<YearMonth> month, Apply apply, QWidget* parent)
    : QDialog(parent), bond_(bond), table_(std::move(table)), apply_(std::move(apply)) {
    setObjectName("cashBondDialog");
    setWindowTitle(QStringLiteral("Cash Bond"));
    auto* layout = new QVBoxLayout(this);
    const std::string issued = bond.issueMonth + " " + bond.issueYear;
    auto* about = new QLabel(
        QStringLiteral("Mark the bond %1 (series %2, $%3, issued %4) as cashed.")
            .arg(qText(bond.serial), qText(bond.type), qText(bond.faceValue), qText(issued)),
        this);
    about->setWordWrap(true);
    layout->addWidget(about);

    auto* form = new QFormLayout();
    auto* when = new QHBoxLayout();
    month_ = new QComboBox(this);
    month_->setObjectName("cashedMonthBox");
    for (int month = 1; month <= 12; ++month) {
        const std::string_view name = monthName(month);
        month_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    year_ = new QSpinBox(this);
    year_->setObjectName("cashedYearBox");
    year_->setRange(kFirstSavingsBondIssue.year, 2200);
    year_->setGroupSeparatorShown(false);
    const YearMonth start = month.value_or(bond.issued().value_or(YearMonth{2000, 1}));
    month_->setCurrentIndex(start.month - 1);
    year_->setValue(start.year);
    when->addWidget(month_);
    when->addWidget(year_);
    form->addRow(QStringLiteral("Cashed &in:"), when);
    if (bond.electronic) {
        part_ = new QLineEdit(qText(bond.faceValue), this);
        part_->setObjectName("partCashedField");
        part_->setToolTip(
            QStringLiteral("Less than the whole amount cashes a part; at least $25.00 stays"));
        form->addRow(QStringLiteral("&Part cashed ($):"), part_);
    }
    received_ = new QLineEdit(this);
    received_->setObjectName("amountReceivedField");
    form->addRow(QStringLiteral("Amount &received ($):"), received_);
    layout->addLayout(form);
    valueNote_ = new QLabel(this);
    valueNote_->setWordWrap(true);
    layout->addWidget(valueNote_);
    problem_ = new QLabel(this);
    problem_->setObjectName("cashingProblemLabel");
    problem_->setWordWrap(true);
    problem_->hide();
    layout->addWidget(problem_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* mark =
        buttons->addButton(QStringLiteral("Mark Cashed"), QDialogButtonBox::AcceptRole);
    mark->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(received_, &QLineEdit::textEdited, this, [this] { receivedTyped_ = true; });
    connect(month_, &QComboBox::currentIndexChanged, this, &CashBondDialog::followValue);
    connect(year_, &QSpinBox::valueChanged, this, &CashBondDialog::followValue);
    if (part_ != nullptr) {
        connect(part_, &QLineEdit::textChanged, this, &CashBondDialog::followValue);
    }
    followValue();
}

Cashing CashBondDialog::cashing() const {
    Cashing cashing;
    cashing.month = YearMonth{year_->value(), month_->currentIndex() + 1};
    cashing.amountReceived = received_->text().trimmed().toStdString();
    if (part_ != nullptr && part_->text().trimmed() != qText(bond_.faceValue)) {
        cashing.partCashed = part_->text().trimmed().toStdString();
    }
    return cashing;
}

void CashBondDialog::followValue() {
    const Cashing chosen = cashing();
    Bond cashed = bond_;
    if (!chosen.partCashed.empty()) {
        const std::optional<std::int64_t> part = centsOfDollarText(chosen.partCashed);
        cashed.faceValue = part ? dollarTextOfCents(*part) : std::string();
    }
    const std::optional<Amount> value =
        ownerFiguresOfBond(table_.get(), cashed, chosen.month).value;
    valueNote_->setText(
        value ? QStringLiteral("Its value in %1 by the value table: %2.")
                    .arg(qText(chosen.month.name()), qText(amountText(*value)))
              : QStringLiteral("Its value in %1 is not known: type the amount received.")
                    .arg(qText(chosen.month.name())));
    if (!receivedTyped_) {
        received_->setText(value ? qText(dollarsWithoutSign(*value)) : QString());
    }
}

void CashBondDialog::accept() {
    const std::string refusal = apply_ ? apply_(cashing()) : std::string();
    if (!refusal.empty()) {
        problem_->setText(qText(refusal));
        problem_->show();
        return;
    }
    QDialog::accept();
}
