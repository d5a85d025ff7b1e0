#include "app/WindowRegistry.h"

#include "entry/ui/BondEditingWindow.h"

bool WindowRegistry::raiseIfOpen(QWidget* window) {
    if (window == nullptr || !window->isVisible()) {
        return false;
    }
    window->raise();
    window->activateWindow();
    return true;
}

BondEditingWindow* WindowRegistry::editorOf(const std::string& portfolio) const {
    const auto found = editors_.find(portfolio);
    return found != editors_.end() ? found->second.data() : nullptr;
}

QWidget* WindowRegistry::reportOf(const std::string& portfolio) const {
    const auto found = reports_.find(portfolio);
    return found != reports_.end() ? found->second.data() : nullptr;
}

void WindowRegistry::addEditor(const std::string& portfolio, BondEditingWindow* editor) {
    editors_[portfolio] = editor;
}

void WindowRegistry::addReport(const std::string& portfolio, QWidget* report) {
    reports_[portfolio] = report;
}

void WindowRegistry::closeWindowsOfGonePortfolios(
    const std::function<bool(const std::string&)>& exists) {
    // Nothing such a window shows exists any more.
    for (auto& [name, editor] : editors_) {
        if (editor && !exists(name)) {
            editor->closeWithoutAsking();
        }
    }
    for (auto& [name, report] : reports_) {
        if (report && !exists(name)) {
            report->close();
        }
    }
}

bool WindowRegistry::editorsMayClose() {
    for (const auto& [name, editor] : editors_) {
        if (!editorMayClose(name)) {
            return false;
        }
    }
    return true;
}

bool WindowRegistry::editorMayClose(const std::string& portfolio) {
    const auto found = editors_.find(portfolio);
    if (found == editors_.end() || !found->second || !found->second->isVisible()) {
        return true;
    }
    return found->second->windowShouldClose();
}
