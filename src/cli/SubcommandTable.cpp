// The table of wvr-cli's subcommands: name, usage line, summary, help text and routine each.
#include "cli/Subcommands.h"

namespace wvr::cli {

namespace {

constexpr SubcommandEntry kSubcommands[] = {
    {"list", "list [--yes] PATH...", "print the rows the program shows for the paths",
     R"(Prints the rows the program would show for PATH..., read with the program's settings as
when the paths are given on its command line (the file-name filter applies when it is on).
A folder's entries, and a wildcard's matches, come in name order with letters compared
regardless of case ("a.mp3", "B", "c.mp3"), each sub-folder's files at its place.

One line per row, tab-separated: FileName, the 17 tag fields, AudioSize, Path, Kind, InfoText,
Seconds, converted from CP932 to UTF-8, with "\" written as "\\", tab as "\t", CR as "\r", LF
as "\n" and a byte CP932 cannot decode as "\xNN".

Options:
  --yes   answer Yes to the program's questions (removing a MacBinary header); without it, No
  --help  show this help

Exit status:
  0  the rows were printed
  1  a PATH names nothing (said on stderr)
  2  bad arguments: an unknown option or no PATH)",
     ListCommand},
    {"rename", "rename [--yes] [--pattern P] [--write] PATH...",
     "new file names from the tags; with --write, write and rename",
     R"(Gives every row of PATH... a new file name from its tags, by the rename pattern in use and
the settings' exception rules and name options, and prints the rows with the new name in the
first column. Nothing changes on disk unless --write is given: then every row is written as
"write" does, its tags into its file, and the file is moved to its new name (with its lyrics
file when the settings say so).

Options:
  --pattern P  the macro pattern to use, for example "[%1] %2%e", instead of the selected one
  --write      write the tags and rename the files on disk
  --yes        answer Yes to the program's questions; without it, No
  --help       show this help

Exit status:
  0  the names were printed; with --write, every file was written and renamed
  1  a PATH names nothing, or with --write: some file could not be written or renamed (said on stderr)
  2  bad arguments: an unknown option, no PATH, a pattern CP932 cannot hold)",
     RenameFilesCommand},
    {"write", "write [--yes] PATH...", "write the tags of the files back as they were read",
     R"(Writes the tags of every row of PATH... back into its file as they were read, with the
program's settings: an ID3v1 block for MPEG files, the INFO list for RMP3 and WAVE files, the
header chunks for SoundVQ files; each file keeps its last-write time. Then prints the rows.
Running it is the go-ahead: the count question is not asked. A file the writer refuses (an
ID3v2 tag, a layout it cannot rewrite without changing other data) stays as it was.

Options:
  --yes   answer Yes to the program's questions; without it, No
  --help  show this help

Exit status:
  0  every row was written
  1  some row was not written, or a PATH names nothing (said on stderr)
  2  bad arguments: an unknown option or no PATH)",
     WriteFilesCommand},
    {"csv-save", "csv-save [--yes] [--utf8] [--header] OUT PATH...", "save the rows of the paths as a CSV file",
     R"(Writes the CSV file OUT of the rows that "list" gives for PATH..., as the program's CSV
save does: in the column order of "wvr.ini" (section "wvr_csv"; without one: path, Kind
and the 17 tag fields), every value in double quotes or, with the spreadsheet style of the
settings, only those that would not read back bare: holding a comma, a space, a tab or
another byte below 33, or beginning with a double quote; paths relative to OUT's folder
when the settings say so. CP932, CR LF after every line, no header line, unless the settings
or the options below say otherwise. The texts are trimmed first; a value that ends in the
first byte of a double-byte character (a text cut mid-character) loses that byte.
OUT is written beside itself and renamed into place, so a failed write leaves no half file;
an existing OUT in a folder that lets no new file be made is written where it is.

Options:
  --utf8    write UTF-8 with a byte-order mark, as spreadsheets open it without asking
  --header  write a first line of column names (the option dialog's names)
  --yes     answer Yes to the program's questions; without it, No
  --help    show this help

Exit status:
  0  the file was written
  1  the file could not be written, or a PATH names nothing (said on stderr)
  2  bad arguments: an unknown option, no OUT or no PATH, an OUT also read)",
     CsvSaveCommand},
    {"csv-load", "csv-load [--yes] [--write] CSV...", "the rows that CSV files give; with --write, write them",
     R"(Reads the CSV files in order as the program's CSV load does, with its settings: with a
path column, each line whose file is a music file becomes a row with the line's texts (the
file's own tags are not read; the play time is 0); without one, line i is laid onto row i,
which here has no rows to meet. Prints the rows. A line whose file is missing or not a music
file is named on stderr. A file that begins with a UTF-8 byte-order mark (csv-save --utf8,
a spreadsheet) is read as UTF-8 by RFC 4180, where a space belongs to an unquoted value ("?"
for a character CP932 lacks, said once per file); other files by the program's comma-text
rules. A first line that is the header csv-save writes is skipped. Lines with more values than
columns hold texts in the wrong columns: they are named on stderr, and the files are loaded
only with --yes. With --write the rows are then written into their files as "write" does;
nothing is written when a file or a line could not be read or has more values than columns.

Options:
  --write  write the rows' tags into their files
  --yes    answer Yes to the program's questions (loading lines with more values than columns); without it, No
  --help   show this help

Exit status:
  0  every file and line was read (and with --write, every row written)
  1  a CSV file, a line or a row could not be read or written, or a line has more values than columns (said on stderr)
  2  bad arguments: an unknown option or no CSV)",
     CsvLoadCommand},
    {"export", "export [--yes] [--set NAME] OUT PATH...", "write the rows of the paths through a template",
     R"(Writes the rows that "list" gives for PATH... into OUT through a header, a body per row and a
footer, as the program's file output does: the Default set (an HTML table of title, artist,
album and file name, the values' <, >, & and double quotes written as HTML references) or the
set of "wvr.ini" named by --set (escaped so only when stored so). Says that the output of OUT
is finished, on stderr, when done.

Options:
  --set NAME  the stored template set to use (letter case ignored)
  --yes       answer Yes to the program's questions; without it, No
  --help      show this help

Exit status:
  0  the file was written
  1  the file could not be written, or a PATH names nothing (said on stderr)
  2  bad arguments: an unknown option, a set not stored, no OUT or no PATH, an OUT also read)",
     ExportCommand},
    {"from-name", "from-name [--yes] [--pattern P] [--dir-pattern P] [--write] PATH...",
     "tags from the file names; with --write, write them",
     R"(Reads the fields of every row of PATH... out of its file name, and out of the name of its
folder, by patterns such as "[%1]%?%2", as the program's tags from file names do: the stored
file-name pattern, and the folder pattern when the stored settings use it, unless given here;
overwriting, "_" to space and half-width letters as stored. Prints the rows. The run stops at
the first name that does not match, named on stderr, and then nothing is written.

Options:
  --pattern P      the file-name pattern to use
  --dir-pattern P  the folder-name pattern to use (the folder name is then read too)
  --write          write the rows' tags into their files
  --yes            answer Yes to the program's questions; without it, No
  --help           show this help

Exit status:
  0  every name matched (and with --write, every row was written)
  1  a name did not match, a row could not be written, or a PATH names nothing (said on stderr)
  2  bad arguments: an unknown option, no PATH, a pattern CP932 cannot hold)",
     FromNameCommand},
    {"text-input", "text-input [--yes] [--format NAME] [--write] TEXTFILE PATH...",
     "lay a text file onto the rows by a format; with --write, write them",
     R"(Lays TEXTFILE, such as an album's track list, onto the rows of PATH... in order, as the
program's text input does: by the Default format ("%3 / %1" for album and artist, then
"%0.%2" for one title a line) or the format of "wvr_In.ini" named by --format. Prints the rows.
A TEXTFILE in UTF-8 (with a byte-order mark, or valid UTF-8 holding non-ASCII bytes) is read
as such.

