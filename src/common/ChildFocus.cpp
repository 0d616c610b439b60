#include "ChildFocus.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
bool takesKeys(QWidget* control, const QWidget* window) {
    return control && control != window && window->isAncestorOf(control) && control->isEnabled() &&
           control->isVisibleTo(window) && (control->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}
}  // namespace

QWidget* ChildWindowOf(QWidget* control) {
    for (QWidget* w = control; w; w = w->parentWidget())
        if (qobject_cast<QMdiSubWindow*>(w->parentWidget())) return w;
    return nullptr;
}

QWidget* KeyboardControl(QWidget* window) {
    if (takesKeys(window->focusWidget(), window)) return window->focusWidget();
    // The focus chain runs through every widget of the main window and back.
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if (takesKeys(w, window)) return w;
    return nullptr;
}

void FocusNextChild(QMdiArea* area, const QMdiSubWindow* closed, QWidget* preferred) {
    const auto open = [closed](QMdiSubWindow* frame) {
        return frame && frame != closed && !frame->isHidden() && frame->widget();
    };
    QMdiSubWindow* target = nullptr;
    QWidget* control = nullptr;
    if (QWidget* window = ChildWindowOf(preferred)) {
        auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        if (open(frame) && frame->mdiArea() == area && takesKeys(preferred, window)) {
            target = frame;
            control = preferred;
        }
    }
    const QList<QMdiSubWindow*> frames = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = frames.crbegin(); !target && it != frames.crend(); ++it) {
        if (open(*it) && KeyboardControl((*it)->widget())) target = *it;
    }
    if (!target) return;
    // Closing a frame may leave the main window without the activation (the window manager
    // decides what is active); it asks for it back.
    area->window()->activateWindow();
    if (target->isMinimized()) target->showNormal();
    // The frame gives the focus back to the control it had; a disabled or hidden one is
    // replaced by the window's first control that takes the keys.
    area->setActiveSubWindow(target);
    if (!control) control = KeyboardControl(target->widget());
    if (control) control->setFocus(Qt::OtherFocusReason);
}
