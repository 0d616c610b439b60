#include "ButtonLook.h"

#include <QEvent>
#include <QPushButton>

namespace {
const QString kFocusedSheet = QStringLiteral("QPushButton { background-color: #FFFFC0; "
                                             "color: #000080; }");

// Both looks are made once from the button's own font when the look is installed. The font
// is never read back from the button afterwards: while the focused look is on, the button's
// font is the focused one, and taking it as the normal look left buttons bold and large.
class LookFilter : public QObject {
public:
    explicit LookFilter(QPushButton* button) : QObject(button) {
        m_normal = button->font();
        m_normal.setPointSize(9);
        m_normal.setBold(false);
        m_focused = m_normal;
        m_focused.setPointSize(11);
        m_focused.setBold(true);
        // The focused look is larger: the button is never smaller than that look needs, so
        // moving the focus never makes the window lay itself out anew.
        button->setStyleSheet(kFocusedSheet);
        button->setFont(m_focused);
        button->setMinimumSize(button->sizeHint().expandedTo(button->minimumSize()));
        apply(button);
    }

    // The look follows whether the button has the focus now, not the event's reason: a focus
    // given before the window was shown, by the mouse, Tab or the arrows looks the same.
    void apply(QPushButton* b) const {
        const bool focused = b->hasFocus();
        // The style sheet first: changing it re-polishes the button, and the font set after it
        // is the one that stays.
        const QString sheet = focused ? kFocusedSheet : QString();
        if (b->styleSheet() != sheet) b->setStyleSheet(sheet);
        b->setFont(focused ? m_focused : m_normal);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FocusIn:
            case QEvent::FocusOut:
            case QEvent::Show:
                break;
            default:
                return false;
        }
        // A focused button that is being deleted loses the focus in QWidget's destructor, when
        // it is no longer a button: there is nothing left to restyle then.
        if (auto* button = qobject_cast<QPushButton*>(watched)) apply(button);
        return false;
    }

private:
    QFont m_normal;
    QFont m_focused;
};
}  // namespace

void InstallButtonLook(QPushButton* button) {
    button->installEventFilter(new LookFilter(button));
}
