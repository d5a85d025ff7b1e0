#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "valuation/AllPortfolios.h"
#include "valuation/Session.h"
#include "valuation/TableText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string allJson(const AllPortfolios& all, const std::string& month) {
    auto object = [](const std::vector<std::string>& cells) {
        QJsonObject fields;
        for (std::size_t i = 0; i < kAllPortfoliosTitles.size(); ++i) {
            fields.insert(qText(kAllPortfoliosTitles[i]), qText(cells[i]));
        }
        return fields;
    };
    const std::vector<TextRow> rows = all.rows();
    QJsonArray portfolios;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        portfolios.append(object(rows[i]));
    }
    QJsonArray summary;
    for (const std::string& line : all.summaryLines()) {
        summary.append(qText(line));
    }
    QJsonObject root;
    root.insert("redemptionMonth", qText(month));
    root.insert("portfolios", portfolios);
    root.insert("total", object(rows.back()));
    root.insert("summary", summary);
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace

int runAllPortfoliosReport(const CliArguments& arguments, Session& session, const YearMonth& month,
                           CommandIo& io) {
    const AllPortfolios all = allPortfolios(session);
    const OutputFormat format = outputFormat(arguments, true);
    if (format == OutputFormat::Json) {
        io.out << allJson(all, month.keyText());
    } else if (format == OutputFormat::Csv) {
        io.out << csvText(all.table());
    } else {
        std::vector<Alignment> alignments(kAllPortfoliosTitles.size(), Alignment::Right);
        alignments.front() = Alignment::Left;
        io.out << "All portfolios, values for " << all.monthName << "\n\n"
               << alignedText(all.table(), alignments);
        for (const std::string& line : all.summaryLines()) {
            io.out << '\n' << line << '\n';
        }
    }
    return kExitSuccess;
}
