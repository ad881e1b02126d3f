// Starting the player for real: the desktop's opener for a file, or a program of the user's.
#pragma once

#include "app/commands/PlayFiles.h"

namespace wvr {

class DesktopStarter : public ProcessStarter {
public:
    LaunchOutcome OpenWithDefault(const std::string& nativeFile, bool minimized) override;
    LaunchOutcome StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& workingFolder, bool minimized) override;
};

}  // namespace wvr
