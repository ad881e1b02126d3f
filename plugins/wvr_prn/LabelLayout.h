// The label of a CD jewel case: the front insert (album and artist) and the back tray card
// (numbered tracks with their play times, the total, and both spines), laid out on A4 paper
// with cut lines. Tracks that do not fit on the back card continue on booklet pages.
#pragma once

#include <QString>
#include <QVector>

class QPainter;
class QPrinter;

namespace wvr {
class PrintHost;
}

namespace wvr::label {

struct Track {
    QString title;
    QString artist;
    int seconds = 0;
};

struct LabelData {
    QString album;
    QString artist;
    QVector<Track> tracks;
};

// The tracks of the rows: the checked rows when `checkedOnly` and some row is checked,
// otherwise every row. Album and artist are those most rows share.
LabelData LabelDataFrom(const PrintHost& host, bool checkedOnly);

// "m:ss" (or "h:mm:ss"); empty for no time.
QString PlayTimeText(int seconds);

// Sizes in millimetres.
inline constexpr double kFrontWidth = 120.0;
inline constexpr double kFrontHeight = 120.0;
inline constexpr double kBackWidth = 151.0;
inline constexpr double kBackHeight = 118.0;
inline constexpr double kSpineWidth = 6.5;

// How many pages the label takes: the insert and the back card on the first, then one
// booklet page per further block of tracks.
int PageCount(const LabelData& data);

// Paints every page onto a printer that is set to A4, full page; false when the printer
// could not be opened.
bool PaintLabel(const LabelData& data, QPrinter& printer);
// Sets a printer up for the label: A4 portrait, the whole sheet addressable.
void PreparePrinter(QPrinter& printer);
// Writes the label as a PDF file; false when it cannot be written.
bool SaveLabelPdf(const LabelData& data, const QString& path);

}  // namespace wvr::label
