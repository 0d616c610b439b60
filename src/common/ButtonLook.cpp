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
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            applyLook(static_cast<QPushButton*>(watched), event->type() == QEvent::FocusIn);
        return false;
    }
};
}  // namespace

void InstallButtonLook(QPushButton* button) {
    applyLook(button, false);
    button->installEventFilter(new LookFilter(button));
}
