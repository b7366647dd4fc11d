#pragma once

class QMainWindow;

// The application's delegate: closing the main window quits the program.
class AppDelegate {
  public:
    QMainWindow* window = nullptr;

    void applicationDidFinishLaunching() {}
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
};
