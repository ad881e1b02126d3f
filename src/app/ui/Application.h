// The program's QApplication. Qt's own code cannot pass an exception on: one that a slot or an
// event handler lets out (in a plug-in's dialog, say) is caught where Qt delivers the event, and
// handed to the handler in force, so the windows and their event loops go on.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace wvr {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    using ExceptionHandler = std::function<void(std::exception_ptr)>;

    // Makes `handler` the one in force while it lives (the previous one again after); does
    // nothing when the running application is not an Application.
    class HandlerScope {
    public:
        explicit HandlerScope(ExceptionHandler handler);
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        Application* app_;
        ExceptionHandler previous_;
    };

private:
    ExceptionHandler handler_;
};

}  // namespace wvr
