#pragma once

// The toolkit services that only window code asks for, beyond those the core may use: the print
// dialog, which sets up a printer of the toolkit.

#include "platform/ToolkitServices.h"

class QPrinter;

class WindowServices : public ToolkitServices {
  public:
    // Modal print dialog that sets up `printer`; true when the user chose to print.
    virtual bool runPrintDialog(QPrinter& /*printer*/) { return false; }
};
