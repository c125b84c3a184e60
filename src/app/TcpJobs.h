#pragma once

// The command server of the main window: started and stopped through the main window's
// extensions, with the remote jobs its requests queue to the GUI thread.

#include "app/MainExtensions.h"
#include "app/TcpCommands.h"
#include "platform/system/TcpServer.h"

#include <QObject>

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class QWidget;

namespace vx {

class TMainForm;
class TTimer;

// Every wait of the remote jobs, in one place so that tests may shorten them. A wait for a
// condition ends as soon as it holds; these are its upper bounds.
struct TTcpIntervals {
    int TimerMs = 1000;   // Print_Timer, and between checks of the driver output
    int ComposeMs = 2000; // pages composing before the PDF print
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

    // Puts the job at the end of the one FIFO of remote jobs; it starts on a later turn of the
    // event loop once every job before it has ended. Any thread.
    void QueueJob(const TRemoteJob& job);
    // Connection threads: holds a place in the FIFO for a job about to be answered, false
    // when kMaxWaitingJobs already wait (a refused OPN or PRN is logged).
    bool Reserve(const TRemoteJob& job);
    // A job running or waiting.
    bool Busy() const;

    void CreateVrxFromTest(const std::string& testFile, const std::string& configFile);
    void OpenRemoteTest(const std::string& testFile);
    void PrintToPdfPrinter();
    void TCP_TimerTimer();
    void Print_TimerTimer();
    bool ForceForeground(QWidget* window);
    void SetTopMost(bool on);

private:
    // GUI thread: starts the first waiting job unless one runs; events processed inside a job
    // call it too, and then it does nothing.
    void StartNext();
    void ScheduleNext();
    void EndJob(const std::string& how);

    TMainForm& main_;
    mutable std::mutex queueMutex_; // guards queue_ and reserved_
    std::deque<TRemoteJob> queue_;
    size_t reserved_ = 0; // places held by connection threads between the reply and the job
    std::optional<TRemoteJob> current_;
    bool builtInOutput_ = false; // the PDF job printed to the built-in printer
};

// Fills StartTcpServer and StopTcpServer of the given set.
void InstallTcpServer(TMainExtensions& extensions);

} // namespace vx
