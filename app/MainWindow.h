#pragma once

// The main window: the buttons and the menu bar of the "MainMenu" form around the application
// controller, which is the window's view and receives every command. Closing it ends the
// application.

#include <QMainWindow>
#include <memory>

class MainMenuView;
class QAction;
class QCloseEvent;
class ResourceLocations;
class WindowServices;

namespace Ui {
class MainMenu;
}

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(WindowServices& services, const ResourceLocations& resources,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    MainMenuView* view() const { return view_; }
    Ui::MainMenu& form() const { return *ui_; }
    // Puts the window where it was when the application last ended.
    void restoreSettings();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void connectCommands();
    void addUndoMenu();
    // The View menu; answers its "Value Over Time" item.
    QAction* addViewMenu();
    // Save and Ctrl+S: saves, and the status bar says so when it worked.
    void saveByHand();

    std::unique_ptr<Ui::MainMenu> ui_;
    MainMenuView* view_ = nullptr;
};
