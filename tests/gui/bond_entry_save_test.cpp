// Saving an entry in the bond editing window, in entry and in editing mode, and the entry preset.

#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "support/gui/BondEntryFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUndoStack>
#include <tuple>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Bonds = std::vector<EntryBond>;

class BondEntrySaveTest : public BondEntryFixture {
  protected:
    void SetUp() override { startApplication(); }

    void expectFieldsShowShippedPreset(BondEditingWindow& window) {
        EXPECT_EQ(window.serialField()->text(), "");
        EXPECT_EQ(boxText(window.typeField()), "EE");
        EXPECT_EQ(boxText(window.faceValueField()), "$100");
        EXPECT_EQ(boxText(window.issueYearField()), "1980");
        EXPECT_EQ(boxText(window.issueMonthField()), "January");
    }
};

TEST_F(BondEntrySaveTest, EmptySerialIsRefusedAndTheFieldsKept) {
    addBond({"B", "EE", "100", "1995", "March"});
    addBond({"A", "EE", "100", "1990", "June"});
    BondEditingWindow* window = openWindow();
    enter(*window, "", "I", "$200", "July", "2004");
    window->saveEntry();
    ASSERT_EQ(services.informationAlerts.size(), 1u);
    EXPECT_EQ(services.informationAlerts[0].title, "No Serial Entered");
    EXPECT_EQ(services.informationAlerts[0].message, "Please enter a serial.");
    EXPECT_EQ(bondsInMemory().size(), 2u);
    EXPECT_FALSE(portfolioOnDisk());
    EXPECT_EQ(boxText(window->typeField()), "I");
    EXPECT_EQ(boxText(window->faceValueField()), "$200");
    EXPECT_EQ(boxText(window->issueYearField()), "2004");
    // Even a refused save ends with the date sort.
    EXPECT_EQ(bondsInMemory()[0].serial, "A");
    EXPECT_EQ(tableRows(*window)[0][0], "A");
}

TEST_F(BondEntrySaveTest, NewSerialIsAddedWrittenAndShownInDateOrder) {
    addBond({"OLD", "E", "25", "2000", "May"});
    addBond({"OLDER", "E", "25", "1950", "May"});
    BondEditingWindow* window = openWindow();
    enter(*window, "NEW-1", "EE", "$500", "February", "1995");
    window->saveEntry();
    EXPECT_TRUE(services.alerts.empty());
    const EntryBond added{"NEW-1", "EE", "500", "1995", "February"};
    // The file is written before the sort: the new bond stands at the end there.
    EXPECT_EQ(
        bondsOnDisk(),
        (Bonds{{"OLD", "E", "25", "2000", "May"}, {"OLDER", "E", "25", "1950", "May"}, added}));
    EXPECT_EQ(tableRows(*window), (Rows{{"OLDER", "E", "$25", "May", "1950"},
                                        {"NEW-1", "EE", "$500", "February", "1995"},
                                        {"OLD", "E", "$25", "May", "2000"}}));
    expectFieldsShowShippedPreset(*window);
    EXPECT_FALSE(window->editing());
}

TEST_F(BondEntrySaveTest, SerialInUseShowsTheStoresMessageAndKeepsTheEntry) {
    addBond({"DUP", "E", "25", "1960", "May"});
    BondEditingWindow* window = openWindow();
    enter(*window, "DUP", "I", "$50", "June", "2002");
    window->saveEntry();
    EXPECT_EQ(mainView->controller().undoStack()->count(), 0) << "nothing to undo";
    ASSERT_EQ(services.informationAlerts.size(), 1u) << "a slip to correct, not an error";
    EXPECT_EQ(services.informationAlerts[0].title, "Serial Already in Use");
    EXPECT_EQ(services.informationAlerts[0].message,
              "Serial already exists. Please enter a different serial.");
    EXPECT_EQ(bondsInMemory(), (Bonds{{"DUP", "E", "25", "1960", "May"}}));
    EXPECT_EQ(bondsOnDisk(), bondsInMemory());
    EXPECT_EQ(window->serialField()->selectedText(), "DUP");
    EXPECT_EQ(boxText(window->typeField()), "I");
    EXPECT_EQ(boxText(window->faceValueField()), "$50");
    EXPECT_EQ(boxText(window->issueMonthField()), "June");
    EXPECT_EQ(boxText(window->issueYearField()), "2002");
    EXPECT_FALSE(window->editing());
}

TEST_F(BondEntrySaveTest, SerialsDifferingInCaseOrSpaceAreNewBonds) {
    addBond({"ab1", "E", "25", "1960", "May"});
    BondEditingWindow* window = openWindow();
    enter(*window, "AB1", "E", "$25", "May", "1960");
    window->saveEntry();
    enter(*window, " ab1", "E", "$25", "May", "1960");
    window->saveEntry();
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_EQ(bondsInMemory().size(), 3u);
}

