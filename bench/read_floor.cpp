// The least any lister must do for each file of a tree: find it, open it, read its first
// bytes and its last 128, close it. Its speed on one thread is the floor wvr-cli list is
// measured against. Given a number of threads, it lists the tree first and then spreads the
// same reads over them: what a cold disk can give when many reads are in flight.
//
//   read_floor ROOT [THREADS]    prints the number of files read
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

long ReadFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    unsigned char head[6], tail[128];
    struct stat st;
    long read = 0;
    if (::pread(fd, head, sizeof head, 0) == sizeof head && ::fstat(fd, &st) == 0 && st.st_size >= 128 &&
        ::pread(fd, tail, sizeof tail, st.st_size - 128) == sizeof tail)
        read = head[0] == 0xFF && tail[0] == 'T';  // use the bytes so the reads stay
    ::close(fd);
    return read;
}

// The files below `folder`, in the order the walk meets them.
void List(const std::string& folder, std::vector<std::string>& paths) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]))) continue;
        const std::string path = folder + "/" + name;
        if (entry->d_type == DT_DIR) List(path, paths);
        else paths.push_back(path);
    }
    ::closedir(dir);
}

long ReadSpread(const std::vector<std::string>& paths, int threads) {
    std::atomic<size_t> next{0};
    std::atomic<long> tagged{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (size_t i; (i = next++) < paths.size();) tagged += ReadFile(paths[i]);
        });
    for (std::thread& thread : pool) thread.join();
    return tagged;
}

long Walk(const std::string& folder, long& files) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    long tagged = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]))) continue;
        const std::string path = folder + "/" + name;
        if (entry->d_type == DT_DIR) {
            tagged += Walk(path, files);
        } else {
            tagged += ReadFile(path);
            ++files;
        }
    }
    ::closedir(dir);
    return tagged;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: read_floor ROOT [THREADS]\n");
        return 2;
    }
    long files = 0, tagged = 0;
    if (argc == 3) {
        std::vector<std::string> paths;
        List(argv[1], paths);
        files = static_cast<long>(paths.size());
        tagged = ReadSpread(paths, std::max(1, std::atoi(argv[2])));
    } else {
        tagged = Walk(argv[1], files);
    }
    std::printf("%ld files, %ld with an MPEG start and a tag\n", files, tagged);
    return 0;
}
