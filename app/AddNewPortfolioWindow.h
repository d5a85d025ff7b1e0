#pragma once

// The new portfolio window: the user names a new, empty portfolio, which becomes the open one.

#include "app/TaskWindow.h"

#include <memory>

class QLineEdit;

namespace Ui {
class AddNewPortfolioWindow;
}

class AddNewPortfolioWindow : public TaskWindow {
    Q_OBJECT

  public:
    explicit AddNewPortfolioWindow(WindowHost& host);
    ~AddNewPortfolioWindow() override;

    QLineEdit* nameField() const { return nameField_; }
    void setNameField(QLineEdit* field) { nameField_ = field; }

  public slots:
    void createNamedPortfolio();
    void cancel();

  private:
    std::unique_ptr<Ui::AddNewPortfolioWindow> ui_;
    QLineEdit* nameField_ = nullptr;
};
