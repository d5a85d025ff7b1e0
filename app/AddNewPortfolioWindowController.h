#pragma once

// The new portfolio window: the user names a new, empty portfolio, which becomes the open one.

#include "app/TaskWindowController.h"

#include <memory>

class QLineEdit;

namespace Ui {
class AddNewPortfolioWindow;
}

class AddNewPortfolioWindowController : public TaskWindowController {
    Q_OBJECT

  public:
    explicit AddNewPortfolioWindowController(WindowHost& host);
    ~AddNewPortfolioWindowController() override;

    QLineEdit* nameField() const { return nameField_; }
    void setNameField(QLineEdit* field) { nameField_ = field; }

  public slots:
    void donePressed();
    void cancelPressed();

  private:
    std::unique_ptr<Ui::AddNewPortfolioWindow> ui_;
    QLineEdit* nameField_ = nullptr;
};
