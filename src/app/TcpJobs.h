#pragma once

// The command server of the main window: started and stopped through the main window's
// extensions, with the remote jobs its requests queue to the GUI thread.

#include "app/MainExtensions.h"
#include "app/TcpCommands.h"
#include "platform/system/TcpServer.h"

#include <QObject>

#include <deque>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace vx {

class TMainForm;
class TTimer;

// Every wait of the remote jobs, in one place so that tests may shorten them.
struct TTcpIntervals {
    int TimerMs = 1000;   // TCP_Timer and Print_Timer
    int ComposeMs = 2000; // pages composing before the PDF print
    int SettleMs = 2001;  // the driver output left alone before it is copied
    int Retries = 10;     // further checks of the driver output
};
TTcpIntervals& TcpIntervals();

// The server and the remote jobs of one main window, a child of it.
class TTcpJobs : public QObject {
    Q_OBJECT
public:
    explicit TTcpJobs(TMainForm& main);
    ~TTcpJobs() override;

    // The one set of a main window, made on first use.
    static TTcpJobs& Of(TMainForm& main);

    TTcpServer TCPServer1;
    // Tag holds the PDF job's phase, 1 or 2.
    std::unique_ptr<TTimer> TCP_Timer;
    std::unique_ptr<TTimer> Print_Timer;
    int RetryCounter = 0;

    void StartTcpServer();
    void StopTcpServer();

    // GUI thread: runs VRX and OPN at once, puts PDF and PRN at the end of the FIFO.
    void QueueJob(const TRemoteJob& job);
    // A PDF or PRN job running or waiting.
    bool Busy() const { return current_.has_value() || !queue_.empty(); }

    void CreateVrxFromTest(const std::string& testFile, const std::string& configFile);
    void OpenRemoteTest(const std::string& testFile);
    void PrintToPdfPrinter();
    void TCP_TimerTimer();
    void Print_TimerTimer();
    bool ForceForeground(QWidget* window);
    void SetTopMost(bool on);

private:
    void StartNext();
    void EndJob(const std::string& how);

    TMainForm& main_;
    std::deque<TRemoteJob> queue_;
    std::optional<TRemoteJob> current_;
};

// Fills StartTcpServer and StopTcpServer of the given set.
void InstallTcpServer(TMainExtensions& extensions);

} // namespace vx
