#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

// The printer selection FPrint: every printer in the system's order, the current one selected.
// The choice changes the program's current printer for this run only.
class PrinterWindow : public QWidget {
    Q_OBJECT
public:
    explicit PrinterWindow(QWidget* parent = nullptr);
    // Fills the list and selects the current printer; false (after the message) when there is
    // no printer at all.
    bool refill();
    // Makes the printer of the list's text the current one and closes the window.
    void takePrinter();
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    QComboBox* m_list;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
