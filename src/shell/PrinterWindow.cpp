#include "PrinterWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>

#include "ButtonLook.h"
#include "CurrentPrinter.h"
#include "Dialogs.h"
#include "Session.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"

namespace {
void setListColour(QComboBox* list, bool focused) {
    // Light yellow 0xC0FFFF while focused, the system's highlighted-text colour otherwise.
    QPalette p = list->palette();
    const QColor colour = focused ? QColor(0xFF, 0xFF, 0xC0)
                                  : QPalette().color(QPalette::HighlightedText);
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Button, colour);
    list->setPalette(p);
}
}  // namespace

PrinterWindow::PrinterWindow(QWidget* parent)
    : QWidget(parent), m_list(new QComboBox(this)),
      m_ok(new QPushButton(QStringLiteral("確定"), this)),
      m_cancel(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName(QStringLiteral("FPrint"));
    setWindowTitle(QStringLiteral("選取印表機"));
    m_list->setObjectName(QStringLiteral("C"));
    m_list->setEditable(false);
    m_list->setMinimumWidth(260);
    m_list->setStatusTip(QStringLiteral("請選擇本次執行要使用的印表機"));
    m_ok->setObjectName(QStringLiteral("B1(0)"));
    m_cancel->setObjectName(QStringLiteral("B1(1)"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0, 1, 2);
    layout->addWidget(m_ok, 1, 0);
    layout->addWidget(m_cancel, 1, 1);
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        InstallButtonLook(b);
        b->installEventFilter(this);
    }
    m_list->installEventFilter(this);
    setListColour(m_list, false);
    connect(m_ok, &QPushButton::clicked, this, &PrinterWindow::takePrinter);
    // A small dialog around its list and buttons, not a widget's default size.
    resize(sizeHint());
    connect(m_cancel, &QPushButton::clicked, this, &PrinterWindow::cancel);
    m_list->setFocus();  // the window opens with the keyboard on the list
}

bool PrinterWindow::refill() {
    m_list->clear();
    const QStringList printers = CurrentPrinter::installed();
    if (printers.isEmpty()) {
        Session::current().printerReady = false;
        Dialogs::showMessage(QStringLiteral("未安裝印表機!"));
        CloseChild(this);
        return false;
    }
    Session::current().printerReady = true;
    m_list->addItems(printers);
    m_list->setCurrentText(CurrentPrinter::name().value_or(QString()));
    return true;
}

void PrinterWindow::takePrinter() {
    const QString chosen = m_list->currentText();
    for (const QString& printer : CurrentPrinter::installed())
        if (printer == chosen) CurrentPrinter::setName(printer);
    CloseChild(this);
}

void PrinterWindow::cancel() { CloseChild(this); }

bool PrinterWindow::event(QEvent* event) {
    // Each time the window becomes active again the list shows the printers as they are now.
    if (event->type() == QEvent::WindowActivate && isVisible()) refill();
    return QWidget::event(event);
}

bool PrinterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        setListColour(m_list, event->type() == QEvent::FocusIn);
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Escape: cancel(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (watched == m_list) {
                takePrinter();
                return true;
            }
            static_cast<QPushButton*>(watched)->click();
            return true;
        default: break;
    }
    if (watched == m_list) {
        // The list is chosen from, not typed into: characters are swallowed, the arrows move.
        if (!key->text().isEmpty() && key->text().at(0).isPrint()) return true;
        if (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F12) {
            WindowRegistry::forwardKey(key->key(), key->modifiers());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PrinterWindow::keyPressEvent(QKeyEvent* event) {
    WindowRegistry::forwardKey(event->key(), event->modifiers());
}
