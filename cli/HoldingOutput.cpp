#include "cli/HoldingOutput.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

// Every bond by its columns' titles, the totals without their empty cells, and the notes.
std::string holdingJson(const HoldingOutput& output) {
    const TextRow& titles = output.table.front();
    auto object = [&titles](const TextRow& cells, bool skipBlank) {
        QJsonObject fields;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            if (!skipBlank || !cells[i].empty()) {
                fields.insert(qText(titles[i]), qText(cells[i]));
            }
        }
        return fields;
    };
    QJsonObject root = output.jsonFields;
    QJsonArray bonds;
    for (std::size_t i = 1; i + 1 < output.table.size(); ++i) {
        bonds.append(object(output.table[i], false));
    }
    root.insert(output.jsonRowsKey, bonds);
    QJsonObject totals = object(output.table.back(), true);
    totals.remove(qText(titles.front()));
    root.insert("totals", totals);
    QJsonArray notes;
    for (const std::string& line : output.notes) {
        notes.append(qText(line));
    }
    root.insert("notes", notes);
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace

void printHoldingOutput(const HoldingOutput& output, OutputFormat format, std::ostream& out) {
    if (format == OutputFormat::Json) {
        out << holdingJson(output);
        return;
    }
    if (format == OutputFormat::Csv) {
        out << csvText(output.table);
        return;
    }
    std::vector<Alignment> alignments;
    for (std::size_t column = 0; column < output.table.front().size(); ++column) {
        alignments.push_back(output.isAmountColumn(column) ? Alignment::Right : Alignment::Left);
    }
    // A blank line before the totals, as the report sets them apart.
    std::vector<TextRow> rows = output.table;
    rows.insert(rows.end() - 1, TextRow{});
    out << output.title << "\n\n" << alignedText(rows, alignments) << '\n';
    for (const std::string& line : output.notes) {
        out << line << '\n';
    }
}
