#pragma once

// Toolkit services for runs without anyone to answer (benchmarks, fuzzing): nothing is shown
// and every question is declined.

#include "platform/ToolkitServices.h"

// `Base` is ToolkitServices or an interface that extends it (the windows' services).
template <typename Base = ToolkitServices> class SilentServices : public Base {
  public:
    void showErrorAlert(const std::string&, const std::string&) override {}
    int showConfirmation(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return 0;
    }
    std::vector<std::string> chooseFilesToOpen(const OpenFileRequest&) override { return {}; }
    void openUrl(const std::string&) override {}
};

using SilentToolkitServices = SilentServices<>;
