#include "app/BondsMenuCommands.h"

#include "app/ApplicationController.h"
#include "app/BondListPanel.h"
#include "app/CashBondDialog.h"
#include "entry/ui/BondListUndoCommand.h"
#include "platform/ui/WindowServices.h"
#include "store/BondDatabase.h"
#include "store/Cashing.h"
#include "valuation/Session.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>

BondsMenuCommands::BondsMenuCommands(ApplicationController& controller, BondListPanel& list,
                                     QObject* parent)
    : QObject(parent), controller_(controller), list_(list) {}

std::vector<QObject*> BondsMenuCommands::addTo(QMenu& menu, QAction* before) {
    auto item = [&](const QString& text, const char* name, const QKeySequence& keys) {
        auto* action = new QAction(text, &menu);
        action->setObjectName(name);
        action->setShortcut(keys);
        menu.insertAction(before, action);
        return action;
    };
    QAction* cash =
        item(QStringLiteral("&Cash Selected Bond…"), "cashBondItem", Qt::CTRL | Qt::Key_K);
    QAction* held = item(QStringLiteral("Mark Selected Bond &Held"), "markHeldItem",
                         Qt::CTRL | Qt::SHIFT | Qt::Key_K);
    QAction* move =
        item(QStringLiteral("&Move Selected Bonds To…"), "moveBondsItem", Qt::CTRL | Qt::Key_M);
    QAction* copy = item(QStringLiteral("Cop&y Selected Bonds To…"), "copyBondsItem",
                         Qt::CTRL | Qt::SHIFT | Qt::Key_M);
    menu.insertSeparator(before);
    connect(cash, &QAction::triggered, this, &BondsMenuCommands::cashSelectedBond);
    connect(held, &QAction::triggered, this, &BondsMenuCommands::markSelectedHeld);
    connect(move, &QAction::triggered, this,
            [this] { moveSelectedBonds(MoveBondsCommand::Kind::Move); });
    connect(copy, &QAction::triggered, this,
            [this] { moveSelectedBonds(MoveBondsCommand::Kind::Copy); });
    return {cash, held, move, copy};
}

bool BondsMenuCommands::oneSelectedBond(std::string& portfolio, Bond& bond,
                                        const std::string& title) {
    const std::optional<std::string> open = controller_.openPortfolio();
    const std::vector<std::string> serials = list_.selectedSerials();
    const Bond* selected = open && serials.size() == 1
                               ? controller_.bondDatabase()->bond(*open, serials.front())
                               : nullptr;
    if (selected == nullptr) {
        controller_.services().showInformationAlert(title, "Please select one bond in the list.");
        return false;
    }
    portfolio = *open;
    bond = *selected;
    return true;
}

void BondsMenuCommands::cashSelectedBond() {
    std::string portfolio;
    Bond bond;
    if (!oneSelectedBond(portfolio, bond, "Cash Bond")) {
        return;
    }
    if (!bond.cashed().empty()) {
        controller_.services().showInformationAlert(
            "Cash Bond", "This bond is marked cashed already; Mark Selected Bond Held takes "
                         "that back.");
        return;
    }
    Session& session = controller_.session();
    auto apply = [this, portfolio, bond](const Cashing& cashing) {
        BondDatabase& store = *controller_.bondDatabase();
        const Portfolio* holder = store.portfolio(portfolio);
        if (holder == nullptr || holder->find(bond.serial) == nullptr) {
            return std::string("The bond is no longer in the portfolio.");
        }
        CashedBonds cashed = cashedBonds(*holder->find(bond.serial), cashing, *holder);
        if (!cashed.refusal.empty()) {
            return cashed.refusal;
        }
        pushCommand(controller_.undoStack(), std::make_unique<ReplaceBondCommand>(
                                                 store, portfolio, bond, std::move(cashed.bonds),
                                                 "Cash Bond", controller_.saver()));
        return std::string();
    };
    auto* dialog = new CashBondDialog(bond, session.valueTable(), session.redemptionMonth(), apply,
                                      controller_.hostWidget());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void BondsMenuCommands::markSelectedHeld() {
    std::string portfolio;
    Bond bond;
    if (!oneSelectedBond(portfolio, bond, "Mark Bond Held")) {
        return;
    }
    if (bond.cashed().empty() && bond.amountReceived().empty()) {
        controller_.services().showInformationAlert("Mark Bond Held",
                                                    "This bond is not marked cashed.");
        return;
    }
    pushCommand(controller_.undoStack(),
                std::make_unique<ReplaceBondCommand>(*controller_.bondDatabase(), portfolio, bond,
                                                     std::vector<Bond>{heldAgain(bond)},
                                                     "Mark Bond Held", controller_.saver()));
}

void BondsMenuCommands::moveSelectedBonds(MoveBondsCommand::Kind kind) {
    const std::optional<std::string> open = controller_.openPortfolio();
    const bool moving = kind == MoveBondsCommand::Kind::Move;
    const std::string title = moving ? "Move Bonds" : "Copy Bonds";
    if (!open || list_.selectedSerials().empty()) {
        controller_.services().showInformationAlert(title, "Please select bonds in the list.");
        return;
    }
    QStringList others;
    for (const std::string& name : controller_.bondDatabase()->portfolioNames()) {
        if (name != *open) {
            others << QString::fromStdString(name);
        }
    }
    if (others.isEmpty()) {
        controller_.services().showInformationAlert(
            title, "There is no other portfolio. Create one with File > New Portfolio first.");
        return;
    }
    bool chosen = false;
    const QString target =
        QInputDialog::getItem(controller_.hostWidget(), QString::fromStdString(title),
                              moving ? QStringLiteral("Move the selected bonds to:")
                                     : QStringLiteral("Copy the selected bonds to:"),
                              others, 0, false, &chosen);
    if (chosen) {
        moveSelectedBondsTo(target.toStdString(), kind);
    }
}

void BondsMenuCommands::moveSelectedBondsTo(const std::string& target,
                                            MoveBondsCommand::Kind kind) {
    const std::optional<std::string> open = controller_.openPortfolio();
    const std::vector<std::string> serials = list_.selectedSerials();
    BondDatabase& store = *controller_.bondDatabase();
    if (!open || serials.empty()) {
        return;
    }
    const bool moving = kind == MoveBondsCommand::Kind::Move;
    if (const StoreOutcome refused = MoveBondsCommand::check(store, *open, target, serials);
        !refused) {
        controller_.services().showErrorAlert(moving ? "Move Bonds" : "Copy Bonds",
                                              refused.message);
        return;
    }
    const std::string text = std::string(moving ? "Move " : "Copy ") +
                             (serials.size() == 1 ? "Bond" : "Bonds") + " to " + target;
    pushCommand(controller_.undoStack(),
                std::make_unique<MoveBondsCommand>(store, *open, target, serials, kind, text,
                                                   controller_.saver()));
}
