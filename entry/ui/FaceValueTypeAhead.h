#pragma once

// Typing a face value into its choice box: "$100" or "100" picks $100 and nothing else, where the
// box's own search would take "$1" as the start of "$1000" or give up on digits without the "$".
// A pause of a second starts a new amount.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QComboBox;

class FaceValueTypeAhead : public QObject {
    Q_OBJECT

  public:
    // The amount (digits without "$") an entry of the box holds, by index.
    using AmountAt = std::function<std::optional<std::string>(int index)>;

    // Watches the box's keys for as long as the box lives.
    FaceValueTypeAhead(QComboBox& box, AmountAt amountAt);

    // Takes typed text; true when it was an amount's key, which then selects the entry with the
    // amount typed so far.
    bool type(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool someAmountStartsWith(const QString& digits) const;

    QComboBox& box_;
    AmountAt amountAt_;
    QString typed_;
    QElapsedTimer sinceLastKey_;
};
