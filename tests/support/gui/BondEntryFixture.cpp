#include "support/gui/BondEntryFixture.h"

#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>
#include <ostream>

namespace {

EntryBond bondOf(const PlistValue& value) {
    const PlistDict* bond = value.dictPtr();
    if (bond == nullptr) {
        return {};
    }
    return {bond->text(kSerialKey), bond->text(kTypeKey), bond->text(kFaceValueKey),
            bond->text(kIssueYearKey), bond->text(kIssueMonthKey)};
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QPoint rowCentre(BondEditingWindow& window, int row) {
    QTableView* table = window.bondTable();
    table->doItemsLayout();
    return table->visualRect(table->model()->index(row, 0)).center();
}

} // namespace

void PrintTo(const EntryBond& bond, std::ostream* out) {
    *out << "{" << bond.serial << ", " << bond.type << ", " << bond.faceValue << ", "
         << bond.issueYear << ", " << bond.issueMonth << "}";
}

BondEntryFixture::BondEntryFixture() : dataDir(temp / "data") {}

BondEntryFixture::~BondEntryFixture() = default;

void BondEntryFixture::startApplication(std::filesystem::path shippedDir) {
    if (shippedDir.empty()) {
        shippedDir = std::filesystem::path(ORVELT_SOURCE_DIR) / "resources";
    }
    shippedInUse = shippedDir;
    session = std::make_unique<Session>(ResourceLocations(shippedDir, dataDir));
    ASSERT_TRUE(session->open(Session::Access::Write));
    mainView = std::make_unique<MainMenuView>(services, *session);
    mainView->start();
    BondDatabase* store = mainView->controller().bondDatabase();
    ASSERT_NE(store, nullptr);
    if (!store->hasPortfolio(kPortfolio)) {
        ASSERT_TRUE(store->createPortfolio(kPortfolio));
    }
    mainView->controller().setOpenPortfolio(kPortfolio);
}

void BondEntryFixture::restartApplication() {
    mainView.reset();
    session.reset();
    startApplication(shippedInUse);
}

BondEditingWindow* BondEntryFixture::openWindow() {
    auto* window = new BondEditingWindow(mainView->controller());
    window->showInFront();
    return window;
}

BondDatabase& BondEntryFixture::database() const {
    return *mainView->controller().bondDatabase();
}

void BondEntryFixture::addBond(const EntryBond& bond) {
    ASSERT_TRUE(database().addBond(
        kPortfolio, Bond(bond.serial, bond.type, bond.faceValue, bond.issueYear, bond.issueMonth)));
}

std::vector<EntryBond> BondEntryFixture::bondsInMemory() const {
    std::vector<EntryBond> bonds;
    if (const Portfolio* portfolio = database().portfolio(kPortfolio)) {
        for (const Bond& bond : portfolio->bonds) {
            bonds.push_back(
                {bond.serial, bond.type, bond.faceValue, bond.issueYear, bond.issueMonth});
        }
    }
    return bonds;
}

std::vector<EntryBond> BondEntryFixture::bondsOnDisk() const {
    std::vector<EntryBond> bonds;
    const PlistValue root = readPropertyList(portfolioFile());
    const PlistValue* list = plistFind(root.dictPtr(), {kPortfolio, kPortfolioBondsKey});
    if (list != nullptr && list->arrayPtr() != nullptr) {
        for (const PlistValue& value : *list->arrayPtr()) {
            bonds.push_back(bondOf(value));
        }
    }
    return bonds;
}

bool BondEntryFixture::portfolioOnDisk() const {
    return plistFind(readPropertyList(portfolioFile()).dictPtr(), {kPortfolio}) != nullptr;
}

std::filesystem::path BondEntryFixture::portfolioFile() const {
    return dataDir / "portfolios.plist";
}

std::filesystem::path BondEntryFixture::presetFile() const {
    return dataDir / "preset.plist";
}

std::vector<std::vector<std::string>> BondEntryFixture::tableRows(BondEditingWindow& window) {
    const QAbstractItemModel* model = window.bondTable()->model();
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            cells.push_back(model->index(row, column).data().toString().toStdString());
        }
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> BondEntryFixture::boxEntries(const QComboBox* box) {
    std::vector<std::string> entries;
    for (int i = 0; i < box->count(); ++i) {
        entries.push_back(box->itemText(i).toStdString());
    }
    return entries;
}

std::string BondEntryFixture::boxText(const QComboBox* box) {
    return box->currentText().toStdString();
}

void BondEntryFixture::clickRow(BondEditingWindow& window, int row) {
    QWidget* viewport = window.bondTable()->viewport();
    const QPoint at = rowCentre(window, row);
    sendMouse(viewport, QEvent::MouseButtonPress, at);
    sendMouse(viewport, QEvent::MouseButtonRelease, at);
}

void BondEntryFixture::doubleClickRow(BondEditingWindow& window, int row) {
    QWidget* viewport = window.bondTable()->viewport();
    const QPoint at = rowCentre(window, row);
    sendMouse(viewport, QEvent::MouseButtonPress, at);
    sendMouse(viewport, QEvent::MouseButtonRelease, at);
    sendMouse(viewport, QEvent::MouseButtonDblClick, at);
    sendMouse(viewport, QEvent::MouseButtonRelease, at);
}

void BondEntryFixture::chooseText(QComboBox* box, const std::string& text) {
    const int index = box->findText(QString::fromStdString(text));
    ASSERT_GE(index, 0) << "no entry " << text;
    box->setCurrentIndex(index);
}

void BondEntryFixture::enter(BondEditingWindow& window, const std::string& serial,
                             const std::string& type, const std::string& faceValueShown,
                             const std::string& issueMonth, const std::string& issueYear) {
    window.serialField()->setText(QString::fromStdString(serial));
    chooseText(window.typeField(), type);
    chooseText(window.faceValueField(), faceValueShown);
    chooseText(window.issueMonthField(), issueMonth);
    chooseText(window.issueYearField(), issueYear);
}
