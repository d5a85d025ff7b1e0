#pragma once

// The about box, run modally; its OK ends the modal run and closes it. Closing it any other way
// ends the modal run too.

#include <QDialog>
#include <memory>

namespace Ui {
class AboutWindow;
}

class AboutWindowController : public QDialog {
    Q_OBJECT

  public:
    explicit AboutWindowController(QWidget* parent = nullptr);
    ~AboutWindowController() override;

  public slots:
    void okPressed();

  private:
    std::unique_ptr<Ui::AboutWindow> ui_;
};
