#pragma once

// The main window's content: the "what to do" lines, the month the values are for, a filter box,
// the open portfolio's bonds in a sortable list, and the summary below it. It shows a snapshot it
// is given and says which bonds the user acts on; what the commands do is the view's.

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct YearMonth;
class BondListFilter;
class BondListModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;
struct ReportSnapshot;

class BondListPanel : public QWidget {
    Q_OBJECT

  public:
    explicit BondListPanel(QWidget* parent = nullptr);

    // Shows the open portfolio's snapshot and its summary; none open: only `summary`, which then
    // says what to do. `today` is the clock's month, named when it is past the month shown.
    void showSnapshot(std::shared_ptr<const ReportSnapshot> snapshot, bool portfolioOpen,
                      const QString& summary, const std::optional<YearMonth>& today);
    // The sentences that say what to do about the bonds, above the list; none hides them.
    void setActionLines(const std::vector<std::string>& lines);

    // The serials of the selected bonds, in the order shown.
    std::vector<std::string> selectedSerials() const;
    // The serial of the list's current bond; empty when there is none.
    std::string currentSerial() const;

    QTableView* tableView() const { return table_; }
    QLineEdit* filterField() const { return filter_; }
    // Whether the bonds cashed by the month shown are listed.
    QCheckBox* showCashedBox() const { return showCashed_; }
    QLabel* summaryLabel() const { return summary_; }
    QLabel* monthLabel() const { return month_; }
    QLabel* actionLinesLabel() const { return actionLines_; }
    BondListFilter* rows() const { return rows_; }

    // The width that shows every column at its usual width, the Status note whole.
    int widthForColumns() const;

    // The list's column widths, order and sort column, as kept between runs.
    QByteArray saveLayout() const;
    void restoreLayout(const QByteArray& state);

  signals:
    // Return or a double-click on a bond's row.
    void bondActivated(const std::string& serial);
    // Delete in the list.
    void deleteRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Each column as wide as its widest usual text; once, unless a kept layout was restored.
    void fitColumns();
    void setUpOptionalColumns();
    int fittedColumnWidth(int section) const;

    bool layoutSet_ = false;
    QLabel* actionLines_ = nullptr;
    QLabel* month_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QCheckBox* showCashed_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* summary_ = nullptr;
    BondListModel* model_ = nullptr;
    BondListFilter* rows_ = nullptr;
};
