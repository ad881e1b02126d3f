#include "wvr_prn/LabelLayout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "app/PrintHost.h"

namespace wvr::label {
namespace {

// Where the pieces sit on the A4 sheet (millimetres).
constexpr double kSheetWidth = 210.0;
constexpr double kFrontTop = 18.0;
constexpr double kBackTop = kFrontTop + kFrontHeight + 12.0;
constexpr double kLineHeight = 3.8;
constexpr int kBackLinesPerColumn = 22;
// A short album is set larger, in one column.
constexpr double kLooseLineHeight = 4.8;
constexpr int kLooseLines = 18;
constexpr int kBookletLinesPerColumn = 25;
constexpr int kBackCapacity = 2 * kBackLinesPerColumn;
constexpr int kBookletCapacity = 2 * kBookletLinesPerColumn;

const QColor kCutLine(150, 150, 150);
const QColor kGrey(90, 90, 90);

QString MostCommon(const QVector<QString>& texts) {
    QHash<QString, int> counts;
    QString best;
    for (const QString& t : texts) {
        if (t.isEmpty()) continue;
        // The first of equally common texts wins: the list's order decides.
        if (++counts[t] > counts.value(best)) best = t;
    }
    return best;
}

// Millimetres to the printer's device pixels.
class Sheet {
public:
    Sheet(QPainter& painter, const QPrinter& printer) : p(painter), scale_(printer.resolution() / 25.4) {}

    QRectF Rect(double x, double y, double w, double h) const { return {x * scale_, y * scale_, w * scale_, h * scale_}; }
    double Px(double mm) const { return mm * scale_; }

