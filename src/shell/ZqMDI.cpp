#include "ZqMDI.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "ChildFocus.h"
#include "CurrentPrinter.h"
#include "DataSource.h"
#include "DbAccess.h"
#include "MainMenu.h"
#include "ModuleIcon.h"
#include "NoticeWindow.h"
#include "PrinterWindow.h"
#include "ServerClock.h"
#include "Session.h"
#include "SqlLiteral.h"
#include "StatusText.h"
#include "Twips.h"
#include "UserSettings.h"
#include "WindowRegistry.h"

namespace {
// The client's error for a field that the recordset does not have.
constexpr std::uint32_t AdoItemNotFound = 0x800A0CC1;
}  // namespace

ZqMDI::ZqMDI(QWidget* parent) : QMainWindow(parent), m_area(new QMdiArea(this)) {
    setObjectName(QStringLiteral("ZqMDI"));
    setWindowIcon(ModuleIcon());
    setWindowTitle(placeText());
    m_area->setObjectName(QStringLiteral("MDIClient"));
    m_area->setBackground(QColor(0x80, 0x80, 0x80));
    setCentralWidget(m_area);
    m_area->viewport()->installEventFilter(this);
    connect(m_area, &QMdiArea::subWindowActivated, this, &ZqMDI::passOverNoticeLine);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusText"));
    m_status->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_status, 1);
    StatusText::showIn(m_status);
    qApp->installEventFilter(StatusText::createFocusFilter(this));

    auto* titleTimer = new QTimer(this);
    titleTimer->setObjectName(QStringLiteral("Timer2"));
    titleTimer->setInterval(1000);
    connect(titleTimer, &QTimer::timeout, this, &ZqMDI::refreshTitle);
    titleTimer->start();
    refreshTitle();

    auto* heartbeatTimer = new QTimer(this);
    heartbeatTimer->setObjectName(QStringLiteral("Timer1"));
    heartbeatTimer->setInterval(60000);
    connect(heartbeatTimer, &QTimer::timeout, this, &ZqMDI::heartbeat);
    heartbeatTimer->start();
}

// The area hides its windows as the main window's widget goes, and would report the last one
// leaving to this window, which is gone by then.
ZqMDI::~ZqMDI() {
    disconnect(m_area, nullptr, this, nullptr);
    m_area->viewport()->removeEventFilter(this);
}

QString ZqMDI::titleText(const QString& printerName) {
    const Session& s = Session::current();
    return QStringLiteral(" Q.V.K.晟嘉通進銷存會計系統  固定資產管理系統 v") + s.versionText +
           QStringLiteral("     工作站號：") + s.workstationCode +
           QStringLiteral("     指定印表機：") + printerName;
}

QString ZqMDI::placeText() {
    return QStringLiteral("Q.V.K.晟嘉通進銷存會計系統  固定資產管理系統");
}

void ZqMDI::refreshTitle() {
    const auto printer = CurrentPrinter::name();
    setWindowTitle(titleText(printer.value_or(QStringLiteral("無"))));
    Session::current().printerReady = printer.has_value();
}

void ZqMDI::heartbeat() {
    if (++m_heartbeatCounter < HeartbeatTicks) return;
    DataSource& general = SharedSources::general();
    general.commandText =
        QStringLiteral("EXEC SP_TIME_UPDATE ") + SqlLiteral(Session::current().workstationCode);
    // An error names the title line as it is shown now, with workstation and printer.
    RefreshData(general, windowTitle());
    const Recordset& rs = general.recordset();
    const int column = rs.fieldIndex(QStringLiteral("DTIME"));
    if (!HasCurrentRow(rs) || column < 0) {
        SetLastError(AdoItemNotFound,
                     QStringLiteral("在對應所要求名稱或序數的集合中，找不到項目。"));
        ReportDbError(QStringLiteral("ZqMDI-Timer1"));
    }
    if (const auto refused = ServerClock::take(rs.field(column).toDateTime())) {
        SetLastError(refused->number, refused->description);
        ReportDbError(QStringLiteral("ZqMDI-Timer1"));
    }
    m_heartbeatCounter = 0;
}

void ZqMDI::openSession() {
    if (!m_notices) {
        // The notice line lies behind every other child window and takes nothing: no keys, no
        // clicks (they go to the area under it), never the activation. No frame, so it cannot
        // be closed.
        m_notices = new NoticeWindow;
        QMdiSubWindow* sub = m_area->addSubWindow(m_notices, Qt::FramelessWindowHint);
        sub->setObjectName(QStringLiteral("FComFrame"));
        sub->setWindowIcon(ModuleIcon());
        sub->setFocusPolicy(Qt::NoFocus);
        sub->setAttribute(Qt::WA_TransparentForMouseEvents);
        placeNoticeLine();
        sub->show();
        sub->lower();
        m_notices->load();
    }
    if (!m_menu) {
        m_menu = new MainMenu;
        connect(m_menu, &MainMenu::exitConfirmed, qApp, &QCoreApplication::quit,
                Qt::QueuedConnection);
    }
    QMdiSubWindow* sub = showChild(m_menu, 200, 1005, 2655, 6390);
    // The menu stays for the life of the program: it is left with Esc, not closed.
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    sub->show();
    m_menu->button(0)->setFocus();
    if (!m_menu->button(0)->isEnabled()) m_menu->button(3)->setFocus();
}

