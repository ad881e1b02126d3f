// While a long run goes on the program's events are processed, so that the list is drawn and
// the count goes up, but the user's input reaches one widget only (the stop button): nothing
// else may change the rows or start a command in the middle of the run.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace wvr {

class BusyInputGate : public QObject {
public:
    explicit BusyInputGate(QWidget* open, QObject* parent = nullptr) : QObject(parent), open_(open) {}
    void Close();  // from here on only `open` takes input
    void Open();   // all input again

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> open_;
    bool closed_ = false;
};

}  // namespace wvr
