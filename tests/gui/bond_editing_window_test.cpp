// The bond editing window: its choice lists, the type change, the bond table, taking a bond into
// the fields, deleting, clearing and closing.

#include "entry/ChoiceList.h"
#include "entry/ui/ChoiceBoxModel.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "support/gui/BondEntryFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QUndoStack>
#include <fstream>
#include <set>

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::vector<std::string> years(int first, int last) {
    std::vector<std::string> result;
    for (int year = first; year <= last; ++year) {
        result.push_back(std::to_string(year));
    }
    return result;
}

class BondEditingWindowTest : public BondEntryFixture {
  protected:
    void SetUp() override { startApplication(); }
};

TEST_F(BondEditingWindowTest, NewWindowShowsTheShippedPresetADateItsSeriesWasIssuedOn) {
    BondEditingWindow* window = openWindow();
    EXPECT_EQ(boxText(window->typeField()), "EE");
    EXPECT_EQ(boxText(window->faceValueField()), "$100");
    EXPECT_EQ(boxText(window->issueYearField()), "1980");
    EXPECT_EQ(boxText(window->issueMonthField()), "January");
    EXPECT_TRUE(window->findChild<QLabel*>("warningLabel")->isHidden());
    EXPECT_EQ(window->serialField()->text(), "");
    EXPECT_FALSE(window->editing());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->host(), &mainView->controller());
    EXPECT_TRUE(window->windowTitle().contains(kPortfolio));
    // Each box shows its own list through a model of its own.
    std::set<QAbstractItemModel*> models;
    for (QComboBox* box : {window->typeField(), window->faceValueField(), window->issueYearField(),
                           window->issueMonthField()}) {
        EXPECT_EQ(box->isEditable(), box == window->issueYearField()) << "only a year is typed";
        EXPECT_NE(qobject_cast<ChoiceBoxModel*>(box->model()), nullptr);
        models.insert(box->model());
    }
    EXPECT_EQ(models.size(), 4u);
}

TEST_F(BondEditingWindowTest, BoxesOfferTheShippedChoiceLists) {
    BondEditingWindow* window = openWindow();
    chooseText(window->typeField(), "E");
    EXPECT_EQ(boxEntries(window->typeField()), (std::vector<std::string>{"E", "EE", "I", "S"}));
    EXPECT_EQ(boxEntries(window->faceValueField()),
              (std::vector<std::string>{"$10", "$25", "$50", "$75", "$100", "$200", "$500", "$1000",
                                        "$5000", "$10000"}));
    EXPECT_EQ(window->faceValues().front(), "10");
    EXPECT_EQ(boxEntries(window->issueMonthField()).size(), 12u);
    EXPECT_EQ(boxEntries(window->issueMonthField()).back(), "December");
    EXPECT_EQ(boxEntries(window->issueYearField()), years(1941, 1980));
    EXPECT_EQ(window->yearsForType("EE"), years(1980, 2011));
    EXPECT_EQ(window->yearsForType("I"), years(1998, 2024));
    EXPECT_EQ(window->yearsForType("S"), years(1967, 1970));
}

TEST_F(BondEditingWindowTest, ChoosingATypeOffersItsYearsBeforeTheCallReturns) {
    BondEditingWindow* window = openWindow();
    chooseText(window->typeField(), "E");
    chooseText(window->issueYearField(), "1975");
    window->typeField()->setCurrentIndex(1);
    EXPECT_EQ(window->selectedType(), "EE");
    EXPECT_EQ(boxEntries(window->issueYearField()), years(1980, 2011));
    EXPECT_EQ(window->issueYearField()->currentIndex(), 0);

    chooseText(window->issueYearField(), "2004");
    window->typeField()->setCurrentIndex(3);
    EXPECT_EQ(boxEntries(window->issueYearField()), years(1967, 1970));
    EXPECT_EQ(boxText(window->issueYearField()), "1967");
}

