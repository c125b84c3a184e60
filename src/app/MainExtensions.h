#pragma once

// What the main window offers but later units supply: the test tools, the command server and
// the desktop's file type. Start-up installs them before the main window is created, tests
// replace them; one left empty does nothing, and the menu item of a missing tool stays grey.

#include <functional>
#include <string>

namespace vx {

class TMainForm;

struct TMainExtensions {
    // The spreadsheet editor of a test file, shown without waiting for it.
    std::function<void(TMainForm& main, const std::string& path)> EditTestFile;
    // The load-model editor on a chosen file, modal.
    std::function<void(TMainForm& main, const std::string& path)> EditLoadModel;
    // The normaliser of a test file; it saves through the main window's SaveDialog1.
    std::function<void(TMainForm& main, const std::string& path)> NormaliseTest;
    // The test converter, modal.
    std::function<void(TMainForm& main)> ConvertTests;

    std::function<void(TMainForm& main)> StartTcpServer;
    std::function<void(TMainForm& main)> StopTcpServer;

    // The document type the desktop knows the program by, written at every start.
    std::function<void(const std::string& programPath)> RegisterDocumentType;
    // The program as the type's default application: always when forced, else only when the
    // desktop names none.
    std::function<void(bool force)> RegisterFileType;
};

// The program's one set.
TMainExtensions& MainExtensions();

} // namespace vx
