#include "WindowRegistry.h"

#include <QHash>

namespace WindowRegistry {
namespace {
struct Registry {
    QHash<QString, Opener> openers;
    KeyHandler keyHandler;
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
    (*it)();
    return true;
}

void setKeyHandler(KeyHandler handler) { registry().keyHandler = std::move(handler); }

void forwardKey(int key, Qt::KeyboardModifiers modifiers) {
    if (registry().keyHandler) registry().keyHandler(key, modifiers);
}

void clear() { registry() = Registry{}; }
}  // namespace WindowRegistry
