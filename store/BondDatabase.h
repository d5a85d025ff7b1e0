#pragma once

// The one store of the user's bonds: every portfolio by name, the open portfolio, and its bond
// list, which all windows share. Every change to bonds or portfolios goes through it.

#include "platform/PlistValue.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ToolkitServices;

// Position answered for a serial that no bond of the open portfolio has.
inline constexpr std::int32_t kNoBondIndex = 1234567890;

class BondDatabase {
  public:
    // An empty database with no portfolio open.
    explicit BondDatabase(ToolkitServices& services);

    // The database read from the portfolio file at `path`; no portfolio open. `save` writes it
    // back to the same file. A missing file gives an empty database. A file that cannot be read
    // as a portfolio file (not a property list, a root that is not a dictionary, damaged,
    // too large or too deeply nested) is renamed aside, never overwritten: the store starts
    // empty, saves to `path` as usual, and `startupNotice` says where the old file is.
    static std::unique_ptr<BondDatabase> initWithFile(const std::filesystem::path& path,
                                                      ToolkitServices& services);

    // Title of the alert that shows `startupNotice`.
    static constexpr std::string_view kStartupNoticeTitle = "Invalid File";
    // What the user must be told once after start-up (through ToolkitServices::showErrorAlert
    // with kStartupNoticeTitle), or nothing when the portfolio file was read normally.
    const std::optional<std::string>& startupNotice() const { return startupNotice_; }
    // Where the unreadable portfolio file was set aside, if it was.
    const std::optional<std::filesystem::path>& setAsidePath() const { return setAsidePath_; }

    PlistDictRef portfolios() const { return portfolios_; }
    void setPortfolios(PlistDictRef portfolios) { portfolios_ = std::move(portfolios); }
    const std::optional<std::string>& currentPortfolio() const { return currentPortfolio_; }
    void setCurrentPortfolio(std::optional<std::string> name) {
        currentPortfolio_ = std::move(name);
    }
    // The open portfolio's own list, not a copy: a change through it changes the portfolio.
    PlistArrayRef currentBondList() const { return currentBondList_; }
    void setCurrentBondList(PlistArrayRef list) { currentBondList_ = std::move(list); }

    int getIntValueOfMonth(const std::string& month) const;
    void sortBondsByDate();
    void save();
    std::vector<std::string> getPortfolioNames() const;
    void setBond(PlistDictRef bond, const std::string& serial);
    std::int32_t getBondIndexWithSerial(const std::string& serial) const;
    PlistDictRef getBondWithSerial(const std::string& serial) const;
    void saveCurrentPortfolio();
    void deleteBondWithSerial(const std::string& serial);
    void updateIssueMonth(const std::string& month, const std::string& serial);
    void updateIssueYear(const std::string& year, const std::string& serial);
    void updateType(const std::string& type, const std::string& serial);
    void updateFaceValue(const std::string& faceValue, const std::string& serial);
    bool updateBondSerial(const std::string& newSerial, const std::string& oldSerial);
    bool bondExistsWithSerial(const std::string& serial) const;
    bool addBondWithSerialWhileImporting(const std::string& serial, const std::string& faceValue,
                                         const std::string& type, const std::string& issueYear,
                                         const std::string& issueMonth);
    bool addBondWithSerial(const std::string& serial, const std::string& faceValue,
                           const std::string& type, const std::string& issueYear,
                           const std::string& issueMonth);
    // Appends a bond without looking for its serial: for a bulk import that keeps its own set
    // of the serials present. NO, with nothing changed, when no portfolio is open.
    bool appendImportedBond(const std::string& serial, const std::string& faceValue,
                            const std::string& type, const std::string& issueYear,
                            const std::string& issueMonth);
    const std::optional<std::string>& getCurrentPortfolio() const { return currentPortfolio_; }
    void setNewCurrentPortfolio(const std::string& name);
    bool portfolioExistsWithName(const std::string& name) const;
    void deletePortfolioWithName(const std::string& name);
    bool addPortfolioWithName(const std::string& name);

    // A portfolio's own bond list, whether or not it is the open one; none when there is no
    // such portfolio.
    PlistArrayRef bondListOfPortfolio(const std::string& name) const;
    // Copies of a portfolio's bonds that later changes do not reach, for undoing a change; none
    // when there is no such portfolio.
    std::optional<PlistArray> copyBondsOfPortfolio(const std::string& name) const;
    // Makes a portfolio's bonds copies of `bonds`, in its own list (which every window shares);
    // NO, with nothing changed, when there is no such portfolio.
    bool restoreBondsOfPortfolio(const std::string& name, const PlistArray& bonds);

    // The file that `save` writes; empty for a database made with the plain constructor.
    const std::filesystem::path& filePath() const { return filePath_; }
    ToolkitServices& services() const { return services_; }

  private:
    bool addBond(const std::string& serial, const std::string& faceValue, const std::string& type,
                 const std::string& issueYear, const std::string& issueMonth,
                 bool alertOnDuplicate);
    void updateField(std::string_view key, const std::string& value, const std::string& serial);

    ToolkitServices& services_;
    PlistDictRef portfolios_;
    std::optional<std::string> currentPortfolio_;
    PlistArrayRef currentBondList_;
    std::filesystem::path filePath_;
    std::optional<std::string> startupNotice_;
    std::optional<std::filesystem::path> setAsidePath_;
    // Set when an unreadable file could not be set aside: it is then never overwritten.
    bool writingBlocked_ = false;
};

// The date order of bonds. Each answers -1 when a comes before b, 1 when after, 0 when they rank
// the same; `context` is not used.
int monthSort(const PlistValue& a, const PlistValue& b, void* context);
int yearSort(const PlistValue& a, const PlistValue& b, void* context);
