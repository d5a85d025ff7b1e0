#pragma once

// The task windows that exist once per portfolio (the bond editor, the value report) or once in
// all (the redemption date window), so that a second request brings the open one to the front
// and the windows of a deleted portfolio close with it.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

class BondEditingWindow;

class WindowRegistry {
  public:
    // Brings a window to the front; false when it is not open.
    static bool raiseIfOpen(QWidget* window);

    BondEditingWindow* editorOf(const std::string& portfolio) const;
    QWidget* reportOf(const std::string& portfolio) const;
    QWidget* dateWindow() const { return dateWindow_; }

    void addEditor(const std::string& portfolio, BondEditingWindow* editor);
    void addReport(const std::string& portfolio, QWidget* report);
    void setDateWindow(QWidget* window) { dateWindow_ = window; }

    // Closes, without asking, the windows of every portfolio that `exists` denies.
    void closeWindowsOfGonePortfolios(const std::function<bool(const std::string&)>& exists);
    // Asks every shown editor holding unsaved typing what to do with it; false when the user
    // chose to stay.
    bool editorsMayClose();
    // The same for the editor of one portfolio.
    bool editorMayClose(const std::string& portfolio);

  private:
    std::map<std::string, QPointer<BondEditingWindow>> editors_;
    std::map<std::string, QPointer<QWidget>> reports_;
    QPointer<QWidget> dateWindow_;
};
