#pragma once

// The Bonds menu's commands on the bonds selected in the main window's list: mark one cashed (in
// a dialog) or held again, and move or copy them to another portfolio. Each is one undoable
// command of the core that saves once.

#include "store/MoveBondsCommand.h"

#include <QObject>
#include <string>
#include <vector>

class ApplicationController;
class BondListPanel;
class QAction;
class QMenu;

class BondsMenuCommands : public QObject {
    Q_OBJECT

  public:
    BondsMenuCommands(ApplicationController& controller, BondListPanel& list,
                      QObject* parent = nullptr);

    // Adds the items to `menu` before `before`; answers them, for enabling with an open portfolio.
    std::vector<QObject*> addTo(QMenu& menu, QAction* before);

    // Opens the cashing dialog for the one bond selected.
    void cashSelectedBond();
    // The selected bond, cashed, held again.
    void markSelectedHeld();
    // Asks for the portfolio, then moves or copies the selected bonds there.
    void moveSelectedBonds(MoveBondsCommand::Kind kind);
    // Moves or copies the selected bonds to `target`; a refusal is shown in an alert.
    void moveSelectedBondsTo(const std::string& target, MoveBondsCommand::Kind kind);

  private:
    // The one bond selected in the open portfolio, with the open portfolio's name; an alert
    // asks for one otherwise.
    bool oneSelectedBond(std::string& portfolio, Bond& bond, const std::string& title);

    ApplicationController& controller_;
    BondListPanel& list_;
};
