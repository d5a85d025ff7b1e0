#include "entry/ui/FaceValueTypeAhead.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>

namespace {

// The face value typed as digits, with or without "$": "$50" and "50" both stand for "50".
QString typedAmount(const QString& typed) {
    QString digits;
    for (const QChar c : typed) {
        if (c.isDigit()) {
            digits += c;
        }
    }
    return digits;
}

} // namespace

FaceValueTypeAhead::FaceValueTypeAhead(QComboBox& box, AmountAt amountAt)
    : QObject(&box), box_(box), amountAt_(std::move(amountAt)) {
    sinceLastKey_.invalidate();
    box.installEventFilter(this);
}

bool FaceValueTypeAhead::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &box_ && event->type() == QEvent::KeyPress &&
        type(static_cast<QKeyEvent*>(event)->text())) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool FaceValueTypeAhead::someAmountStartsWith(const QString& digits) const {
    for (int index = 0; index < box_.count(); ++index) {
        const std::optional<std::string> amount = amountAt_(index);
        if (amount && QString::fromStdString(*amount).startsWith(digits)) {
            return true;
        }
    }
    return false;
}

bool FaceValueTypeAhead::type(const QString& text) {
    if (text.isEmpty() || !(text.at(0).isDigit() || text.at(0) == QLatin1Char('$'))) {
        return false;
    }
    if (!sinceLastKey_.isValid() || sinceLastKey_.elapsed() > 1000) {
        typed_.clear();
    }
    sinceLastKey_.start();
    // "$" starts a new amount, and so does a digit that no amount continues with.
    if (text.at(0) == QLatin1Char('$') || !someAmountStartsWith(typedAmount(typed_ + text))) {
        typed_.clear();
    }
    typed_ += text;
    const QString amount = typedAmount(typed_);
    for (int index = 0; index < box_.count() && !amount.isEmpty(); ++index) {
        const std::optional<std::string> value = amountAt_(index);
        if (value && QString::fromStdString(*value) == amount) {
            box_.setCurrentIndex(index);
            break;
        }
    }
    return true;
}