TEST_F(BondEditingWindowTest, TableShowsEveryKeyWithDollarOnlyBeforeTheFaceValue) {
    addBond({"Q123", "EE", "100", "1995", "March"});
    addBond({"$X", "I", "50", "2001", "July"});
    BondEditingWindow* window = openWindow();
    QAbstractItemModel* model = window->bondTable()->model();
    std::vector<std::string> titles;
    for (int column = 0; column < model->columnCount(); ++column) {
        titles.push_back(model->headerData(column, Qt::Horizontal).toString().toStdString());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Serial", "Type", "Face Value", "Issue Month",
                                                "Issue Year"}));
    EXPECT_EQ(tableRows(*window),
              (Rows{{"Q123", "EE", "$100", "March", "1995"}, {"$X", "I", "$50", "July", "2001"}}));
    EXPECT_EQ(bondsInMemory()[0].faceValue, "100");
    EXPECT_EQ(window->bondTable()->model()->index(1, 2).data().toString(), "$50");
    EXPECT_EQ(window->bondTable()->model()->index(7, 0).data().toString(), "");
}

TEST_F(BondEditingWindowTest, DoubleClickingAnIBondWhileTheTypeBoxShowsE) {
    addBond({"A1", "EE", "100", "1990", "May"});
    addBond({"I-77", "I", "500", "2003", "March"});
    BondEditingWindow* window = openWindow();
    chooseText(window->typeField(), "E");
    ASSERT_EQ(boxText(window->typeField()), "E");

    doubleClickRow(*window, 1);
    EXPECT_TRUE(window->editing());
    EXPECT_EQ(window->editingSerial(), "I-77");
    EXPECT_EQ(window->serialField()->text(), "I-77");
    EXPECT_EQ(boxText(window->typeField()), "I");
    EXPECT_EQ(boxEntries(window->issueYearField()), years(1998, 2024));
    EXPECT_EQ(boxText(window->issueYearField()), "2003");
    EXPECT_EQ(boxText(window->faceValueField()), "$500");
    EXPECT_EQ(boxText(window->issueMonthField()), "March");

    // A second double-click replaces the bond being edited.
    doubleClickRow(*window, 0);
    EXPECT_EQ(window->editingSerial(), "A1");
    EXPECT_EQ(boxText(window->typeField()), "EE");
    EXPECT_EQ(boxText(window->issueYearField()), "1990");
}