TEST_F(BondEntrySaveTest, EditingWithoutRenamingChangesTheBondAndWritesIt) {
    addBond({"A", "E", "25", "1960", "May"});
    addBond({"B", "EE", "100", "1990", "June"});
    database().save();
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    enter(*window, "A", "I", "$1000", "November", "2008");
    window->saveEntry();
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_FALSE(window->editing());
    expectFieldsShowShippedPreset(*window);
    // Re-sorted: the changed bond is now the later one.
    EXPECT_EQ(bondsInMemory(),
              (Bonds{{"B", "EE", "100", "1990", "June"}, {"A", "I", "1000", "2008", "November"}}));
    // Written when saved, before the date order, as an added bond is.
    EXPECT_EQ(bondsOnDisk(),
              (Bonds{{"A", "I", "1000", "2008", "November"}, {"B", "EE", "100", "1990", "June"}}));
    window->close();
    EXPECT_EQ(bondsOnDisk(), bondsInMemory());
}

TEST_F(BondEntrySaveTest, RenamingToAFreshSerialKeepsTheSameBond) {
    addBond({"A", "E", "25", "1960", "May"});
    addBond({"B", "EE", "100", "1990", "June"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    window->serialField()->setText("A-renamed");
    chooseText(window->faceValueField(), "$75");
    window->saveEntry();
    EXPECT_EQ(bondsInMemory(),
              (Bonds{{"A-renamed", "E", "75", "1960", "May"}, {"B", "EE", "100", "1990", "June"}}));
    doubleClickRow(*window, 0);
    EXPECT_EQ(window->serialField()->text(), "A-renamed");
    EXPECT_EQ(window->editingSerial(), "A-renamed");
}

TEST_F(BondEntrySaveTest, RenamingToAnotherBondsSerialIsRefusedAndEditingGoesOn) {
    addBond({"A", "E", "25", "1960", "May"});
    addBond({"B", "EE", "100", "1990", "June"});
    const Bonds before = bondsInMemory();
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    enter(*window, "B", "S", "$500", "April", "1968");
    window->saveEntry();
    EXPECT_EQ(mainView->controller().undoStack()->count(), 0) << "nothing to undo";
    ASSERT_EQ(services.informationAlerts.size(), 1u) << "a slip to correct, not an error";
    EXPECT_EQ(services.informationAlerts[0].title, "Serial Already in Use");
    EXPECT_EQ(services.informationAlerts[0].message,
              "Serial already exists. Please enter a different serial.");
    EXPECT_EQ(bondsInMemory(), before);
    EXPECT_TRUE(window->editing());
    EXPECT_EQ(window->editingSerial(), "A");
    EXPECT_EQ(window->serialField()->text(), "B");
    EXPECT_EQ(boxText(window->typeField()), "S");
    EXPECT_EQ(boxText(window->faceValueField()), "$500");
    EXPECT_EQ(boxText(window->issueMonthField()), "April");
    EXPECT_EQ(boxText(window->issueYearField()), "1968");

    // Correcting the serial then saves the bond under it.
    window->serialField()->setText("C");
    window->saveEntry();
    EXPECT_FALSE(window->editing());
    EXPECT_EQ(bondsInMemory(),
              (Bonds{{"C", "S", "500", "1968", "April"}, {"B", "EE", "100", "1990", "June"}}));
}

TEST_F(BondEntrySaveTest, EmptySerialInEditingModeRenamesTheBond) {
    addBond({"A", "E", "25", "1960", "May"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    window->serialField()->setText("");
    window->saveEntry();
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_EQ(bondsInMemory()[0].serial, "");
}

TEST_F(BondEntrySaveTest, EditedBondDeletedMeanwhile) {
    addBond({"A", "E", "25", "1960", "May"});
    addBond({"B", "E", "25", "1961", "May"});
    BondEditingWindow* window = openWindow();

    // Serial unchanged: nothing is stored and the window returns to entry mode.
    doubleClickRow(*window, 0);
    services.answerConfirmation(ToolkitServices::kAlternateButton);
    window->deleteSelectedBond();
    chooseText(window->typeField(), "I");
    window->saveEntry();
    EXPECT_FALSE(window->editing());
    EXPECT_EQ(bondsInMemory(), (Bonds{{"B", "E", "25", "1961", "May"}}));
    expectFieldsShowShippedPreset(*window);

    // Serial changed: nothing is stored and editing goes on.
    doubleClickRow(*window, 0);
    services.answerConfirmation(ToolkitServices::kAlternateButton);
    window->deleteSelectedBond();
    window->serialField()->setText("Z");
    window->saveEntry();
    EXPECT_TRUE(window->editing());
    EXPECT_TRUE(bondsInMemory().empty());
    EXPECT_EQ(window->serialField()->text(), "Z");
}

TEST_F(BondEntrySaveTest, SavingWithThePortfolioGoneSaysSoAndKeepsTheFields) {
    BondEditingWindow* window = openWindow();
    ASSERT_TRUE(database().deletePortfolio(kPortfolio));
    mainView->controller().setOpenPortfolio(std::nullopt);
    enter(*window, "LOST?", "EE", "$50", "May", "2001");
    window->saveEntry();
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message,
              "Please either open an existing bond file or create a new bond file before "
              "editing bonds.");
    EXPECT_EQ(window->serialField()->text(), "LOST?");
    EXPECT_EQ(window->bondTable()->model()->rowCount(), 0);
}

TEST_F(BondEntrySaveTest, ReturnInTheFieldsSavesButNotOnAButton) {
    BondEditingWindow* window = openWindow();
    const auto pressReturn = [](QWidget* target) {
        target->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    };
    enter(*window, "K1", "I", "$50", "May", "2001");
    pressReturn(window->issueYearField());
    enter(*window, "K2", "I", "$50", "May", "2001");
    pressReturn(window->serialField());
    EXPECT_EQ(bondsInMemory(),
              (Bonds{{"K1", "I", "50", "2001", "May"}, {"K2", "I", "50", "2001", "May"}}));

    window->serialField()->setText("K3");
    pressReturn(window->findChild<QPushButton*>("deleteBondButton"));
    EXPECT_EQ(bondsInMemory().size(), 2u);
}

// The entry preset.

TEST_F(BondEntrySaveTest, PresetHoldsPositionsAndALaterWindowReadsIt) {
    // An entry of the file that is not the window's own survives the rewrite.
    PlistDictRef shipped = readPropertyList(presetFile()).dict();
    if (!shipped) {
        // Not yet seeded: asking for the path seeds it.
        mainView->controller().resources().pathForResource("preset", "plist");
        shipped = readPropertyList(presetFile()).dict();
    }
    ASSERT_NE(shipped, nullptr);
    shipped->set("Kept", "yes");
    ASSERT_TRUE(writePropertyList(presetFile(), PlistValue(shipped)));

    BondEditingWindow* window = openWindow();
    window->typeField()->setCurrentIndex(2);
    window->faceValueField()->setCurrentIndex(3);
    window->issueYearField()->setCurrentIndex(5);
    window->issueMonthField()->setCurrentIndex(0);
    window->serialField()->setText("");
    window->saveEntryAsPreset();
    EXPECT_FALSE(window->editing());
    EXPECT_EQ(boxText(window->typeField()), "I");

    const PlistDictRef onDisk = readPropertyList(presetFile()).dict();
    ASSERT_NE(onDisk, nullptr);
    EXPECT_EQ(onDisk->value("Type"), PlistValue("2"));
    EXPECT_EQ(onDisk->value("Face Value"), PlistValue("3"));
    EXPECT_EQ(onDisk->value("Issue Year"), PlistValue("5"));
    EXPECT_EQ(onDisk->value("Issue Month"), PlistValue("0"));
    EXPECT_EQ(onDisk->value("Serial"), PlistValue(""));
    EXPECT_EQ(onDisk->value("Kept"), PlistValue("yes"));

    BondEditingWindow* later = openWindow();
    later->serialField()->setText("typed");
    later->clearEntry();
    EXPECT_EQ(later->serialField()->text(), "");
    EXPECT_EQ(boxText(later->typeField()), "I");
    EXPECT_EQ(boxText(later->faceValueField()), "$75");
    EXPECT_EQ(boxText(later->issueYearField()), "2003");
    EXPECT_EQ(boxText(later->issueMonthField()), "January");
}

TEST_F(BondEntrySaveTest, PresetSerialIsKeptAndAnOpenWindowKeepsItsOwnPreset) {
    BondEditingWindow* first = openWindow();
    BondEditingWindow* second = openWindow();
    enter(*first, "Q-", "S", "$25", "October", "1970");
    first->saveEntryAsPreset();
    first->serialField()->setText("other");
    first->clearEntry();
    EXPECT_EQ(first->serialField()->text(), "Q-");
    EXPECT_EQ(boxText(first->issueYearField()), "1970");
    EXPECT_EQ(boxText(first->issueMonthField()), "October");

    second->clearEntry();
    EXPECT_EQ(second->serialField()->text(), "");
    EXPECT_EQ(boxText(second->typeField()), "EE");
}

TEST_F(BondEntrySaveTest, SavingThePresetLeavesBondsAndModeAlone) {
    addBond({"A", "E", "25", "1960", "May"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    window->saveEntryAsPreset();
    EXPECT_TRUE(window->editing());
    EXPECT_EQ(window->serialField()->text(), "A");
    EXPECT_FALSE(portfolioOnDisk());
    const PlistDictRef preset = readPropertyList(presetFile()).dict();
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->text("Issue Year"), "19");
}

TEST_F(BondEntrySaveTest, SavedPresetIsWhatANewEntryShowsAfterARestart) {
    const std::string shippedPreset =
        readWholeFile(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources" / "preset.plist");
    BondEditingWindow* window = openWindow();
    enter(*window, "", "I", "$500", "March", "2001");
    window->saveEntryAsPreset();
    window->close();

    restartApplication();
    BondEditingWindow* reopened = openWindow();
    EXPECT_EQ(boxText(reopened->typeField()), "I");
    EXPECT_EQ(boxText(reopened->faceValueField()), "$500");
    EXPECT_EQ(boxText(reopened->issueMonthField()), "March");
    EXPECT_EQ(boxText(reopened->issueYearField()), "2001");
    // The user's own copy changed, never the one shipped with the program.
    EXPECT_EQ(
        readWholeFile(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources" / "preset.plist"),
        shippedPreset);
}

} // namespace

TEST_F(BondEntrySaveTest, AYearTheBoxDoesNotOfferStaysAsTypedWithItsWarningAndIsNeverSaved) {
    BondEditingWindow* window = openWindow();
    QApplication::setActiveWindow(window);
    const QLabel* warning = window->findChild<QLabel*>("warningLabel");
    ASSERT_NE(window->issueYearField()->lineEdit(), nullptr) << "a year can be typed";
    for (const auto& [type, year, offered] :
         {std::tuple{"EE", "1975", "1990"}, std::tuple{"I", "2027", "2001"}}) {
        enter(*window, std::string("Y-") + year, type, "$100", "May", offered);
        window->issueYearField()->setFocus();
        window->issueYearField()->lineEdit()->selectAll();
        QTest::keyClicks(window->issueYearField(), year);
        QTest::keyClick(window->issueYearField(), Qt::Key_Return);
        EXPECT_EQ(boxText(window->issueYearField()), year) << "never another year";
        EXPECT_FALSE(warning->isHidden());
        ASSERT_FALSE(services.informationAlerts.empty());
        EXPECT_EQ(services.informationAlerts.back().message, warning->text().toStdString());
        EXPECT_TRUE(warning->text().contains(QString("not in ") + year));
        EXPECT_TRUE(bondsInMemory().empty());
        EXPECT_FALSE(portfolioOnDisk());
    }
    window->saveEntryAsPreset();
    EXPECT_EQ(services.informationAlerts.back().title, "Choice Needed") << "nor kept as a preset";

    // A year the box offers is taken as typed.
    window->issueYearField()->lineEdit()->selectAll();
    QTest::keyClicks(window->issueYearField(), "2001");
    QTest::keyClick(window->issueYearField(), Qt::Key_Return);
    EXPECT_EQ(bondsOnDisk(), (Bonds{{"Y-2027", "I", "100", "2001", "May"}}));
}

// An electronic bond is entered with its amount to the cent from $25.00, and its registration;
// an amount that is none is refused with why, the fields kept.
TEST_F(BondEntrySaveTest, AnElectronicBondTakesItsAmountToTheCentAndItsRegistration) {
    BondEditingWindow* window = openWindow();
    chooseText(window->findChild<QComboBox*>("kindField"), "Electronic");
    enter(*window, "Account I", "I", "$100", "May", "2015");
    auto* amount = window->findChild<QLineEdit*>("amountField");
    EXPECT_FALSE(window->faceValueField()->isEnabled());
    amount->setText("24.99");
    window->saveEntry();
    ASSERT_EQ(services.informationAlerts.size(), 1u);
    EXPECT_EQ(services.informationAlerts[0].message,
              "An electronic bond holds at least $25.00, not $24.99.");
    EXPECT_TRUE(bondsInMemory().empty());

    amount->setText("50.3");
    window->findChild<QLineEdit*>("ownerField")->setText("Ruth Alvarez");
    window->findChild<QLineEdit*>("secondNameField")->setText("Daniel Alvarez");
    chooseText(window->findChild<QComboBox*>("secondNameIsField"), "Beneficiary");
    window->saveEntry();
    const Bond* saved = database().bond(kPortfolio, "Account I");
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(saved->electronic);
    EXPECT_EQ(saved->faceValue, "50.30");
    EXPECT_EQ(saved->issueYear, "2015");
    EXPECT_EQ(saved->owner(), "Ruth Alvarez");
    EXPECT_EQ(saved->secondNameIs(), "Beneficiary");
    EXPECT_EQ(amount->text(), "") << "cleared for the next bond, paper again";
}