    void Font(double points, bool bold = false, const QColor& color = Qt::black) {
        QFont font = p.font();
        font.setPointSizeF(points);
        font.setBold(bold);
        p.setFont(font);
        p.setPen(color);
    }
    void Text(double x, double y, double w, double h, const QString& text, int flags = Qt::AlignLeft | Qt::AlignVCenter) {
        const QRectF r = Rect(x, y, w, h);
        const QString shown =
            flags & Qt::TextWordWrap ? text : p.fontMetrics().elidedText(text, Qt::ElideRight, static_cast<int>(r.width()));
        p.drawText(r, flags, shown);
    }
    void CutRect(double x, double y, double w, double h) {
        p.setPen(QPen(kCutLine, Px(0.15)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(Rect(x, y, w, h));
    }
    void FoldLine(double x, double y, double h) {
        p.setPen(QPen(kCutLine, Px(0.15), Qt::DashLine));
        p.drawLine(QPointF(Px(x), Px(y)), QPointF(Px(x), Px(y + h)));
    }

    QPainter& p;

private:
    double scale_;
};

int TotalSeconds(const LabelData& data) {
    int total = 0;
    for (const Track& t : data.tracks) total += std::max(0, t.seconds);
    return total;
}

QString Summary(const LabelData& data) {
    return QStringLiteral("%1 曲  %2").arg(data.tracks.size()).arg(PlayTimeText(TotalSeconds(data)));
}

void PaintFront(Sheet& s, const LabelData& data) {
    const double x = (kSheetWidth - kFrontWidth) / 2;
    const double y = kFrontTop;
    s.CutRect(x, y, kFrontWidth, kFrontHeight);
    s.Font(20, true);
    s.Text(x + 10, y + 25, kFrontWidth - 20, 50, data.album, Qt::AlignCenter | Qt::TextWordWrap);
    s.Font(13);
    s.Text(x + 10, y + 78, kFrontWidth - 20, 16, data.artist, Qt::AlignCenter | Qt::TextWordWrap);
    s.Font(8, false, kGrey);
    s.Text(x + 10, y + kFrontHeight - 12, kFrontWidth - 20, 6, Summary(data), Qt::AlignCenter);
}

// One track line: number, title (and the track's own artist when it differs), play time.
void PaintTrack(Sheet& s, const LabelData& data, int index, double x, double y, double width, double height) {
    const Track& t = data.tracks[index];
    QString title = t.title;
    if (!t.artist.isEmpty() && t.artist != data.artist) title += QStringLiteral(" / ") + t.artist;
    s.Text(x, y, 8, height, QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0')));
    s.Text(x + 8, y, width - 8 - 14, height, title);
    s.Text(x + width - 13, y, 13, height, PlayTimeText(t.seconds), Qt::AlignRight | Qt::AlignVCenter);
}

// Tracks [first, first + count) in one or two columns of `linesPerColumn`.
void PaintTrackList(Sheet& s, const LabelData& data, int first, int count, double x, double y, double width,
                    int linesPerColumn) {
    const bool loose = count <= kLooseLines;
    const double height = loose ? kLooseLineHeight : kLineHeight;
    s.Font(loose ? 9 : 7.5);
    const bool twoColumns = count > linesPerColumn;
    const double columnWidth = twoColumns ? (width - 6) / 2 : width;
    for (int i = 0; i < count; ++i) {
        const int column = i / linesPerColumn;
        const int line = i % linesPerColumn;
        PaintTrack(s, data, first + i, x + column * (columnWidth + 6), y + line * height, columnWidth, height);
    }
}

void PaintSpine(Sheet& s, const QString& text, double x, double y, bool upwards) {
    s.p.save();
    const QRectF spine = s.Rect(x, y, kSpineWidth, kBackHeight);
    s.p.translate(spine.center());
    s.p.rotate(upwards ? -90 : 90);
    s.Font(7, true);
    const QRectF along(-spine.height() / 2, -spine.width() / 2, spine.height(), spine.width());
    s.p.drawText(along, Qt::AlignCenter, s.p.fontMetrics().elidedText(text, Qt::ElideRight, int(along.width() - s.Px(6))));
    s.p.restore();
}

void PaintBack(Sheet& s, const LabelData& data) {
    const double x = (kSheetWidth - kBackWidth) / 2;
    const double y = kBackTop;
    s.CutRect(x, y, kBackWidth, kBackHeight);
    s.FoldLine(x + kSpineWidth, y, kBackHeight);
    s.FoldLine(x + kBackWidth - kSpineWidth, y, kBackHeight);
    const QString spineText = data.artist.isEmpty() ? data.album : data.artist + QStringLiteral("  ") + data.album;
    PaintSpine(s, spineText, x, y, true);
    PaintSpine(s, spineText, x + kBackWidth - kSpineWidth, y, false);

    const double left = x + kSpineWidth + 4;
    const double width = kBackWidth - 2 * kSpineWidth - 8;
    s.Font(10, true);
    s.Text(left, y + 5, width, 6, data.album);
    s.Font(8, false, kGrey);
    s.Text(left, y + 11, width, 5, data.artist);
    s.p.setPen(QPen(kGrey, s.Px(0.2)));
    s.p.drawLine(QPointF(s.Px(left), s.Px(y + 17.5)), QPointF(s.Px(left + width), s.Px(y + 17.5)));
    PaintTrackList(s, data, 0, std::min<int>(data.tracks.size(), kBackCapacity), left, y + 20, width,
                   kBackLinesPerColumn);
    s.Font(8, false, kGrey);
    s.Text(left, y + kBackHeight - 9, width, 5, Summary(data), Qt::AlignRight | Qt::AlignVCenter);
}

// A booklet page for the tracks the back card has no room for.
void PaintBooklet(Sheet& s, const LabelData& data, int first) {
    const double x = (kSheetWidth - kFrontWidth) / 2;
    const double y = kFrontTop;
    s.CutRect(x, y, kFrontWidth, kFrontHeight);
    s.Font(9, true);
    s.Text(x + 6, y + 5, kFrontWidth - 12, 6, data.album + QStringLiteral(" (続き)"));
    const int count = std::min<int>(data.tracks.size() - first, kBookletCapacity);
    PaintTrackList(s, data, first, count, x + 6, y + 14, kFrontWidth - 12, kBookletLinesPerColumn);
}

}  // namespace

QString PlayTimeText(int seconds) {
    if (seconds <= 0) return {};
    const int h = seconds / 3600;
    const int m = seconds / 60 % 60;
    const int sec = seconds % 60;
    if (h > 0) return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(sec, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(sec, 2, 10, QLatin1Char('0'));
}

LabelData LabelDataFrom(const PrintHost& host, bool checkedOnly) {
    bool anyChecked = false;
    for (int row = 0; row < host.RowCount() && !anyChecked; ++row) anyChecked = host.RowChecked(row);
    LabelData data;
    QVector<QString> albums;
    QVector<QString> artists;
    for (int row = 0; row < host.RowCount(); ++row) {
        if (checkedOnly && anyChecked && !host.RowChecked(row)) continue;
        Track t;
        t.title = host.RowText(row, PrintHost::Title);
        if (t.title.isEmpty()) t.title = host.RowText(row, PrintHost::FileName);
        t.artist = host.RowText(row, PrintHost::Artist);
        t.seconds = host.RowText(row, PrintHost::Seconds).toInt();
        data.tracks.push_back(t);
        albums.push_back(host.RowText(row, PrintHost::Album));
        artists.push_back(t.artist);
    }
    data.album = MostCommon(albums);
    data.artist = MostCommon(artists);
    return data;
}

int PageCount(const LabelData& data) {
    const int rest = std::max<int>(0, data.tracks.size() - kBackCapacity);
    return 1 + (rest + kBookletCapacity - 1) / kBookletCapacity;
}

void PreparePrinter(QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
}

bool PaintLabel(const LabelData& data, QPrinter& printer) {
    QPainter painter(&printer);
    if (!painter.isActive()) return false;
    Sheet sheet(painter, printer);
    PaintFront(sheet, data);
    PaintBack(sheet, data);
    for (int first = kBackCapacity; first < data.tracks.size(); first += kBookletCapacity) {
        printer.newPage();
        PaintBooklet(sheet, data, first);
    }
    return painter.end();
}

bool SaveLabelPdf(const LabelData& data, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setCreator(QStringLiteral("wvr"));
    printer.setDocName(data.album);
    PreparePrinter(printer);
    return PaintLabel(data, printer);
}

}  // namespace wvr::label