Options:
  --format NAME  the stored input format to use (letter case ignored)
  --write        write the rows' tags into their files
  --yes          answer Yes to the program's questions; without it, No
  --help         show this help

Exit status:
  0  the text file was read (and with --write, every row was written)
  1  the text file could not be read, a row could not be written, or a PATH names nothing (said on stderr)
  2  bad arguments: an unknown option, a format that is not stored, no TEXTFILE or no PATH)",
     TextInputFileCommand},
    {"convert", "convert --to mp3|wav|rmp3 [--delete-source] [--yes] PATH...",
     "convert MP3, RMP3 and WAVE files into another of these forms",
     R"(Converts every row of PATH... that holds MPEG audio (plain MP3, RMP3, WAVE-wrapped MPEG)
into the form named by --to, as the conversion dialog does with the program's settings: "mp3"
a plain MPEG file with an ID3v1 block, "wav" a RIFF WAVE file, "rmp3" a RIFF RMP3 file, each
carrying the row's tags. The audio bytes are carried over unchanged; a stream other than MPEG-1
layer III at 128 kbit/s and 44.1 kHz goes into WAVE only when the setting WavCnv is on. The new
file is written beside its source under the target's extension and gets its name only when it
is complete; an existing file of that name is kept (the overwrite question is answered No), or
replaced with --yes. Prints the path of each new file. Rows already in the target form need
nothing.

Options:
  --to mp3|wav|rmp3  the target form
  --delete-source    delete each source once its new file is complete on disk
  --yes              replace an existing file of the new file's name; without it, it is kept
  --help             show this help

Exit status:
  0  every row was converted or was in the target form already
  1  some row was not converted, or a PATH names nothing (each such file named on stderr)
  2  bad arguments: an unknown option or target, or no PATH)",
     ConvertFilesCommand},
    {"fill", "fill --field K --text T [--front|--back] [--write] PATH...",
     "put one text into one tag field of every row",
     R"(Puts the text T into the tag field K of every row of PATH..., as the fill dialog does, and
prints the rows. K counts as the dialog lists the fields: 0 title, 1 artist, 2 album, 3 comment,
4 date, 5 genre, 6 copyright, 7 engineer, 8 source, 9 software, 10 keywords, 11 technician,
12 lyrics, 13 commission. With the setting FilUseMcr on (the default) T is expanded by the
field macros for each row first ("%2" title, "%1" artist, "%n" the row's number from 01...).

Options:
  --field K  the field, 0 to 13
  --text T   the text
  --front    put T in front of the field's text instead of replacing it
  --back     put T after the field's text instead of replacing it
  --write    also write the rows into their files, as "write" does
  --help     show this help

Exit status:
  0  the rows were filled (and with --write, written)
  1  a PATH names nothing, or with --write: some row could not be written (said on stderr)
  2  bad arguments: an unknown option, a field out of range, --front with --back, no PATH)",
     FillFilesCommand},
    {"find", "find [--match-case] TEXT PATH...", "print the rows whose name or tags hold a text",
     R"(Prints, in list order, the rows of PATH... whose file name or any of the 17 tag fields holds
TEXT, compared byte for byte in CP932 as the find dialog does: a match starts only where a
character starts, and without --match-case an ASCII letter also matches its other case (no
other letters are folded).

Options:
  --match-case  tell capital and small ASCII letters apart
  --help        show this help

Exit status:
  0  at least one row holds TEXT
  1  no row holds it, or a PATH names nothing (said on stderr)
  2  bad arguments: an unknown option, an empty TEXT, no PATH)",
     FindRowsCommand},
    {"select", "select (--minutes N | --kb N) [--seed S] [--extended] [-o OUT.m3u] PATH...",
     "draw files at random until a play time or a size is filled",
     R"(Draws the rows of PATH... in random order and keeps each one that still fits into the budget:
N minutes of play time (--minutes) or N kilobytes of file size (--kb; files that are not found
are left out), as the select dialog does. Prints the chosen rows in the order they were taken
and, with -o, writes their paths as a playlist, one per line ended by CR LF, each named as the
file system names it (UTF-8), as players expect; with --extended, or when the select
dialog's setting SelExtM3u is on, as an extended M3U. The same seed gives the same choice;
without --seed the clock seeds the draw.

Options:
  --minutes N  the play time to fill, 0 to 2097152 minutes
  --kb N       the size to fill, 0 to 2097152 kilobytes
  --seed S     the seed of the draw, 0 to 4294967295
  -o OUT.m3u   write the choice as a playlist
  --extended   write it as an extended M3U: "#EXTM3U", then "#EXTINF:seconds,artist - title" before each file
  --help       show this help

Exit status:
  0  the choice was printed (and written)
  1  the playlist could not be written, or a PATH names nothing (said on stderr)
  2  bad arguments: not exactly one of --minutes and --kb, a value out of range, no PATH, an OUT also read)",
     SelectFilesCommand},
    {"id3v2", "id3v2 [--v24] [--yes] PATH...", "give MPEG files an ID3v2 tag that holds their texts in Unicode",
     R"(Writes an ID3v2 tag holding the texts of each row of PATH... that is a plain MPEG file or one
with an ID3v2 tag, as the main window's command in the tool menu does. Every file is read with the
ID3v2 reader (ID3v2.4 included), whatever the setting. A plain file gets a new tag of the
configured version (ID3v2.3 with UTF-16 texts unless the settings say ID3v2.4) before its audio,
its ID3v1 block and audio bytes kept; an ID3v1.1 track number becomes TRCK. A file with a tag
keeps its version, its ID3v1 block and every frame the program does not show, byte for byte; its
frames marked Latin-1 are rewritten in Unicode when the tag's texts, taken together, read as
Shift-JIS. Where that reading is uncertain the frames stay as they are and the file is named.
Each file keeps its last-write time. Then prints the rows as they now read. Files of other kinds
are left as they are. Running it is the go-ahead: the count question is not asked.

Options:
  --v24   make new tags ID3v2.4 with UTF-8 texts
  --yes   answer Yes to the program's questions; without it, No
  --help  show this help

Exit status:
  0  every plain MPEG file and every file with an ID3v2 tag was written
  1  some file could not be written (said on stderr)
  2  bad arguments: an unknown option or no PATH)",
     Id3v2TagCommand},
    {"undo", "undo [--list] [--show RUN] [RUN...]", "take back a run that wrote files, from the write journal",
     R"(Every run of a command that changes files (write, rename, fill, from-name, text-input and
csv-load with --write, convert with --delete-source, id3v2, and the window's commands) is kept
in the write journal ($XDG_STATE_HOME/brambly/journal/, by default ~/.local/state/brambly/journal/):
for each file, before it changes, the bytes the write replaces and its old name. Without
options, takes back RUN... (newest first; without RUN, the newest run not yet taken back):
each file gets back its bytes, its name and its last-write time, rebuilt whole beside itself.
A file whose changed bytes are no longer those the run wrote was changed since: it is named
and left. A run that was killed half-way (its entry still open) is taken back wholly: a write
cut short is put back to its old bytes. Taking back is itself a run, and can be taken back.
The journal keeps runs for 30 days and up to 200 MB (the options dialog's last page); a run
that would outgrow that stops before its first change unless --no-undo is given before the
subcommand, which lets it go on without undo.

--list prints one line per run, newest first, tab-separated: the run's id, its time, the
command, the number of files, and "undoable", "undone", "interrupted", "running" or
"not undoable".
--show RUN prints what the run changed, one line per file and field, tab-separated: the path,
the field, the old text and the new text; for a rename the path, the name column, the old and
new name.

Options:
  --list      list the runs in the journal
  --show RUN  show what a run changed
  --help      show this help

Exit status:
  0  every file of the runs was taken back (or the list was printed)
  1  some file was left, or a RUN is not in the journal or not undoable (said on stderr)
  2  bad arguments: an unknown option)",
     UndoRunsCommand},
};

}  // namespace

std::span<const SubcommandEntry> Subcommands() { return kSubcommands; }

}  // namespace wvr::cli