TEST_F(BondEditingWindowTest, DoubleClickOfTheSameTypeStillSelectsTheBondsYear) {
    addBond({"E1", "E", "25", "1962", "June"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    EXPECT_EQ(boxText(window->typeField()), "E");
    EXPECT_EQ(boxText(window->issueYearField()), "1962");
    EXPECT_EQ(boxText(window->faceValueField()), "$25");
}

TEST_F(BondEditingWindowTest, EmptyPortfolioGivesEmptyTableAndDoubleClickDoesNothing) {
    BondEditingWindow* window = openWindow();
    EXPECT_EQ(window->bondTable()->model()->rowCount(), 0);
    EXPECT_TRUE(tableRows(*window).empty());
    window->editSelectedBond();
    EXPECT_FALSE(window->editing());
    EXPECT_EQ(window->serialField()->text(), "");
}

TEST_F(BondEditingWindowTest, DeletingWithNothingSelectedShowsTheMessage) {
    addBond({"A1", "EE", "100", "1990", "May"});
    BondEditingWindow* window = openWindow();
    window->deleteSelectedBond();
    ASSERT_EQ(services.informationAlerts.size(), 1u);
    EXPECT_EQ(services.informationAlerts[0].title, "No Bond Selected");
    EXPECT_EQ(services.informationAlerts[0].message,
              "No bond selected. Please select a bond to delete.");
    EXPECT_EQ(bondsInMemory().size(), 1u);
    EXPECT_FALSE(portfolioOnDisk());
}

TEST_F(BondEditingWindowTest, DeletingTheBondBeingEditedAsksWritesTheFileKeepsTheFields) {
    addBond({"A1", "EE", "100", "1990", "May"});
    addBond({"B2", "I", "50", "2001", "July"});
    addBond({"C3", "E", "25", "1970", "April"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 1);
    ASSERT_EQ(window->editingSerial(), "B2");

    window->deleteSelectedBond(); // answered No
    EXPECT_EQ(bondsInMemory().size(), 3u);
    services.answerConfirmation(ToolkitServices::kAlternateButton);
    window->deleteSelectedBond();
    ASSERT_EQ(services.confirmations.size(), 2u);
    EXPECT_EQ(services.confirmations[1].title, "Delete Bond");
    EXPECT_NE(services.confirmations[1].message.find("\"B2\""), std::string::npos);
    EXPECT_TRUE(services.alerts.empty());
    const std::vector<EntryBond> left = {{"A1", "EE", "100", "1990", "May"},
                                         {"C3", "E", "25", "1970", "April"}};
    EXPECT_EQ(bondsInMemory(), left);
    EXPECT_EQ(bondsOnDisk(), left);
    EXPECT_EQ(tableRows(*window).size(), 2u);
    EXPECT_TRUE(window->editing());
    EXPECT_EQ(window->editingSerial(), "B2");
    EXPECT_EQ(window->serialField()->text(), "B2");
    EXPECT_EQ(boxText(window->typeField()), "I");
    EXPECT_EQ(boxText(window->issueYearField()), "2001");
}

TEST_F(BondEditingWindowTest, ClearingFillsThePresetAndEndsEditingMode) {
    addBond({"A1", "E", "25", "1950", "May"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    window->clearEntry();
    EXPECT_FALSE(window->editing());
    EXPECT_EQ(window->selectedRow(), -1);
    EXPECT_EQ(window->serialField()->text(), "");
    EXPECT_EQ(boxText(window->typeField()), "EE");
    EXPECT_EQ(boxText(window->faceValueField()), "$100");
    EXPECT_EQ(boxText(window->issueYearField()), "1980");
    EXPECT_EQ(boxText(window->issueMonthField()), "January");
    EXPECT_EQ(window->editingSerial(), "");

    // The next save adds a bond and leaves the one that was being changed as it was.
    window->serialField()->setText("A2");
    window->saveEntry();
    EXPECT_EQ(bondsInMemory(), (std::vector<EntryBond>{{"A1", "E", "25", "1950", "May"},
                                                       {"A2", "EE", "100", "1980", "January"}}));
}

TEST_F(BondEditingWindowTest, ChoiceBoxModelsOfferTheirListsAndNothingBeyond) {
    BondEditingWindow* window = openWindow();
    const ChoiceList empty;
    const ChoiceBoxModel stray(empty, QString(), nullptr);
    EXPECT_EQ(stray.rowCount(), 0);
    EXPECT_EQ(stray.index(0, 0).data().toString(), "");
    const QAbstractItemModel* faceValues = window->faceValueField()->model();
    EXPECT_EQ(window->issueMonthField()->model()->rowCount(), 12);
    EXPECT_EQ(faceValues->index(9, 0).data().toString(), "$10000");
    EXPECT_EQ(faceValues->index(10, 0).data().toString(), "");
    EXPECT_EQ(faceValues->index(-1, 0).data().toString(), "");
}

TEST_F(BondEditingWindowTest, DeletingKeepsToTheWindowsPortfolioWhenAnotherIsOpened) {
    addBond({"A1", "EE", "100", "1990", "May"});
    addBond({"B2", "I", "50", "2001", "July"});
    ASSERT_TRUE(database().createPortfolio("Other"));
    ASSERT_TRUE(database().addBond("Other", Bond("O1", "E", "25", "1950", "May")));
    BondEditingWindow* window = openWindow();
    mainView->controller().setOpenPortfolio("Other");
    const auto otherOnDisk = [this] {
        const PlistValue root = readPropertyList(portfolioFile());
        const PlistValue* list = plistFind(root.dictPtr(), {"Other", kPortfolioBondsKey});
        return list != nullptr && list->arrayPtr() != nullptr ? list->arrayPtr()->size() : 0u;
    };

    clickRow(*window, 0);
    services.answerConfirmation(ToolkitServices::kAlternateButton);
    window->deleteSelectedBond();
    const std::vector<EntryBond> left = {{"B2", "I", "50", "2001", "July"}};
    EXPECT_EQ(bondsInMemory(), left);
    EXPECT_EQ(bondsOnDisk(), left);
    EXPECT_EQ(database().portfolio("Other")->bonds.size(), 1u);
    EXPECT_EQ(otherOnDisk(), 1u);

    mainView->controller().undoStack()->undo();
    const std::vector<EntryBond> whole = {{"A1", "EE", "100", "1990", "May"},
                                          {"B2", "I", "50", "2001", "July"}};
    EXPECT_EQ(bondsInMemory(), whole);
    EXPECT_EQ(bondsOnDisk(), whole);
    EXPECT_EQ(database().portfolio("Other")->bonds.size(), 1u);
    EXPECT_EQ(otherOnDisk(), 1u);
    EXPECT_EQ(tableRows(*window).size(), 2u);
}

TEST_F(BondEditingWindowTest, CloseButtonWritesThePortfolioFileAndFreesTheWindow) {
    addBond({"A1", "EE", "100", "1990", "May"});
    QPointer<BondEditingWindow> window = openWindow();
    ASSERT_FALSE(portfolioOnDisk());
    window->saveAndClose();
    EXPECT_EQ(bondsOnDisk(), bondsInMemory());
    EXPECT_TRUE(portfolioOnDisk());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(BondEditingWindowTest, WindowsOwnCloseControlWritesTheChangesMadeByEditing) {
    addBond({"A1", "EE", "100", "1990", "May"});
    database().save();
    QPointer<BondEditingWindow> window = openWindow();
    doubleClickRow(*window, 0);
    chooseText(window->faceValueField(), "$500");
    window->saveEntry();
    ASSERT_EQ(bondsOnDisk()[0].faceValue, "500");
    window->close();
    EXPECT_EQ(bondsOnDisk()[0].faceValue, "500");
}

TEST_F(BondEditingWindowTest, StaleRowFromAnotherWindowsDeletionIsNotUsed) {
    addBond({"A1", "EE", "100", "1990", "May"});
    addBond({"B2", "EE", "100", "1991", "May"});
    BondEditingWindow* first = openWindow();
    BondEditingWindow* second = openWindow();
    clickRow(*first, 1);
    ASSERT_EQ(first->selectedRow(), 1);
    clickRow(*second, 1);
    services.answerConfirmation(ToolkitServices::kAlternateButton);
    second->deleteSelectedBond();
    ASSERT_EQ(bondsInMemory().size(), 1u);

    // The first window's row 1 no longer exists: nothing more is deleted.
    first->deleteSelectedBond();
    EXPECT_EQ(bondsInMemory().size(), 1u);
    ASSERT_EQ(services.informationAlerts.size(), 1u);
    EXPECT_EQ(services.informationAlerts[0].message,
              "No bond selected. Please select a bond to delete.");
    first->editSelectedBond();
    EXPECT_FALSE(first->editing());
}

TEST_F(BondEditingWindowTest, SelectionFollowsItsBondThroughTheSortAndGoesWithADeletion) {
    addBond({"A", "EE", "100", "1990", "May"});
    addBond({"B", "EE", "100", "1995", "May"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 1);
    window->serialField()->setText("B2");
    chooseText(window->issueYearField(), "1985");
    window->saveEntry();
    ASSERT_EQ(tableRows(*window)[0][0], "B2");
    // The form is back to a new bond, so no row stays selected.
    EXPECT_EQ(window->selectedRow(), -1);

    clickRow(*window, 0);
    services.answerConfirmation(ToolkitServices::kAlternateButton);
    window->deleteSelectedBond();
    EXPECT_EQ(bondsInMemory(), (std::vector<EntryBond>{{"A", "EE", "100", "1990", "May"}}));
    EXPECT_EQ(window->selectedRow(), -1);
    window->deleteSelectedBond();
    EXPECT_EQ(bondsInMemory().size(), 1u);
    EXPECT_EQ(services.informationAlerts.size(), 1u);
}

// Bonds whose values the lists do not hold (imported, or from an older file).

TEST_F(BondEditingWindowTest, BondOutsideTheListsKeepsItsValuesWhenSaved) {
    addBond({"ODD", "X", "37.5", "1901", "13"});
    addBond({"OLD-EE", "EE", "100", "1975", "May"});
    BondEditingWindow* window = openWindow();

    doubleClickRow(*window, 0);
    EXPECT_EQ(boxText(window->typeField()), "X");
    EXPECT_EQ(boxText(window->faceValueField()), "$37.5");
    EXPECT_EQ(boxText(window->issueMonthField()), "13");
    EXPECT_EQ(boxText(window->issueYearField()), "1901");
    EXPECT_EQ(boxEntries(window->typeField()).size(), 5u);
    window->saveEntry();
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_EQ(bondsInMemory()[0], (EntryBond{"ODD", "X", "37.5", "1901", "13"}));
    // Saving refilled the fields from the preset: the extra entries are gone.
    EXPECT_EQ(boxEntries(window->typeField()).size(), 4u);
    EXPECT_EQ(boxEntries(window->faceValueField()).size(), 10u);
    EXPECT_EQ(boxEntries(window->issueMonthField()).size(), 12u);

    // A year its series was not issued in shows after that series' own years.
    doubleClickRow(*window, 1);
    EXPECT_EQ(boxText(window->typeField()), "EE");
    EXPECT_EQ(boxText(window->issueYearField()), "1975");
    EXPECT_EQ(boxEntries(window->issueYearField()).size(), 33u);
    chooseText(window->issueMonthField(), "June");
    window->saveEntry();
    EXPECT_EQ(bondsInMemory()[1], (EntryBond{"OLD-EE", "EE", "100", "1975", "June"}));
}

TEST_F(BondEditingWindowTest, ChangingTheOddTypeGivesTheNewTypesYears) {
    addBond({"ODD", "X", "100", "1990", "May"});
    BondEditingWindow* window = openWindow();
    doubleClickRow(*window, 0);
    EXPECT_EQ(boxEntries(window->issueYearField()), (std::vector<std::string>{"1990"}));
    chooseText(window->typeField(), "I");
    EXPECT_EQ(boxEntries(window->issueYearField()), years(1998, 2024));
    window->saveEntry();
    EXPECT_EQ(bondsInMemory()[0], (EntryBond{"ODD", "I", "100", "1998", "May"}));
}

// Broken or missing resources.

class BondEditingWindowWithoutResourcesTest : public BondEntryFixture {
  protected:
    void SetUp() override {
        shipped = temp / "shipped";
        std::filesystem::create_directories(shipped);
        std::filesystem::copy_file(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources" /
                                       "portfolios.plist",
                                   shipped / "portfolios.plist");
        startApplication(shipped);
    }
    std::filesystem::path shipped;
};

TEST_F(BondEditingWindowWithoutResourcesTest, ListsNeedNoResourceAndAnEmptyBoxRefusesSaving) {
    BondEditingWindow* window = openWindow();
    EXPECT_EQ(window->faceValueField()->count(), 10);
    EXPECT_EQ(window->issueYearField()->count(), 40);
    EXPECT_EQ(window->typeField()->count(), 4);
    EXPECT_EQ(window->issueMonthField()->count(), 12);
    window->typeField()->setCurrentIndex(2);
    EXPECT_EQ(window->issueYearField()->count(), 27);

    window->faceValueField()->setCurrentIndex(-1);
    window->serialField()->setText("S1");
    window->saveEntry();
    ASSERT_EQ(services.informationAlerts.size(), 1u);
    EXPECT_EQ(services.informationAlerts[0].title, "Choice Needed");
    EXPECT_EQ(services.informationAlerts[0].message, "Please choose a face value.");
    EXPECT_TRUE(bondsInMemory().empty());
    EXPECT_EQ(window->serialField()->text(), "S1");
}

TEST_F(BondEditingWindowWithoutResourcesTest, MissingPresetClearsToEmptySerialAndFirstEntries) {
    BondEditingWindow* window = openWindow();
    EXPECT_FALSE(window->preset().exists());
    enter(*window, "X9", "S", "$500", "May", "1969");
    window->clearEntry();
    EXPECT_EQ(window->serialField()->text(), "");
    EXPECT_EQ(boxText(window->typeField()), "E");
    EXPECT_EQ(boxText(window->faceValueField()), "$10");
    EXPECT_EQ(boxText(window->issueYearField()), "1941");
    EXPECT_EQ(boxText(window->issueMonthField()), "January");
}

TEST_F(BondEditingWindowWithoutResourcesTest, PresetIndexesOutsideTheListsSelectFirstEntries) {
    auto preset = PlistDict::create();
    preset->set("Serial", "P");
    preset->set("Type", PlistValue::integer(2)); // an integer is read like its decimal text
    preset->set("Face Value", "99");
    preset->set("Issue Year", "-3");
    preset->set("Issue Month", "junk");
    ASSERT_TRUE(writePropertyList(dataDir / "preset.plist", PlistValue(preset)));
    BondEditingWindow* window = openWindow();
    window->clearEntry();
    EXPECT_EQ(window->serialField()->text(), "P");
    EXPECT_EQ(boxText(window->typeField()), "I");
    EXPECT_EQ(boxText(window->faceValueField()), "$10");
    EXPECT_EQ(boxText(window->issueYearField()), "1998");
    EXPECT_EQ(boxText(window->issueMonthField()), "January");
}

} // namespace
