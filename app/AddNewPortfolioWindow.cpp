#include "app/AddNewPortfolioWindow.h"

#include "app/WindowHost.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "ui_AddNewPortfolioWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

AddNewPortfolioWindow::AddNewPortfolioWindow(WindowHost& host)
    : TaskWindow(host), ui_(std::make_unique<Ui::AddNewPortfolioWindow>()) {
    ui_->setupUi(this);
    setNameField(ui_->nameField);
    connect(ui_->doneButton, &QPushButton::clicked, this,
            &AddNewPortfolioWindow::createNamedPortfolio);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &AddNewPortfolioWindow::cancel);
    connect(ui_->nameField, &QLineEdit::returnPressed, this,
            &AddNewPortfolioWindow::createNamedPortfolio);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &AddNewPortfolioWindow::cancel);
}

AddNewPortfolioWindow::~AddNewPortfolioWindow() = default;

void AddNewPortfolioWindow::createNamedPortfolio() {
    WindowHost* view = host();
    if (view == nullptr || view->bondDatabase() == nullptr) {
        close();
        return;
    }
    // The name exactly as typed: spaces are part of it.
    const std::string name = nameField_->text().toStdString();
    if (name.empty()) {
        view->services().showInformationAlert("No Name Entered", "Please enter a name.");
        return;
    }
    // A name of spaces alone cannot be told apart from no name in the title or the list.
    if (nameField_->text().trimmed().isEmpty()) {
        view->services().showErrorAlert(
            "Error", "Please enter a name with at least one letter or digit, not only spaces.");
        return;
    }
    if (const StoreOutcome created = view->bondDatabase()->createPortfolio(name); !created) {
        view->services().showErrorAlert(kStoreRefusalTitle, created.message);
    } else {
        // Written at once: a portfolio without bonds is the user's work too, and would
        // otherwise be lost if the application were ended before its first bond.
        view->save();
        view->setOpenPortfolio(name);
    }
    close();
}

void AddNewPortfolioWindow::cancel() {
    close();
}
