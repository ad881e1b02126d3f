// A settings store and ini folder of the test's own: XDG_CONFIG_HOME and the store's path
// point into a fresh temporary folder, for this process and for any wvr-cli it starts.
#pragma once

#include <QSettings>
#include <cstdlib>
#include <string>

#include "support/TestSupport.h"

namespace wvr::test {

class IsolatedConfig {
public:
    IsolatedConfig() {
        ::setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
        // The store keeps the folder it found first; tell it the new one.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir_.path()));
    }
    const std::string& path() const { return dir_.path(); }
    std::string operator/(const std::string& name) const { return dir_ / name; }

private:
    TempDir dir_;
};

}  // namespace wvr::test
