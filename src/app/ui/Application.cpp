#include "app/ui/Application.h"

#include <cstdio>

namespace wvr {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (handler_) {
            handler_(std::current_exception());
        } else {
            // Nobody to tell on screen: the event is dropped, the program goes on.
            std::fputs("wvr: an event handler failed with an exception\n", stderr);
        }
        return false;
    }
}

Application::HandlerScope::HandlerScope(ExceptionHandler handler)
    : app_(dynamic_cast<Application*>(QCoreApplication::instance())) {
    if (!app_) return;
    previous_ = std::move(app_->handler_);
    app_->handler_ = std::move(handler);
}

Application::HandlerScope::~HandlerScope() {
    if (app_) app_->handler_ = std::move(previous_);
}

}  // namespace wvr
