#pragma once

// One running copy per user: a second copy hands its command line to the first and ends, so
// that a document opened from the desktop lands in the window that is already open. The named
// mutex and the broadcast message of the original platform become one per-user local socket.

#include <functional>
#include <string>
#include <vector>

namespace vx {

enum class TInstanceRole {
    First,       // listening for hand-overs
    Independent, // another copy runs and "MultipleInstance" allows this one beside it
    HandedOver,  // the command line went to the first copy: this copy must end at once
};

// Failure set; nothing reads it, it is kept for diagnosis.
enum TSingleInstanceFailure : int {
    sifListen = 1,   // the local server could not listen (no hand-overs received)
    sifLockFile = 2, // the start-up lock could not be taken; the check ran without it
};

// The local server's name: VORNIX_INSTANCE_NAME when set, else "vornix-" and the user id.
std::string InstanceName();
// Where the local server and its lock file lie, private to the user: $XDG_RUNTIME_DIR, else a
// folder "vornix-<uid>" of the temporary folder made 0700 and used only while the user owns it
// and nobody else may write to it (another account's folder of that name is passed over).
std::string InstanceFolder();
std::string InstanceSocketPath();

// The whole check, once, after the application object exists. args are the program path
// and the arguments (cp1252), currentDir the folder against which relative arguments count.
TInstanceRole InitSingleInstance(const std::vector<std::string>& args,
                                 const std::string& currentDir);
// The check itself; copies started together are serialised by a lock file, so exactly one
// of them becomes first. A socket that nobody answers (a crashed copy) is taken over.
TInstanceRole CheckSingleInstance(const std::vector<std::string>& args,
                                  const std::string& currentDir);
bool BecomeFirstInstance();
// False when the first copy could not be reached or did not confirm.
bool SendCommandLineToFirstInstance(const std::string& commandLine);
void DoneSingleInstance();
int SingleInstanceFailures();

// "MultipleInstance" of section "Options" in "sig_gen.ini" beside the program file, read as
// a boolean of the class library: an integer other than 0 is true; missing or not an
// integer, false.
bool MultipleInstancesAllowed(const std::string& programPath);

// The hand-over text: the program path and each argument in double quotes, separated by
// blanks, relative arguments made absolute against currentDir (the receiving copy runs in
// another folder).
std::string HandOverCommandLine(const std::vector<std::string>& args,
                                const std::string& currentDir);

// Receives every hand-over on the GUI thread. Hand-overs that arrive while no receiver is set
// (before the main window exists) wait and are delivered when one is set.
using TCommandLineReceiver = std::function<void(const std::string& commandLine)>;
void SetCommandLineReceiver(TCommandLineReceiver receiver);

} // namespace vx
