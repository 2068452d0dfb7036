#pragma once
// Runs a handler for every event that reaches one object, before the object
// handles it (the event goes on as usual). Lives as long as the object.
#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

namespace qm {

class EventHook : public QObject {
public:
    EventHook(QObject* watched, std::function<void(QEvent*)> handler)
        : QObject(watched), handler_(std::move(handler)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        handler_(e);
        return false;
    }

private:
    std::function<void(QEvent*)> handler_;
};

}  // namespace qm
