#include "StatusText.h"

#include <QEvent>
#include <QWidget>

namespace StatusText {
namespace {
struct State {
    QString text;
    std::function<void(const QString&)> sink;
};
State& state() {
    static State s;
    return s;
}

class FocusFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            if (auto* w = qobject_cast<QWidget*>(watched); w && !w->statusTip().isEmpty()) {
                if (event->type() == QEvent::FocusIn) set(w->statusTip());
                else clear();
            }
        }
        return false;
    }
};
}  // namespace

void set(const QString& text) {
    state().text = text;
    if (state().sink) state().sink(text);
}

void clear() { set(QString()); }
QString text() { return state().text; }
void setSink(std::function<void(const QString&)> sink) { state().sink = std::move(sink); }
QObject* createFocusFilter(QObject* parent) { return new FocusFilter(parent); }
}  // namespace StatusText
