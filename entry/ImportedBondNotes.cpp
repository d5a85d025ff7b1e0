#include "entry/ImportedBondNotes.h"

#include "entry/BondChoiceLists.h"

namespace {

// The lines of one paragraph, the first kMaxBondsNamedInImportNote of them, then how many more.
class NamedBonds {
  public:
    void add(const std::string& line) {
        if (++count_ <= kMaxBondsNamedInImportNote) {
            lines_ += "\n" + line;
        }
    }
    // The paragraph with its heading; empty without a bond.
    std::string paragraph(const std::string& heading) const {
        if (count_ == 0) {
            return {};
        }
        std::string text = heading + lines_;
        if (count_ > kMaxBondsNamedInImportNote) {
            text += "\n... and " + std::to_string(count_ - kMaxBondsNamedInImportNote) + " more.";
        }
        return text;
    }

  private:
    std::size_t count_ = 0;
    std::string lines_;
};

} // namespace

std::string importedBondsNote(const std::vector<Bond>& bonds, const ValueTable* table,
                              std::optional<YearMonth> month) {
    NamedBonds notIssuedYet;
    NamedBonds wrongDates;
    for (const Bond& bond : bonds) {
        const std::optional<YearMonth> issued = bond.issued();
        if (issued && month && *issued > *month) {
            notIssuedYet.add(bond.serial + " (" + issued->name() + ")");
            continue;
        }
        const std::string warning =
            issueDateWarning(bond.type, bond.issueMonth, bond.issueYear, table, bond.electronic);
        if (!warning.empty()) {
            wrongDates.add(bond.serial + ": " + warning);
        }
    }
    std::string note;
    if (month) {
        note = notIssuedYet.paragraph("These bonds are not issued yet in " + month->name() +
                                      " and count in no total until they are:");
    }
    const std::string wrong =
        wrongDates.paragraph("These bonds have an issue date on which their series was not "
                             "issued; they were kept, please check them:");
    if (!wrong.empty()) {
        note += (note.empty() ? "" : "\n\n") + wrong;
    }
    return note;
}
