#include "support/gui/AppHarness.h"

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <stdexcept>

AppHarness::AppHarness(std::initializer_list<TestPortfolio> portfolios, std::string dateText)
    : AppHarness(std::vector<TestPortfolio>(portfolios), std::move(dateText)) {}

AppHarness::AppHarness(const std::vector<TestPortfolio>& portfolios, std::string dateText)
    : userDir_(dir_.path() / "data") {
    std::filesystem::create_directories(userDir_);
    if (!writePropertyList(portfolioFile(), PlistValue(portfolioFileContents(portfolios)))) {
        throw std::runtime_error("cannot write the test portfolio file");
    }
    session_ = std::make_unique<Session>(
        ResourceLocations(std::filesystem::path(ORVELT_BINARY_DIR) / "resources", userDir_));
    if (!session_->open(Session::Access::Write)) {
        throw std::runtime_error("cannot take the test data folder's lock");
    }
    window_ = std::make_unique<MainWindow>(services, *session_);
    // The clock's month: the date's year and month ("2009-06-15 ..." is June 2009).
    const std::optional<YearMonth> month = YearMonth::fromKeyText(dateText.substr(0, 7));
    if (!month) {
        throw std::runtime_error("the test's date does not begin with a month: " + dateText);
    }
    view().controller().setCurrentMonth([month = *month] { return month; });
    view().start();
    window_->show();
}

AppHarness::~AppHarness() {
    window_.reset();
    settle();
    session_.reset();
}

BondDatabase& AppHarness::database() {
    return session_->store();
}

std::vector<std::string> AppHarness::portfolioNamesOnDisk() const {
    const PlistValue root = readPropertyList(portfolioFile());
    const PlistDictRef dict = root.dict();
    return dict ? dict->keys() : std::vector<std::string>();
}

void AppHarness::useValueTable(const PlistDictRef& table) const {
    if (!writePropertyList(userDir_ / "BondTable.plist", PlistValue(table))) {
        throw std::runtime_error("cannot write the test value table");
    }
}

void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void pressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

AppHarness::QuitOutcome AppHarness::quitFromEventLoop() {
    QuitOutcome outcome;
    QTimer::singleShot(0, window_.get(), [&] { outcome.closed = window_->close(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    outcome.status = QCoreApplication::exec();
    watchdog.stop();
    return outcome;
}
