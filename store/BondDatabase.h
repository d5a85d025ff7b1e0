#pragma once

// The one store of the user's bonds: every portfolio by name with its typed bonds. Every change to
// bonds or portfolios goes through it; each names the portfolio it works on and answers an
// outcome that the caller reports. The store announces each change, so that every window showing
// a portfolio can follow it. Which portfolio a window shows is the window's business, not the
// store's.

#include "store/Portfolio.h"
#include "store/PortfolioDetails.h"
#include "store/PortfolioFileReader.h"
#include "store/StoreOutcome.h"

#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class BondDatabase : public QObject {
    Q_OBJECT

  public:
    // An empty store that is not saved to any file.
    explicit BondDatabase(QObject* parent = nullptr);
    ~BondDatabase() override;

    // The store read from the portfolio file at `path`; `save` writes it back to the same file.
    // A missing file gives an empty store. A file that cannot be read as a portfolio file (not a
    // property list, a root that is not a dictionary, damaged, too large or too deeply nested)
    // is renamed aside, never overwritten: the store starts empty, saves to `path` as usual,
    // and `startupNotice` says where the old file is. Left alone (`unreadable`), such a file
    // stays where it is and the store never saves over it.
    static std::unique_ptr<BondDatabase> open(const std::filesystem::path& path,
                                              UnreadableFile unreadable = UnreadableFile::SetAside);
    // The store of a portfolio file's root dictionary already read; not saved to any file.
    // The dictionary's bond lists are taken.
    static std::unique_ptr<BondDatabase> fromPropertyList(PlistDict root);
    // The root dictionary of the portfolio file as it is to be written.
    PlistDictRef toPropertyList() const;
    // The portfolio file's text that `save` writes: the bytes of toPropertyList() as XML, made
    // straight from the portfolios. False, with the reason, when it cannot be written.
    bool fileText(std::string& out, std::string& error) const;

    // Title of the alert that shows `startupNotice`.
    static constexpr std::string_view kStartupNoticeTitle = "Invalid File";
    // What the user must be told once after start-up (in an alert titled kStartupNoticeTitle),
    // or nothing when the portfolio file was read normally.
    const std::optional<std::string>& startupNotice() const { return startupNotice_; }
    // Where the unreadable portfolio file was set aside, if it was.
    const std::optional<std::filesystem::path>& setAsidePath() const { return setAsidePath_; }
    // Why the portfolio file could not be read; empty when it was read or was missing.
    const std::string& unreadableReason() const { return unreadableReason_; }

    // Reading.
    // Every portfolio, in the file's order.
    const std::vector<Portfolio>& portfolios() const { return portfolios_; }
    std::vector<std::string> portfolioNames() const;
    bool hasPortfolio(std::string_view name) const;
    // The portfolio, valid until the next change of portfolios; nullptr when there is none.
    const Portfolio* portfolio(std::string_view name) const;
    // The first bond of the portfolio with this serial; nullptr when there is none.
    const Bond* bond(std::string_view portfolio, std::string_view serial) const;

    // Portfolios. A name must be storable text without control characters, and not taken.
    StoreOutcome createPortfolio(const std::string& name);
    StoreOutcome deletePortfolio(const std::string& name);
    // Puts back a portfolio deleted before, whole and at its former place in the file's order
    // (at the end for a place beyond it); refused when its name is taken meanwhile or is not
    // storable text.
    StoreOutcome restorePortfolio(Portfolio portfolio, std::size_t position);
    // `name` when no portfolio has it, else the first of "<name> (restored)", "<name> (restored
    // 2)", ... that none has: for putting back a portfolio whose name was taken meanwhile.
    std::string freeNameLike(const std::string& name) const;
    // A portfolio's place in the file's order.
    std::optional<std::size_t> positionOf(std::string_view name) const;
    // Keeps the owner's details with the portfolio: each that differs from what its record holds
    // is written (one that is none removed), the others stay exactly as read. A default owner must
    // be storable text without control characters; a record that is not a dictionary keeps none.
    StoreOutcome checkPortfolioDetails(std::string_view name,
                                       const PortfolioDetails& details) const;
    StoreOutcome setPortfolioDetails(const std::string& name, const PortfolioDetails& details);

    // Bonds. Each field must be storable text, and a field being entered (every field of a new
    // bond, a changed field of a bond) hold no control character; a new serial must not be in
    // the portfolio yet. A portfolio whose record in the file cannot hold bonds (see
    // Portfolio::recordUnfitForBonds) takes none, so that the record is never replaced.
    StoreOutcome checkTakesBonds(std::string_view portfolio) const;
    StoreOutcome checkNewBond(std::string_view portfolio, const Bond& bond) const;
    StoreOutcome addBond(const std::string& portfolio, Bond bond);
    // Replaces the first bond with `serial` by `bond`, in its place.
    StoreOutcome checkChangedBond(std::string_view portfolio, std::string_view serial,
                                  const Bond& bond) const;
    StoreOutcome changeBond(const std::string& portfolio, std::string_view serial, Bond bond);
    // Removes the first bond with `serial`.
    StoreOutcome removeBond(const std::string& portfolio, std::string_view serial);
    // Puts bonds at a position (at the end for a position beyond it), unchecked: for undoing a
    // removal and for a bulk import that keeps its own set of the serials present.
    StoreOutcome insertBonds(const std::string& portfolio, std::size_t position,
                             std::vector<Bond> bonds);
    StoreOutcome appendBonds(const std::string& portfolio, std::vector<Bond> bonds);
    // Removes the first bond with each of the serials, in one pass.
    StoreOutcome removeBonds(const std::string& portfolio, const std::vector<std::string>& serials);
    // A bond and the place it is to have in the portfolio's list.
    struct PlacedBond {
        std::size_t position = 0;
        Bond bond;
    };
    // Puts bonds at their places, given in ascending order (a place beyond the list puts the bond
    // at its end), unchecked and in one pass: for undoing a removal of bonds from anywhere in
    // the list, as removeBonds leaves it.
    StoreOutcome insertBondsAt(const std::string& portfolio, std::vector<PlacedBond> bonds);
    // Orders the bonds by issue year, then month (a month that is no month name ranks with
    // January, a year that is no number with 0); bonds of the same month keep their order.
    StoreOutcome sortBondsByDate(const std::string& portfolio);

    // Writes the portfolio file. A failed write leaves the store as it is, with its changes
    // still unsaved, so that a later save can succeed.
    SaveOutcome save();
    // Whether the store holds changes that the portfolio file lacks.
    bool hasUnsavedChanges() const { return unsaved_; }
    // The file that `save` writes; empty for a store of no file.
    const std::filesystem::path& filePath() const { return filePath_; }

  signals:
    // A portfolio was created, deleted or restored.
    void portfoliosChanged();
    // Bonds of the portfolio were added, changed, removed or reordered, or its details changed.
    void bondsChanged(const std::string& portfolio);

  private:
    Portfolio* find(std::string_view name);
    // A portfolio was created, deleted or restored: unsaved, announced.
    void portfoliosEdited();
    void changed(const std::string& portfolio);

    std::vector<Portfolio> portfolios_;
    std::filesystem::path filePath_;
    std::optional<std::string> startupNotice_;
    std::optional<std::filesystem::path> setAsidePath_;
    std::string unreadableReason_;
    // Set when an unreadable file could not be set aside: it is then never overwritten.
    bool writingBlocked_ = false;
    bool unsaved_ = false;
};
