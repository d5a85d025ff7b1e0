#include "valuation/ReportableSchedule.h"

#include "valuation/HoldingFigures.h"
#include "valuation/TaxYear.h"

#include <algorithm>

namespace {

void addYearToTotal(ReportTotal& total, const ReportTotal& year) {
    total.known += year.known;
    total.knownCount += year.knownCount;
    total.leftOut += year.leftOut;
    total.projected = total.projected || year.projected;
}

} // namespace

ReportableSchedule computeReportableSchedule(const std::vector<Bond>& bonds,
                                             std::string portfolioName, const ValueTable* table,
                                             int fromYear, TaxMethod method) {
    ReportableSchedule schedule;
    schedule.portfolioName = std::move(portfolioName);
    schedule.method = method;
    schedule.fromYear = fromYear;
    schedule.lastTableMonth = lastTableMonth(table);
    // The bonds held that still have interest to report: those past final maturity before the
    // first year had all of it reportable then.
    std::vector<Bond> held;
    int lastYear = fromYear - 1;
    for (const Bond& bond : bonds) {
        if (!bond.cashed().empty()) {
            continue;
        }
        const std::optional<YearMonth> maturity = finalMaturityOfBond(bond);
        if (!maturity) {
            ++schedule.unscheduled;
            continue;
        }
        if (maturity->year >= fromYear) {
            held.push_back(bond);
            lastYear = std::max(lastYear, maturity->year);
        }
    }
    schedule.total.leftOut = schedule.unscheduled;
    for (int year = fromYear; year <= lastYear; ++year) {
        const TaxYearReport report =
            computeTaxYear(held, schedule.portfolioName, table, year, method, std::nullopt);
        // Under the cash method a year's sum is that of the bonds reaching final maturity in it
        // (the others report nothing then), so that one whose value is not known is not hidden
        // behind their zeros.
        ScheduleYear row{year, 0, method == TaxMethod::Accrual ? report.reportable : ReportTotal{}};
        for (const TaxYearRow& bond : report.rows) {
            if (bond.maturedInYear) {
                ++row.maturing;
                if (method == TaxMethod::Cash) {
                    addToTotal(row.reportable, bond.reportable, bond.reportableProjected);
                }
            }
        }
        if (method == TaxMethod::Cash && row.maturing == 0) {
            continue;
        }
        addYearToTotal(schedule.total, row.reportable);
        schedule.years.push_back(row);
    }
    return schedule;
}

std::vector<TextRow> ReportableSchedule::table() const {
    std::vector<TextRow> rows;
    rows.push_back({"Year", "Bonds Reaching Final Maturity", "Interest Reportable"});
    int maturing = 0;
    for (const ScheduleYear& year : years) {
        rows.push_back({std::to_string(year.year), std::to_string(year.maturing),
                        holdingTotalText(year.reportable)});
        maturing += year.maturing;
    }
    rows.push_back({"Total:", std::to_string(maturing), holdingTotalText(total)});
    return rows;
}

std::vector<std::string> ReportableSchedule::noteLines() const {
    std::vector<std::string> lines;
    if (projected() && lastTableMonth) {
        lines.push_back(projectionCaptionAfter(*lastTableMonth) + ".");
    }
    const std::string from = std::to_string(fromYear);
    lines.push_back(
        method == TaxMethod::Cash
            ? "If every bond held is kept to final maturity, its interest (value then less price) "
              "becomes reportable for the year it reaches final maturity (cash method, IRS "
              "Publication 550, method 1); a bond cashed earlier makes its interest reportable "
              "for the year it is cashed instead. From " +
                  from + " on."
            : "Each year's increase in the redemption value of every bond held, until each "
              "reaches final maturity (accrual method, IRS Publication 550, method 2). From " +
                  from + " on.");
    if (unscheduled > 0) {
        lines.push_back(std::string(kIncompleteTotalMark) + " The total leaves out " +
                        std::to_string(unscheduled) +
                        (unscheduled == 1 ? " bond whose final maturity is"
                                          : " bonds whose final maturity is") +
                        " not known.");
    }
    if (total.leftOut > unscheduled) {
        lines.push_back(std::string(kIncompleteTotalMark) +
                        " A sum marked so leaves out the bonds whose figure for the year is not "
                        "known.");
    }
    lines.push_back("This schedule is information, not advice: Orvelt does not give tax advice.");
    return lines;
}
