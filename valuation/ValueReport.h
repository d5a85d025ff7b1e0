#pragma once

// The value report without any window: every bond of the open portfolio with its current value
// at the redemption date, then the totals of face value and current value, and the note about
// bonds the value table has no value for. The report window, the command line and any export
// read their rows from it.
//
// Rows: 0 the heading (each column's title), 1 blank, 2 to n + 1 one per bond in list order,
// n + 2 blank, n + 3 the totals. The bonds are the owner's current bond list and the date the
// owner's redemption date, both read afresh at every request.

#include "platform/PlistValue.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ReportColumn.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ValuationContext;

// A cell's text and, for a bond the value table marks as having no value, that bond's serial.
struct ReportCell {
    std::string text;
    std::optional<std::string> invalidSerial;
};

// The report's closing figures for the owner.
struct ReportSummary {
    double paid = 0.0;             // issue prices, where known
    double worth = 0.0;            // current values, bonds the table marks invalid left out
    double interest = 0.0;         // interest, where known
    double worthIfCashedNow = 0.0; // values of the bonds that can be cashed now
    int matured = 0;               // bonds that no longer earn interest
};

class ValueReport {
  public:
    // `bondTable` may be empty: every bond is then valued at 0.0.
    explicit ValueReport(PlistDictRef bondTable);

    // The owner of the database and the redemption date; not owned, must outlive the report.
    ValuationContext* context() const { return context_; }
    void setContext(ValuationContext* context) { context_ = context; }

    // The value table; nullptr when it could not be read.
    const PlistDict* bondTable() const { return bondTable_.get(); }

    int rowCount() const;
    // Whether a row is one of the two blank rows that set the bonds apart.
    bool isBlankRow(int row) const;
    bool isHeadingRow(int row) const { return row == 0; }
    bool isTotalsRow(int row) const { return row == rowCount() - 1; }

    // The cell of a column in a row; empty outside the rows.
    ReportCell cell(const ReportColumn& column, int row) const;

    int bondCount() const;
    double totalFaceValue() const;
    double totalCurrentValue() const;
    // The bond's value at the owner's redemption date.
    double valueForBond(const PlistValue& bond) const;

    // The owner's figures of a bond at the owner's redemption date.
    OwnerFigures ownerFiguresOfBond(const PlistValue& bond) const;
    ReportSummary summary() const;
    // The summary in plain sentences, one a line, for below the table and in exports.
    std::vector<std::string> summaryLines() const;

    // How many bonds the value table has no leaf for at the owner's redemption date (their
    // value cells show $0.00).
    int bondsWithoutValue() const;
    // Whether the table holds the owner's redemption date, for any series.
    bool tableHoldsRedemptionDate() const;
    // The line shown below the table when some bonds have no value in the table, naming how
    // many and the month, or that the table holds nothing for the month; empty when every bond
    // has a value.
    std::string missingValuesNote() const;

  private:
    const PlistArray* bonds() const;
    ReportCell bondCell(const ReportColumn& column, const PlistValue& bond) const;
    ReportCell valueCell(const PlistValue& bond) const;
    std::string totalsCellText(const ReportColumn& column) const;
    std::string ownerCellText(ReportCellRule rule, const PlistValue& bond) const;
    // The sum of one owner's figure over the bonds where it is known; nothing when bonds there
    // are but none has it.
    std::optional<double> ownerFigureTotal(std::optional<double> OwnerFigures::*figure) const;

    PlistDictRef bondTable_;
    ValuationContext* context_ = nullptr;
    // The records of the portfolio valued, as of a revision of the store.
    mutable PlistArrayRef records_;
    mutable const void* recordsStore_ = nullptr;
    mutable std::uint64_t recordsRevision_ = 0;
    mutable std::string recordsPortfolio_;
};
