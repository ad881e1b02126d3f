#include "app/commands/TextFiles.h"

#include <cerrno>
#include <cstring>

#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

// Larger than any list or track list; a larger file is refused rather than read into memory.
constexpr uint64_t kMaxTextBytes = 256u << 20;
constexpr size_t kWriteChunk = 1u << 20;

std::string Reason(const std::string& rowPath, int error, const char* what) {
    return std::string(what) + "\n" + cp932::ToUtf8(rowPath) + "\n" + std::strerror(error);
}

}  // namespace

std::optional<std::string> ReadTextFile(const std::string& rowPath, Prompter& prompter) {
    constexpr const char* kCannotRead = "ファイルを読み込めませんでした。";
    const auto native = fs::ToNative(rowPath);
    fs::File file;
    if (!native || !file.Open(*native, fs::File::Mode::Read)) {
        prompter.Error(Reason(rowPath, native ? file.Error() : EINVAL, kCannotRead));
        return std::nullopt;
    }
    const uint64_t size = file.SizeAtOpen();
    if (size > kMaxTextBytes) {
        prompter.Error(Reason(rowPath, EFBIG, kCannotRead));
        return std::nullopt;
    }
    std::string bytes(size, '\0');
    const int64_t read = file.ReadAt(0, bytes.data(), bytes.size());
    if (read < 0) {
        prompter.Error(Reason(rowPath, file.Error(), kCannotRead));
        return std::nullopt;
    }
    bytes.resize(static_cast<size_t>(read));
    return bytes;
}

bool TextOutput::Fail(int error, Prompter& prompter) {
    prompter.Error(Reason(rowPath_, error, kCannotCreateFile));
    file_.reset();  // the unfinished file beside the target goes
    return false;
}

bool TextOutput::Create(Prompter& prompter) {
    const auto native = fs::ToNative(rowPath_);
    if (!native) return Fail(EINVAL, prompter);
    file_.emplace(*native);
    errno = 0;
    if (!file_->Create()) {
        // Not every refusal comes from opening a file (a file where a folder should be).
        const int error = file_->Error();
        return Fail(error ? error : errno ? errno : EIO, prompter);
    }
    buffer_.reserve(kWriteChunk);
    return true;
}

void TextOutput::Write(std::string_view bytes) {
    buffer_ += bytes;
    if (buffer_.size() >= kWriteChunk) Flush();
}

bool TextOutput::Flush() {
    if (error_ == 0 && !buffer_.empty() && !file_->Append(buffer_)) error_ = file_->Error();
    buffer_.clear();
    return error_ == 0;
}

bool TextOutput::Finish(Prompter& prompter) {
    if (!file_) return false;
    if (!Flush()) return Fail(error_, prompter);
    errno = 0;
    if (!file_->Commit()) return Fail(errno ? errno : EIO, prompter);
    file_.reset();
    return true;
}

}  // namespace wvr
