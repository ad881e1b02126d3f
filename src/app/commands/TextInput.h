// Text input by format: a text file such as an album's track list laid onto the rows in list
// order. Format lines outside braces take values common to all tracks; the lines between
// "{" and "}" are matched against one text line per row, again and again. Named formats are
// kept in "wvr_In.ini".
#pragma once

#include <string>
#include <vector>

#include "app/commands/Session.h"

namespace wvr {

class Prompter;

struct InputFormat {
    std::string name;  // every text CP932
    std::vector<std::string> lines;
    std::string extension;

    bool operator==(const InputFormat&) const = default;
};

// "%3 / %1", "{", "%0.%2", "}" for text files ending in ".txt".
InputFormat DefaultInputFormat();
// "Default", then the stored formats in file order.
std::vector<std::string> InputFormatChoices();
// The format of that name; "Default" or a missing one give the default format.
InputFormat LoadInputFormat(const std::string& name);
// Stores the format under its name (refused: "wvr", "Default"); false after a message when
// nothing was stored.
bool StoreInputFormat(const InputFormat& format, Prompter& prompter);
bool DeleteInputFormat(const std::string& name, Prompter& prompter);

// Lays the text lines onto the rows by the format. Only tag fields change; check marks stay.
// `busy` is told the rows filled so far.
void RunTextInput(RowList& rows, const std::vector<std::string>& format, const std::vector<std::string>& text,
                  BusyIndicator* busy = nullptr);

// Reads the text file (a row path) and runs the format over it; false after a message when
// the file could not be read, with the rows unchanged.
bool TextInputCommand(Session& session, const std::vector<std::string>& format, const std::string& textPath,
                      Prompter& prompter, BusyIndicator* busy = nullptr);

}  // namespace wvr
