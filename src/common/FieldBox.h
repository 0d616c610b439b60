#pragma once

#include <QLineEdit>

// A text box of the suite's entry windows. It is open (typing allowed, system colour) or
// closed (read-only, light cyan, skipped by the focus chain); with the focus it turns light
// yellow, shows its help text in the status line and selects its whole text. Typed keys pass
// its key filter, and the text never exceeds its byte limit in the Big5 code page.
class FieldBox : public QLineEdit {
    Q_OBJECT
public:
    enum class Keys { Any, Digits, Decimal, NoQuote };

    explicit FieldBox(QWidget* parent = nullptr, Keys keys = Keys::Any, int byteLimit = 0);

    void setOpen(bool open);
    bool isOpen() const { return m_open; }
    void setKeys(Keys keys) { m_keys = keys; }
    void setByteLimit(int bytes) { m_byteLimit = bytes; }

    // The three backgrounds: focused 0xC0FFFF, open 0x8000000E, closed 0xFFFFC0.
    static QColor focusedColour();
    static QColor openColour();
    static QColor closedColour();
    QColor background() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setBackground(const QColor& colour);
    bool passes(int code) const;

    Keys m_keys;
    int m_byteLimit;
    bool m_open = true;
};
