// The ID3v2 reader against two peers, TagLib and mutagen: over the test files and generated tags
// of every version and encoding, title, artist and album read the same wherever the texts are
// Unicode (a Latin-1 frame that the reader takes for Shift-JIS is the one place they part), and
// wherever the peer reads the tag at all: neither reads a tag with a broken compressed frame,
// TagLib skips the 2.3 extended header four bytes short, mutagen reads that header before undoing
// the unsynchronisation that covers it; the reader reads all of these.
#include <gtest/gtest.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "formats/id3v2/TaggedMpeg.h"
#include "id3v2_tags.h"
#include "platform/base/Cp932.h"

using namespace wvr;
using namespace wvr::test::id3;

namespace {

constexpr int kCompared[] = {kTitle, kArtist, kAlbum};

// Title, artist and album as mutagen reads them, one file a line, tab-separated.
const char* kMutagenTexts = R"(import sys
from mutagen.id3 import ID3
for path in sys.argv[1:]:
    try:
        tag = ID3(path)
        print('\t'.join('/'.join(str(t) for t in tag[k].text) if k in tag else '' for k in ('TIT2', 'TPE1', 'TALB')))
    except Exception:
        print('\t\t')
)";

// Tags of every version, with texts in each encoding the version has, some unsynchronised or
// behind an extended header.
std::vector<std::string> GeneratedTags() {
    const std::u16string texts[] = {u"Plain", u"日本語の題", u"Émile Zola", u"ｶﾀｶﾅ and ASCII", u"Ω≈ç√"};
    std::mt19937 random(11);
    std::vector<std::string> tags;
    for (int n = 0; n < 60; ++n) {
        const int major = 3 + n % 2;
        std::string frames;
        for (const char* id : {"TIT2", "TPE1", "TALB"}) {
            const std::u16string& text = texts[random() % std::size(texts)];
            std::string content;
            switch (random() % (major == 4 ? 4 : 2)) {
            case 0: content = Utf16(text); break;
            case 1: {
                std::string utf16le = Utf16(text).substr(3);
                content = "\x02";
                for (size_t i = 0; i + 1 < utf16le.size(); i += 2) content += {utf16le[i + 1], utf16le[i]};
                if (major == 3) content = Utf16(text);
                break;
            }
            default: content = "\x03" + cp932::ToUtf8(cp932::FromUtf8(std::string(text.begin(), text.end())));
            }
            if (content[0] == '\x03') {
                std::string utf8;
                for (char16_t c : text) {
                    if (c < 0x80) utf8 += char(c);
                    else if (c < 0x800) utf8 += {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
                    else utf8 += {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
                }
                content = "\x03" + utf8;
            }
            frames += major == 4 ? Frame24(id, content) : Frame23(id, content);
        }
        frames += std::string(random() % 64, '\0');
        uint8_t flags = 0;
        if (n % 5 == 1) {
            frames = (major == 4 ? "\0\0\0\x06\x01\0"s : "\0\0\0\x06\0\0\0\0\0\0"s) + frames;
            flags |= 0x40;
        }
        if (n % 7 == 2 && major == 3) {
            frames = Unsynchronise(frames);
            flags |= 0x80;
        }
        tags.push_back(Tag(static_cast<uint8_t>(major), frames, flags));
    }
    return tags;
}

}  // namespace

TEST(Id3v2Peers, TitleArtistAndAlbumReadAsTagLibAndMutagenReadThem) {
    if (std::system("/usr/bin/python3 -c 'import mutagen.id3' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "mutagen is not installed (python3-mutagen)";
    test::TempDir dir;
    std::vector<std::string> paths;
    for (const char* folder : {"id3v2", "thirdparty"})
        for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusPath(folder)))
            if (entry.path().extension() == ".mp3") paths.push_back(entry.path());
    int n = 0;
    const std::string audio = "\xFF\xFB\x90\x64"s + std::string(413, 'U');
    for (const std::string& tag : GeneratedTags()) {
        paths.push_back(dir / ("generated" + std::to_string(n++) + ".mp3"));
        test::WriteFile(paths.back(), tag + audio + audio);
    }
    std::string command = "/usr/bin/python3 -c \"$(cat '" + (dir / "texts.py") + "')\"";
    test::WriteFile(dir / "texts.py", kMutagenTexts);
    for (const std::string& path : paths) command += " '" + path + "'";
    std::istringstream mutagen(test::RunTool(command));

    int compared[2] = {0, 0};  // fields held against mutagen, against TagLib
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        std::string line;
        std::getline(mutagen, line);
        std::vector<std::string> peer;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) peer.push_back(cell);
        peer.resize(3);
        fs::File file;
        ASSERT_TRUE(file.Open(path, fs::File::Mode::Read));
        id3v2::ReadBytes head;
        id3v2::ReadInto(file, 0, 10, head);
        const auto located = id3v2::LocateTaggedMpeg(file, std::move(head));
        if (!located) continue;
        const id3v2::TagFields ours = id3v2::ReadTaggedFields(file, *located, GenreTable{});
        TagLib::MPEG::File taglibFile(path.c_str());
        TagLib::ID3v2::Tag* taglib = taglibFile.ID3v2Tag();
        const std::string taglibTexts[] = {taglib ? taglib->title().to8Bit(true) : "",
                                           taglib ? taglib->artist().to8Bit(true) : "",
                                           taglib ? taglib->album().to8Bit(true) : ""};
        const bool extended23 = located->header.major == 3 && located->header.ExtendedHeaderFlag();
        const bool mutagenRead = !(peer[0] + peer[1] + peer[2]).empty() && !(extended23 && located->header.Unsynchronised());
        const bool taglibRead = !(taglibTexts[0] + taglibTexts[1] + taglibTexts[2]).empty() && !extended23;
        for (size_t k = 0; k < std::size(kCompared); ++k) {
            const int f = kCompared[k];
            if (ours.lossy[f] || ours.shiftJisInLatin1[f] || ours.frameOf[f] < 0) continue;
            const std::string text = cp932::ToUtf8(ours.fields[f]);
            if (mutagenRead) {
                EXPECT_EQ(text, peer[k]) << "mutagen, field " << f;
            }
            if (taglibRead) {
                EXPECT_EQ(text, taglibTexts[k]) << "TagLib, field " << f;
            }
            compared[0] += mutagenRead;
            compared[1] += taglibRead;
        }
    }
    EXPECT_GE(compared[0], 140);
    EXPECT_GE(compared[1], 120);
}
