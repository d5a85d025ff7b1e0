// orvelt-cli: reports, bond list imports and value-table updates on Orvelt's data folder,
// without the window.

#include "cli/CliMain.h"
#include "platform/ApplicationIdentity.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    setApplicationIdentity();
    // The arguments as the bytes given, so that any file name works whatever the locale.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return runCli(arguments, std::cout, std::cerr);
}
