#pragma once

// Keeps a window's placement between runs: its position, size and state, stored per user
// under a key that names a registry root and a subkey. On Linux the registry is a folder of
// INI files below the user's configuration folder, one file per root, one section per key.

#include <QObject>

#include <string>

namespace vx {

enum TMyHKeyType {
    mlHKEY_CURRENT_USER,
    mlHKEY_CLASSES_ROOT,
    mlHKEY_LOCAL_MACHINE,
    mlHKEY_USERS,
    mlHKEY_CURRENT_CONFIG,
    mlHKEY_DYN_DATA,
};

// Owned by the form it keeps. The form is reached through its Qt properties ("pos", "size",
// "minimized", "maximized" and the class library's "WindowState"), so any window will do.
class TmlFormStorage : public QObject {
    Q_OBJECT
public:
    explicit TmlFormStorage(QObject* owner);
    // Writes the placement when Active.
    ~TmlFormStorage() override;

    // After the properties are set: restores a placement stored under the key, when Active.
    void Loaded();

    bool Active = true;
    TMyHKeyType RegRootKey = mlHKEY_CURRENT_USER;
    std::string SubKey;

    // The INI file that stands for a registry root ("HKEY_CURRENT_USER.ini").
    static std::string RootFileName(TMyHKeyType root);

private:
    void Save() const;
};

} // namespace vx
