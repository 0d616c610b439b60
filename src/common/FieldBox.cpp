#include "FieldBox.h"

#include <QKeyEvent>
#include <QTimer>

#include "Values.h"
#include "WindowHelpers.h"

FieldBox::FieldBox(QWidget* parent, Keys keys, int byteLimit)
    : QLineEdit(parent), m_keys(keys), m_byteLimit(byteLimit) {
    // Pasted text passes the same filter as typed keys.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& edited) {
        QString kept;
        for (const QChar c : edited)
            if (passes(c.unicode())) kept += c;
        if (kept != edited) {
            const int caret = cursorPosition() - int(edited.size() - kept.size());
            setText(kept);
            setCursorPosition(std::max(0, caret));
        }
        if (m_byteLimit > 0) LimitTextBytes(this, m_byteLimit);
    });
    setOpen(true);
}

QColor FieldBox::focusedColour() { return QColor(0xFF, 0xFF, 0xC0); }
QColor FieldBox::openColour() { return QPalette().color(QPalette::HighlightedText); }
QColor FieldBox::closedColour() { return QColor(0xC0, 0xFF, 0xFF); }
QColor FieldBox::background() const { return palette().color(QPalette::Base); }

void FieldBox::setBackground(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}

void FieldBox::setOpen(bool open) {
    m_open = open;
    setReadOnly(!open);
    setFocusPolicy(open ? Qt::StrongFocus : Qt::NoFocus);
    setBackground(open ? openColour() : closedColour());
}

bool FieldBox::passes(int code) const {
    switch (m_keys) {
        case Keys::Digits: return KeyDigitsOnly(code) != 0;
        case Keys::Decimal: return KeyDecimalOnly(code) != 0;
        case Keys::NoQuote: return KeyNoQuote(code) != 0;
        case Keys::Any: return true;
    }
    return true;
}

void FieldBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() >= 32 && !passes(text.at(0).unicode())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FieldBox::focusInEvent(QFocusEvent* event) {
    setBackground(focusedColour());
    QLineEdit::focusInEvent(event);
    // After the click that gave the focus has placed the caret.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) selectAll();
    });
}

void FieldBox::focusOutEvent(QFocusEvent* event) {
    setBackground(m_open ? openColour() : closedColour());
    QLineEdit::focusOutEvent(event);
}
