#pragma once

// The main window: the menu bar of the "MainMenu" form, a toolbar of its portfolio and bond
// commands, and the list of the open portfolio's bonds, around the main window's view, which
// receives every command and shows the session it is given. Closing it ends the application; its
// size and the list's layout are kept for the next run.

#include <QMainWindow>
#include <memory>

class BondListPanel;
class BondsMenuCommands;
class MainMenuView;
class QAction;
class QCloseEvent;
class QShowEvent;
class ResourceLocations;
class Session;
class WindowServices;

namespace Ui {
class MainMenu;
}

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The session must outlive the window.
    MainWindow(WindowServices& services, Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainMenuView* view() const { return view_; }
    BondListPanel* bondList() const { return bondList_; }
    BondsMenuCommands* bondsCommands() const { return bondsCommands_; }
    Ui::MainMenu& form() const { return *ui_; }
    // Puts the window where it was when the application last ended.
    void restoreSettings();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The first time, keeps the window wholly on its screen once it is framed.
    void showEvent(QShowEvent* event) override;

  private:
    void connectCommands();
    void addUndoMenu();
    // The View menu; answers its "Value Over Time" item.
    QAction* addViewMenu();
    void addToolBarOfCommands();
    // Save and Ctrl+S: saves, and the status bar says so when it worked.
    void saveByHand();
    // The size of the first run, before the user has chosen one.
    QSize firstSize() const;

    std::unique_ptr<Ui::MainMenu> ui_;
    MainMenuView* view_ = nullptr;
    BondListPanel* bondList_ = nullptr;
    BondsMenuCommands* bondsCommands_ = nullptr;
    bool shownBefore_ = false;
};