QMdiSubWindow* ZqMDI::noticeFrame() const {
    return m_notices ? qobject_cast<QMdiSubWindow*>(m_notices->parentWidget()) : nullptr;
}

void ZqMDI::placeNoticeLine() {
    QMdiSubWindow* frame = noticeFrame();
    if (!frame) return;
    const int areaWidth = m_area->viewport()->width();
    const int width = areaWidth - Twips::toPixels(200);
    frame->setGeometry((areaWidth - width) / 2, 0, width, Twips::toPixels(720));
}

// The notice line is never the active window: should the area activate it (after the active
// window closed, or asked to), the activation goes to the topmost other window.
void ZqMDI::passOverNoticeLine(QMdiSubWindow* activated) {
    QMdiSubWindow* notices = noticeFrame();
    if (!activated || activated != notices) return;
    const QList<QMdiSubWindow*> frames = m_area->subWindowList(QMdiArea::StackingOrder);
    for (auto it = frames.crbegin(); it != frames.crend(); ++it) {
        if (*it != notices && (*it)->isVisible()) {
            m_area->setActiveSubWindow(*it);
            // The area raises the window it activates once this returns: back behind then.
            QMetaObject::invokeMethod(notices, &QWidget::lower, Qt::QueuedConnection);
            return;
        }
    }
    m_area->setActiveSubWindow(nullptr);
}

bool ZqMDI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_area->viewport() && event->type() == QEvent::Resize) placeNoticeLine();
    auto* frame = qobject_cast<QMdiSubWindow*>(watched);
    if (frame && event->type() == QEvent::Close && m_area->activeSubWindow() == frame) {
        // The active window closes by its frame (the close box, Ctrl+F4): once it is gone,
        // the keyboard goes where it goes after Esc. A window that refuses to close stays.
        const QPointer<QMdiSubWindow> closing(frame);
        const QPointer<QWidget> from = WindowRegistry::openedFrom(frame->widget());
        QTimer::singleShot(0, this, [this, closing, from] {
            if (closing && closing->isVisible()) return;
            FocusNextChild(m_area, closing, from);
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

void ZqMDI::showPrinterWindow() {
    if (!m_printers) m_printers = new PrinterWindow;
    if (m_printers->refill()) showChild(m_printers, 3570, 2700);
}

// The control of the window that had (or was given) the focus last, else the window.
static void focusInside(QWidget* window) {
    QWidget* control = window->focusWidget();
    (control ? control : window)->setFocus();
}

QMdiSubWindow* ZqMDI::showChild(QWidget* window, int leftTwips, int topTwips, int widthTwips,
                                int heightTwips) {
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        if (sub->widget() == window) {
            sub->showNormal();
            m_area->setActiveSubWindow(sub);
            focusInside(window);
            return sub;
        }
    }
    const QSize ownSize = window->size();
    QMdiSubWindow* sub = m_area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose, true);
    sub->installEventFilter(this);
    sub->setWindowTitle(window->windowTitle());
    // A frame without an icon of its own would show Qt's logo.
    sub->setWindowIcon(ModuleIcon());
    if (widthTwips > 0 && heightTwips > 0)
        sub->setGeometry(Twips::rect(leftTwips, topTwips, widthTwips, heightTwips));
    else
        sub->move(Twips::toPixels(leftTwips), Twips::toPixels(topTwips));
    sub->show();
    // The frame grows around the window's own size.
    if (widthTwips <= 0 || heightTwips <= 0)
        sub->resize(sub->size() + ownSize.expandedTo(window->minimumSizeHint()) - window->size());
    m_area->setActiveSubWindow(sub);
    focusInside(window);
    return sub;
}

PrinterWindow* ZqMDI::printerWindow() const { return m_printers; }
MainMenu* ZqMDI::menu() const { return m_menu; }
NoticeWindow* ZqMDI::notices() const { return m_notices; }

QString ZqMDI::statusText() const { return m_status->text(); }

void ZqMDI::closeEvent(QCloseEvent* event) {
    // Tells the suite that this module is no longer open.
    UserSettings::save(QStringLiteral("Zq2000"), QStringLiteral("OpenId"), QStringLiteral("FU"),
                       QStringLiteral("0"));
    event->accept();
}
