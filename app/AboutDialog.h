#pragma once

// The about box, run modally; its OK ends the modal run and closes it. Closing it any other way
// ends the modal run too.

#include <QDialog>
#include <memory>

namespace Ui {
class AboutWindow;
}

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

  public slots:
    void dismiss();

  private:
    std::unique_ptr<Ui::AboutWindow> ui_;
};
