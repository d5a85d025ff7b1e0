#pragma once

// One session on the user's data, the application's and the command line's alike: the data
// folder (held by its lock while the session may write), the store read from the portfolio file,
// the value table, which portfolio is open and the redemption month.
//
// Every view of a portfolio's figures (the main window's list and summary, a report window, the
// chart, the command line's report) reads the session's snapshot of that portfolio. A snapshot is
// computed when first asked for after a change and shared by every view that holds it; the
// session keeps none that no view holds. One signal, `changed`, names the portfolio whose figures
// changed and what changed, once per turn of the event loop however many changes came before.

#include "platform/DataFolderLock.h"
#include "platform/ResourceLocations.h"
#include "store/StoreOutcome.h"
#include "store/YearMonth.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"

#include <QObject>
#include <map>
#include <memory>
#include <optional>
#include <string>

class BondDatabase;

class Session : public QObject {
    Q_OBJECT

  public:
    enum class Access {
        // Reads; takes the data folder's lock only to set an unreadable portfolio file aside.
        Read,
        // Holds the data folder's lock for as long as the session lives, and saves.
        Write,
    };

    // What changed of a portfolio's figures, as flags.
    enum Change : unsigned {
        BondsChanged = 1u,     // its bonds were added, changed, removed or reordered
        MonthChanged = 2u,     // the redemption month
        ValuesChanged = 4u,    // the value table was read anew
        PortfolioChanged = 8u, // the portfolio was created, deleted or restored
    };

    struct Opening {
        bool opened = true;
        // Why the data folder was not opened: it cannot be written, or another program holds it.
        DataFolderLock::Refusal refusal;
        explicit operator bool() const { return opened; }
    };

    // A session with an empty store that saves to no file, until `open`.
    explicit Session(ResourceLocations resources, QObject* parent = nullptr);
    ~Session() override;

    // Reads the portfolio file of the user's data folder. To write, the folder's lock is taken
    // first (refused while another Orvelt or command holds it; nothing is read then) and the
    // file is seeded from the shipped copy when the folder has none. To read, the shipped copy is
    // read in its place and nothing is written, but for an unreadable file of the user's, which
    // is set aside as the application does (see BondDatabase::open) while no one else holds the
    // folder, and left alone while someone does. Starts over with no portfolio open.
    Opening open(Access access);
    // Whether the session may save: opened to write.
    bool writes() const { return access_ == Access::Write; }

    const ResourceLocations& resources() const { return resources_; }
    BondDatabase& store() { return *store_; }
    const BondDatabase& store() const { return *store_; }
    // Writes the portfolio file; refused for a session opened to read.
    SaveOutcome save();

    // The open portfolio; none when none is open. A name the store lacks opens none.
    const std::optional<std::string>& openPortfolio() const { return openPortfolio_; }
    void setOpenPortfolio(std::optional<std::string> name);

    // The month bonds are valued at; none when the clock's date did not read as one.
    const std::optional<YearMonth>& redemptionMonth() const { return month_; }
    void setRedemptionMonth(std::optional<YearMonth> month);
    // Starts at the month the rule of startingRedemptionMonth gives for the value table in effect
    // (read again when its file changed): the
    // month the user chose last (`remembered`) while the table holds it, else `today`, else the
    // latest the table holds. None stays none.
    std::optional<StartingMonth> startRedemptionMonth(std::optional<YearMonth> today,
                                                      std::optional<YearMonth> remembered);
    // The clock's month the session started at; none before it started.
    const std::optional<YearMonth>& today() const { return today_; }

    // The value table in effect, read when first needed; empty when there is none. Its problem,
    // when a table file is there but cannot be used, names the file, the reason and what to do.
    const ValueTableRef& valueTable();
    const std::string& valueTableProblem();
    // Reads the value table in effect again: when its file changed (Update Values, or a copy
    // put back), every view of values follows.
    void reloadValueTable();

    // The report of `portfolio` at the redemption month with the value table; a portfolio the
    // store lacks has no bonds. Computed when first asked for after a change; the same snapshot
    // while nothing changes and a view holds it.
    std::shared_ptr<const ReportSnapshot> snapshot(const std::string& portfolio);
    // How many snapshots have been computed.
    long snapshotComputations() const { return snapshotComputations_; }

  signals:
    // What a view shows of `portfolio` changed (`what`: Change flags). Sent from the event loop
    // for the portfolios whose bonds changed and, at a change of month or values, for those a
    // view holds a snapshot of.
    void changed(const std::string& portfolio, unsigned what);
    // The open portfolio changed: opened, created and opened, or closed.
    void openPortfolioChanged();
    // A portfolio was created, deleted or restored.
    void portfoliosChanged();
    void redemptionMonthChanged();

  private:
    void connectStore();
    // Marks the snapshots of `portfolio` (every held one for none) outdated and announces it.
    void outdate(const std::optional<std::string>& portfolio, unsigned what);
    void announce(const std::string& portfolio, unsigned what);
    void sendAnnouncements();
    void readValueTable();

    struct HeldSnapshot {
        std::weak_ptr<const ReportSnapshot> snapshot;
        bool outdated = false;
        // Whether the portfolio existed when it was computed.
        bool portfolioExisted = false;
    };

    ResourceLocations resources_;
    Access access_ = Access::Read;
    std::optional<DataFolderLock> lock_;
    std::unique_ptr<BondDatabase> store_;
    std::optional<std::string> openPortfolio_;
    std::optional<YearMonth> month_;
    std::optional<YearMonth> today_;
    ValueTableRef table_;
    std::string tableProblem_;
    bool tableRead_ = false;
    std::map<std::string, HeldSnapshot> snapshots_;
    std::map<std::string, unsigned> pendingAnnouncements_;
    bool announcementScheduled_ = false;
    long snapshotComputations_ = 0;
};
