#include "ButtonLook.h"

#include <QEvent>
#include <QPushButton>

namespace {
void applyLook(QPushButton* b, bool focused) {
    QFont f = b->font();
    f.setPointSize(focused ? 11 : 9);
    b->setFont(f);
    b->setStyleSheet(focused ? QStringLiteral("QPushButton { background-color: #FFFFC0; "
                                              "color: #000080; font-weight: bold; }")
                             : QString());
}

class LookFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
        // A focused button that is being deleted loses the focus in QWidget's destructor, when
        // it is no longer a button: there is nothing left to restyle then.
        if (auto* button = qobject_cast<QPushButton*>(watched))
            applyLook(button, event->type() == QEvent::FocusIn);
        return false;
    }
};
}  // namespace

void InstallButtonLook(QPushButton* button) {
    applyLook(button, false);
    button->installEventFilter(new LookFilter(button));
}
