#include "support/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/base/Cp932.h"

namespace wvr::test {

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path().string()) {}

TempDir::TempDir(const std::string& parent) {
    std::string pattern = (std::filesystem::path(parent) / "wvr-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Folders made unreadable by a test must be removable again.
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

std::string CorpusPath(const std::string& relative) {
    // The test files live in the repository; WVR_CORPUS_DIR in the environment points elsewhere.
    static const std::string root = [] {
        const char* env = std::getenv("WVR_CORPUS_DIR");
        return std::string(env && *env ? env : WVR_CORPUS_DIR);
    }();
    std::string path = root + "/" + relative;
    if (!std::filesystem::exists(path)) throw std::runtime_error("missing test file: " + path);
    return path;
}

std::string CopyCorpusFile(const std::string& relative, const TempDir& dir, const std::string& as) {
    std::string name = as.empty() ? std::filesystem::path(relative).filename().string() : as;
    std::string target = dir / name;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path());
    std::filesystem::copy_file(CorpusPath(relative), target, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    return target;
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

size_t EntriesIn(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

constexpr unsigned kAccessOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);  // both below 32: the first word

constexpr unsigned kOwnerRights = (1u << CAP_FOWNER) | (1u << CAP_CHOWN);

bool SetEffective(unsigned capabilities, bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    if (on) data[0].effective |= capabilities & data[0].permitted;
    else data[0].effective &= ~capabilities;
    return ::syscall(SYS_capset, &header, data) == 0;
}

bool SetEffectiveOverrides(bool on) { return SetEffective(kAccessOverrides, on); }

}  // namespace

PermissionChecksEnforced::PermissionChecksEnforced() {
    if (::geteuid() != 0) {
        enforced_ = true;
        return;
    }
    dropped_ = SetEffectiveOverrides(false);
    enforced_ = dropped_;
}

PermissionChecksEnforced::~PermissionChecksEnforced() {
    if (dropped_) SetEffectiveOverrides(true);
}

WithoutOwnerRights::WithoutOwnerRights() : dropped_(SetEffective(kOwnerRights, false)) {}

WithoutOwnerRights::~WithoutOwnerRights() {
    if (dropped_) SetEffective(kOwnerRights, true);
}

std::string Sjis(const std::string& utf8) { return cp932::FromUtf8(utf8); }

bool HasTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

std::string RunTool(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& errPath) {
    std::string command = std::string("'") + WVR_CLI_PATH + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    CliResult result;
    FILE* out = popen((command + " 2>'" + errPath + "'").c_str(), "r");
    std::string text;
    for (int c; (c = fgetc(out)) != EOF;) text += static_cast<char>(c);
    const int status = pclose(out);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::stringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::stringstream fields(line);
        result.rows.emplace_back();
        for (std::string field; std::getline(fields, field, '\t');) result.rows.back().push_back(field);
    }
    result.err = ReadFile(errPath);
    return result;
}

PromptAnswer ScriptedPrompter::Ask(const Prompt& prompt) {
    shown_.push_back(prompt);
    if (prompt.buttons == PromptButtons::Ok) return PromptAnswer::Ok;
    if (!answers_.empty()) {
        PromptAnswer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    if (prompt.buttons == PromptButtons::OkCancel && default_ == PromptAnswer::Yes) return PromptAnswer::Ok;
    return default_;
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (const auto& p : shown_) out.push_back(p.text);
    return out;
}

}  // namespace wvr::test
