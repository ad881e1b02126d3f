// Every file of the corpus, added on its own, gives the row its MANIFEST describes: kind,
// audio size, play time, property text and all 17 tag texts (or no row at all); the play time
// and rates of a RIFF file also as the peer readings of ORACLES give them, where they agree.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "app/commands/AddFiles.h"
#include "platform/base/Cp932.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

constexpr const char* kFieldNames[kFieldCount] = {
    "Title",   "Artist",   "Album",      "Comment", "Date",       "Genre",  "Copyright", "Engineer", "Source",
    "Software", "Keywords", "Technician", "Lyrics",  "Commission", "Medium", "Subject",   "MP3field"};

struct ManifestRow {
    std::string file;  // relative to the corpus
    int kind = 0;
    std::string audioSize, seconds, infoText;
    // Each text as UTF-8 (bytes CP932 cannot decode written \xNN) and, when listed, its raw bytes.
    std::array<std::string, kFieldCount> texts;
    std::array<std::optional<std::string>, kFieldCount> raw;
};

void PrintTo(const ManifestRow& row, std::ostream* out) { *out << row.file; }

std::string Text(const QJsonValue& value) {
    return value.isDouble() ? std::to_string(value.toInteger()) : value.toString().toStdString();
}

std::vector<ManifestRow> ReadManifest(const std::string& folder) {
    const std::string json = test::ReadFile(test::CorpusPath(folder + "MANIFEST.json"));
    std::vector<ManifestRow> rows;
    for (const QJsonValue& entry : QJsonDocument::fromJson(QByteArray::fromStdString(json)).array()) {
        const QJsonObject o = entry.toObject();
        ManifestRow row;
        row.file = folder + Text(o["file"]);
        row.kind = o["kind"].toInt();
        row.audioSize = Text(o["AudioSize"]);
        row.seconds = Text(o["Seconds"]);
        row.infoText = Text(o["InfoText"]);
        const QJsonObject hex = o["_hex"].toObject();
        for (int i = 0; i < kFieldCount; ++i) {
            row.texts[i] = Text(o[kFieldNames[i]]);
            if (hex.contains(kFieldNames[i]))
                row.raw[i] = QByteArray::fromHex(hex[kFieldNames[i]].toString().toLatin1()).toStdString();
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<ManifestRow> WholeCorpus() {
    std::vector<ManifestRow> rows = ReadManifest("");
    std::vector<ManifestRow> thirdParty = ReadManifest("thirdparty/");
    rows.insert(rows.end(), thirdParty.begin(), thirdParty.end());
    return rows;
}

// What the peers that read MPEG inside RIFF (ffprobe, exiftool, mediainfo; mutagen reads a
// WAVE file's MPEG format chunk as PCM) say of a RIFF file: the whole seconds when at least two
// read it and all agree, and ffprobe's bit rate and sampling rate as the property text writes
// them ("128kbit", "44.1KHz").
struct PeerReading {
    std::optional<long long> seconds;
    std::vector<std::string> rates;
};

std::map<std::string, PeerReading> PeerReadingsOfRiffFiles() {
    const std::string json = test::ReadFile(test::CorpusPath("ORACLES.json"));
    std::map<std::string, PeerReading> readings;
    for (const QJsonValue& entry : QJsonDocument::fromJson(QByteArray::fromStdString(json)).array()) {
        const QJsonObject o = entry.toObject();
        if (o["kind"].toInt() != 2 && o["kind"].toInt() != 3) continue;
        PeerReading& peer = readings[o["file"].toString().toStdString()];
        std::set<long long> whole;
        int durations = 0;
        for (const QJsonValue& duration : {o["ffprobe"]["duration"], o["exiftool"]["Composite:Duration"],
                                           o["mediainfo"]["General"]["Duration"]}) {
            if (duration.isUndefined()) continue;
            ++durations;
            whole.insert(static_cast<long long>(duration.isDouble() ? duration.toDouble() : duration.toString().toDouble()));
        }
        if (durations >= 2 && whole.size() == 1) peer.seconds = *whole.begin();
        const QJsonValue stream = o["ffprobe"]["streams"][0];
        if (stream.isObject()) {
            peer.rates.push_back(std::to_string(stream["bit_rate"].toString().toInt() / 1000) + "kbit");
            peer.rates.push_back(QString::number(stream["sample_rate"].toString().toInt() / 1000.0).toStdString() + "KHz");
        }
    }
    return readings;
}

std::string TestName(const ::testing::TestParamInfo<ManifestRow>& info) {
    std::string name;
    for (char c : info.param.file) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

class CorpusRowTest : public ::testing::TestWithParam<ManifestRow> {};

}  // namespace

TEST_P(CorpusRowTest, MatchesTheManifest) {
    const ManifestRow& expected = GetParam();
    test::TempDir dir;
    const std::string path = test::CopyCorpusFile(expected.file, dir);
    Session session;
    test::ScriptedPrompter prompter;  // answers Yes: MacBinary files are unwrapped
    WorkList work = {path};
    AddFiles(session, work, {}, prompter);

    if (expected.kind == 0) {
        EXPECT_TRUE(session.rows.empty()) << "listed as " << session.rows[0].InfoText;
        return;
    }
    ASSERT_EQ(session.rows.size(), 1);
    const TrackInfo& row = session.rows[0];
    EXPECT_EQ(row.Kind, std::to_string(expected.kind));
    EXPECT_EQ(row.FileName, std::filesystem::path(path).filename().string());
    EXPECT_EQ(row.Path, path);

    EXPECT_EQ(row.AudioSize, expected.audioSize);
    EXPECT_EQ(row.Seconds, expected.seconds);
    EXPECT_EQ(cp932::ToUtf8(row.InfoText), expected.infoText);
    static const std::map<std::string, PeerReading> peerReadings = PeerReadingsOfRiffFiles();
    if (auto peer = peerReadings.find(expected.file); peer != peerReadings.end()) {
        if (peer->second.seconds) {
            EXPECT_EQ(row.Seconds, std::to_string(*peer->second.seconds)) << "as the peers read";
        }
        for (const std::string& rate : peer->second.rates)
            EXPECT_NE(row.InfoText.find(rate), std::string::npos) << row.InfoText << " lacks the peers' " << rate;
    }
    // A text matches as the MANIFEST renders it or as the raw bytes it lists: converters render
    // the bytes 0xFD..0xFF differently.
    for (int i = 0; i < kFieldCount; ++i) {
        const std::string rendered = cp932::ToUtf8(row.Fields[i], cp932::InvalidBytes::Escape);
        EXPECT_TRUE(rendered == expected.texts[i] || row.Fields[i] == expected.raw[i])
            << kFieldNames[i] << ": " << rendered << " is not " << expected.texts[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusRowTest, ::testing::ValuesIn(WholeCorpus()), TestName);

TEST(CorpusManifestTest, EveryMusicFileOfTheCorpusIsDescribed) {
    // A file added to the corpus without a MANIFEST row would go untested.
    std::set<std::string> described;
    for (const ManifestRow& row : WholeCorpus()) described.insert(row.file);
    const std::string root = test::CorpusPath("");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || ext == ".md" || ext == ".tsv" || ext == ".json" || ext == ".txt") continue;
        const std::string relative = std::filesystem::relative(entry.path(), root).string();
        // Texts, and fuzz findings, which their own replay tests read.
        if (relative.rfind("text/", 0) == 0 || relative.rfind("fuzz/", 0) == 0) continue;
        EXPECT_TRUE(described.count(relative)) << relative;
    }
    EXPECT_GT(described.size(), 60u);
}
