#pragma once

// How the tax and estate commands print a table of bonds with its notes: aligned text with the
// title and the notes, CSV (the table alone, as the report does), or JSON for scripts.

#include "cli/Commands.h"
#include "valuation/TableText.h"

#include <QJsonObject>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct HoldingOutput {
    std::string title;
    // The heading, a row per bond, the totals.
    std::vector<TextRow> table;
    std::vector<std::string> notes;
    std::function<bool(std::size_t)> isAmountColumn;
    // What JSON adds before the rows: the portfolio, the year or month, the method.
    QJsonObject jsonFields;
    // What JSON calls the rows between the heading and the totals.
    QString jsonRowsKey = QStringLiteral("bonds");
};

void printHoldingOutput(const HoldingOutput& output, OutputFormat format, std::ostream& out);
