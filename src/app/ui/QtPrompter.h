// Message boxes for the routines' questions and reports, with Japanese button captions. A
// box belongs to the program's active window, or to `parent` when none is active.
#pragma once

#include "platform/base/Prompter.h"

class QWidget;

namespace wvr {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent) : parent_(parent) {}
    PromptAnswer Ask(const Prompt& prompt) override;

private:
    QWidget* parent_;
};

}  // namespace wvr
