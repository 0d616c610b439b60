#include "StatusText.h"

#include <QEvent>
#include <QLabel>
#include <QPointer>

namespace StatusText {
namespace {
struct State {
    QString text;
    // The control whose help text is shown; only its own focus-out clears it, so a late
    // focus-out of the control left before (as when a window opens on a mouse click) does not
    // wipe the text of the control that has the focus now.
    QPointer<QWidget> owner;
    // Cleared by the label's own end, so a main window that goes away takes it along.
    QPointer<QLabel> label;
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
        // The pointer passing over a control would put its help text in the status line over
        // the text of the control that has the keyboard: the keyboard's wins.
        if (event->type() == QEvent::StatusTip) return true;
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            if (auto* w = qobject_cast<QWidget*>(watched); w && !w->statusTip().isEmpty()) {
                if (event->type() == QEvent::FocusIn) {
                    set(w->statusTip());
                    state().owner = w;
                } else if (state().owner == w) {
                    clear();
                }
            }
        }
        return false;
    }
};
}  // namespace

void set(const QString& text) {
    state().owner = nullptr;
    state().text = text;
    if (state().label) state().label->setText(text);
}

void clear() { set(QString()); }
QString text() { return state().text; }
void showIn(QLabel* label) { state().label = label; }
QObject* createFocusFilter(QObject* parent) { return new FocusFilter(parent); }
}  // namespace StatusText
