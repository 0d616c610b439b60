#include "WindowRegistry.h"

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include "ChildFocus.h"

namespace WindowRegistry {
namespace {
struct Registry {
    QHash<QString, Opener> openers;
    KeyHandler keyHandler;
    // Each child window opened through the registry, with the control the keyboard came from.
    QList<QPair<QPointer<QWidget>, QPointer<QWidget>>> openedFrom;
};
Registry& registry() {
    static Registry r;
    return r;
}
}  // namespace

void setOpener(const QString& name, Opener opener) { registry().openers[name] = std::move(opener); }

bool hasOpener(const QString& name) { return registry().openers.contains(name); }

bool open(const QString& name) {
    const auto it = registry().openers.constFind(name);
    if (it == registry().openers.constEnd() || !*it) return false;
    const QPointer<QWidget> from = QApplication::focusWidget();
    const Opener opener = *it;
    opener();
    // The window that has the keyboard now (its main window need not be active yet).
    QWidget* focus = from ? from->window()->focusWidget() : QApplication::focusWidget();
    QWidget* opened = ChildWindowOf(focus);
    if (!from || !opened || opened->isAncestorOf(from)) return true;
    auto& list = registry().openedFrom;
    list.removeIf([opened](const auto& entry) { return !entry.first || entry.first == opened; });
    list.append({opened, from});
    return true;
}

QWidget* openedFrom(const QWidget* window) {
    for (const auto& entry : registry().openedFrom)
        if (entry.first == window) return entry.second;
    return nullptr;
}

void setKeyHandler(KeyHandler handler) { registry().keyHandler = std::move(handler); }

void forwardKey(int key, Qt::KeyboardModifiers modifiers) {
    if (registry().keyHandler) registry().keyHandler(key, modifiers);
}

void clear() { registry() = Registry{}; }
}  // namespace WindowRegistry
