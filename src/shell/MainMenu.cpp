#include "MainMenu.h"

#include <QApplication>
#include <algorithm>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "ButtonLook.h"
#include "Dialogs.h"
#include "Session.h"
#include "UserSettings.h"
#include "WindowRegistry.h"

namespace {
struct MenuEntry {
    const char* caption;
    const char* help;
    const char* window;  // registry name of the window it opens; null for the exit
    int right;           // -1: always enabled
};

const MenuEntry kEntries[MainMenu::ButtonCount] = {
    {"A 固定資產異動處理", "新增、修改、刪除、查詢、審核及出售固定資產", "assets", 960},
    {"B 固定資產總表查詢", "依財產編號及取得日期查詢、列印固定資產總表", "summary", 961},
    {"C 固定資產明細查詢", "依財產編號及取得日期查詢、列印固定資產明細表", "detail", 962},
    {"[Esc] 結束本系統", "結束固定資產管理系統", nullptr, -1},
};

}  // namespace

MainMenu::MainMenu(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FU"));
    setWindowTitle(QStringLiteral("固定資產管理系統"));
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kEntries[i].caption), this);
        b->setObjectName(QStringLiteral("But(%1)").arg(i));
        b->setStatusTip(QString::fromUtf8(kEntries[i].help));
        b->setAutoDefault(false);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->installEventFilter(this);
        InstallButtonLook(b);
        connect(b, &QPushButton::clicked, this, [this, i] { clickButton(i); });
        layout->addWidget(b);
        m_buttons[i] = b;
    }
    applyRights();
}

QPushButton* MainMenu::button(int index) const {
    return index >= 0 && index < ButtonCount ? m_buttons[index] : nullptr;
}

void MainMenu::applyRights() {
    const Session& s = Session::current();
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setEnabled(kEntries[i].right < 0 || s.hasRight(kEntries[i].right));
}

void MainMenu::clickButton(int index) {
    if (index < 0 || index >= ButtonCount || !m_buttons[index]->isEnabled()) return;
    if (kEntries[index].window) {
        WindowRegistry::open(QString::fromLatin1(kEntries[index].window));
        return;
    }
    const auto answer = Dialogs::ask(
        QStringLiteral("是否確定離開 Q.V.K.晟嘉通進銷存會計系統 固定資產管理系統?"),
        Dialogs::Buttons::YesNo, Dialogs::Answer::Yes);
    if (answer != Dialogs::Answer::Yes) return;
    UserSettings::save(QStringLiteral("ZQ2000"), QStringLiteral("OpenId"), QStringLiteral("FU"),
                       QStringLiteral("0"));
    emit exitConfirmed();
}

void MainMenu::pressButton(int index) {
    if (!m_buttons[index]->isEnabled()) return;
    // First what is still pending, such as handing the keyboard back from a window just closed
    // by its frame: done later, it would take the focus from this button.
    QApplication::processEvents();
    m_buttons[index]->setFocus();
    QApplication::processEvents();
    clickButton(index);
}

void MainMenu::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_C) pressButton(key - Qt::Key_A);
    else if (key == Qt::Key_Escape) pressButton(3);
    else WindowRegistry::forwardKey(key, event->modifiers());
    event->accept();
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event) {
    if (auto* b = qobject_cast<QPushButton*>(watched)) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const int index = int(std::find(m_buttons, m_buttons + ButtonCount, b) - m_buttons);
            switch (key->key()) {
                case Qt::Key_Space:
                case Qt::Key_Tab:
                case Qt::Key_Backtab: break;  // the button's own keys
                case Qt::Key_Return:
                case Qt::Key_Enter: clickButton(index); return true;
                case Qt::Key_Up:
                case Qt::Key_Down:
                    focusNextPrevChild(key->key() == Qt::Key_Down);
                    return true;
                default:
                    // Letters, Esc and function keys belong to the menu.
                    keyPressEvent(key);
                    return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
