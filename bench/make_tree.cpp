// Writes the benchmark's music library: N small MP3 files with ID3v1 tags, a few hundred to a
// folder, all sharing the audio of one real MP3 file. Names and tag texts are Japanese, as in
// the libraries the program is made for, so that the name and text conversions are measured.
//
//   make_tree SOURCE.mp3 ROOT COUNT [FILES_PER_FOLDER]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr size_t kTagSize = 128;

// CP932 bytes of the Japanese words of the tags.
const std::string kSong = "\x8B\xC8";                  // 曲
const std::string kSinger = "\x89\xCC\x8E\xE8";        // 歌手
const std::string kAlbum = "\x83\x41\x83\x8B\x83\x6F\x83\x80";  // アルバム

std::string ReadAudio(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The source's own tag is replaced by each file's.
    if (bytes.size() >= kTagSize && bytes.compare(bytes.size() - kTagSize, 3, "TAG") == 0)
        bytes.resize(bytes.size() - kTagSize);
    return bytes;
}

void Put(std::string& tag, size_t offset, size_t width, const std::string& text) {
    tag.replace(offset, std::min(width, text.size()), text.substr(0, width));
}

std::string Id3v1(int file, int folder) {
    std::string tag(kTagSize, '\0');
    char number[32];
    Put(tag, 0, 3, "TAG");
    std::snprintf(number, sizeof number, " %05d", file);
    Put(tag, 3, 30, kSong + number);
    std::snprintf(number, sizeof number, " %03d", folder % 40);
    Put(tag, 33, 30, kSinger + number);
    std::snprintf(number, sizeof number, " %03d", folder);
    Put(tag, 63, 30, kAlbum + number);
    Put(tag, 93, 4, "2001");
    Put(tag, 97, 30, "bench");
    tag[127] = static_cast<char>(file % 148);
    return tag;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_tree SOURCE.mp3 ROOT COUNT [FILES_PER_FOLDER]\n");
        return 2;
    }
    const std::string audio = ReadAudio(argv[1]);
    const std::filesystem::path root = argv[2];
    const int count = std::atoi(argv[3]);
    const int perFolder = argc > 4 ? std::atoi(argv[4]) : 250;
    if (audio.size() < 4 || count <= 0 || perFolder <= 0) {
        std::fprintf(stderr, "make_tree: nothing to write\n");
        return 2;
    }
    for (int i = 0; i < count; ++i) {
        const int folder = i / perFolder;
        char name[64];
        std::snprintf(name, sizeof name, "アルバム %03d", folder);
        const std::filesystem::path dir = root / name;
        if (i % perFolder == 0) std::filesystem::create_directories(dir);
        std::snprintf(name, sizeof name, "%03d 曲 %05d.mp3", i % perFolder + 1, i);
        std::ofstream out(dir / name, std::ios::binary);
        out << audio << Id3v1(i, folder);
        if (!out) {
            std::fprintf(stderr, "make_tree: cannot write %s\n", (dir / name).c_str());
            return 1;
        }
    }
    return 0;
}
