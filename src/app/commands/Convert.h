// Converting checked MPEG-bearing files between plain MPEG with an ID3v1 block, RIFF WAVE
// with MPEG data and RIFF RMP3. The new file is written beside the old one under the same
// name with the target's extension and gets the row's tags; the old file is never changed.
#pragma once

#include <string>
#include <vector>

#include "app/commands/Session.h"

namespace wvr {

class Prompter;

enum class ConvertTarget : int { Mp3 = 0, Wave = 1, Rmp3 = 2 };

// Flags of ConvertRow.
inline constexpr int kConvertAnyStream = 1;  // WavCnv: any MPEG stream may go into WAVE
inline constexpr int kConvertQuiet = 2;      // CnvErrOff: no error boxes

inline constexpr const char* kConvertSoftware = "wvr ver 1.10";

// The rows the dialog offers: rows of kind 1, 2 or 3 in list order, the checked ones or,
// with CnvChkOff, every one; also those of kind 4 that the ID3v2 reader read.
std::vector<int> ConvertibleRows(const Session& session);

// Path with the file name's extension replaced by the target's (".mp3", ".wav", ".rmp");
// a name without an extension gives the path itself.
std::string ConvertTargetPath(const std::string& path, ConvertTarget target);

// Writes the row's file in the target form at `targetPath` (CP932). The target only gets its
// name once it is complete; on failure nothing is left at that path (an existing file that
// was to be replaced stays as it was). For WAVE and RMP3 targets the row's software field
// becomes "wvr ver 1.10". Returns 0 on success, anything else on failure.
int ConvertRow(TrackInfo& row, const std::string& targetPath, ConvertTarget target, int flags,
               bool replaceExisting, const GenreTable& genres, Prompter& prompter);

struct ConvertReport {
    std::vector<std::string> written;  // target paths (CP932), in order
    std::vector<std::string> failed;   // FileNames of the rows that could not be converted
};

// The run of the dialog's OK over the rows `collected` (indexes into the list): rows already
// in the target form are skipped; existing targets are replaced only after the Yes/No
// question; the free space is checked; converted rows leave the list, and with CnvEndDel
// their source files are deleted once the new file is complete on disk. Ends with the error
// list or the finish message.
ConvertReport ConvertCommand(Session& session, const std::vector<int>& collected, ConvertTarget target,
                             Prompter& prompter, BusyIndicator* busy);

}  // namespace wvr
