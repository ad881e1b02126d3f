// The one way routines talk to the user: message boxes with the program's titles, icons
// and buttons. Windows answer with real boxes, the command line on stderr, tests from a script.
#pragma once

#include <string>

namespace wvr {

enum class PromptIcon { None, Information, Question, Warning, Stop };
enum class PromptButtons { Ok, YesNo, OkCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

inline constexpr const char* kAppTitle = "wvr";

struct Prompt {
    std::string title = kAppTitle;  // UTF-8
    std::string text;               // UTF-8
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer Ask(const Prompt& prompt) = 0;

    // The shapes the program uses, titled "wvr" unless a title is given.
    void Error(const std::string& text) { Ask({kAppTitle, text, PromptIcon::Stop, PromptButtons::Ok}); }
    void Warning(const std::string& text) { Ask({kAppTitle, text, PromptIcon::Warning, PromptButtons::Ok}); }
    void Information(const std::string& text) {
        Ask({kAppTitle, text, PromptIcon::Information, PromptButtons::Ok});
    }
    void Plain(const std::string& text) { Ask({kAppTitle, text, PromptIcon::None, PromptButtons::Ok}); }
    bool YesNo(const std::string& text) {
        return Ask({kAppTitle, text, PromptIcon::Question, PromptButtons::YesNo}) == PromptAnswer::Yes;
    }
};

// Says nothing and answers every question with No / Cancel.
class SilentPrompter : public Prompter {
public:
    PromptAnswer Ask(const Prompt& prompt) override {
        return prompt.buttons == PromptButtons::Ok ? PromptAnswer::Ok
               : prompt.buttons == PromptButtons::YesNo ? PromptAnswer::No
                                                        : PromptAnswer::Cancel;
    }
};

}  // namespace wvr
