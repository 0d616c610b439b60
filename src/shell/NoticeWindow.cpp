#include "NoticeWindow.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "Clock.h"
#include "DbAccess.h"
#include "NoticeStatements.h"
#include "Session.h"
#include "Values.h"

namespace {
// The system colours 0x8000000E (highlighted text) and 0x8000000F (button face), and the
// light yellow 0x80FFFF of the suite's notices.
QColor highlightText() { return QPalette().color(QPalette::HighlightedText); }
QColor buttonFace() { return QPalette().color(QPalette::Button); }
const QColor kLightYellow(0xFF, 0xFF, 0x80);
}  // namespace

NoticeWindow::NoticeWindow(QWidget* parent)
    : QWidget(parent),
      m_company(new QLabel(this)),
      m_notice(new QLabel(this)),
      m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("FCom"));
    setWindowTitle(QStringLiteral("公告訊息"));
    // Only shows: no keys, no clicks.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_company->setObjectName(QStringLiteral("Label1"));
    m_notice->setObjectName(QStringLiteral("L2"));
    // What any writer of the database stored is shown as text, never as markup.
    m_company->setTextFormat(Qt::PlainText);
    m_notice->setTextFormat(Qt::PlainText);
    m_company->setAlignment(Qt::AlignCenter);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setAutoFillBackground(true);
    QFont big = m_company->font();
    big.setPointSize(12);
    big.setBold(true);
    m_company->setFont(big);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_company);
    layout->addWidget(m_notice);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &NoticeWindow::tick);
    SetConnection(m_source);
}

QString NoticeWindow::noticeQuery(const QString& today) {
    return NoticeStatements::validOn(Session::current(), today);
}

void NoticeWindow::load() {
    m_company->setText(Session::current().companyName);
    m_notice->clear();
    m_counter = 0;
    m_today = DateToRoc(Clock::today());
    if (Session::current().sessionOpen) {
        m_source.commandText = noticeQuery(m_today);
        readNotices();
    }
    m_timer->start();
}

void NoticeWindow::readNotices() { RefreshData(m_source, windowTitle()); }

void NoticeWindow::showNotice(const QColor& colour) {
    QPalette p = m_notice->palette();
    p.setColor(QPalette::Window, colour);
    m_notice->setPalette(p);
    const Recordset& rs = m_source.recordset();
    // The board takes 80 bytes; a longer text stored by another writer shows its beginning.
    constexpr int MaxShown = 200;
    m_notice->setText(HasCurrentRow(rs)
                          ? rs.field(QStringLiteral("FDATA")).toString().left(MaxShown)
                          : QString());
}

void NoticeWindow::tick() {
    if (!Session::current().sessionOpen) return;
    Recordset& rs = m_source.recordset();
    m_counter = qint16(m_counter + 1);
    if (HasCurrentRow(rs)) {
        if (m_counter == 1) {
            m_yellow = false;
            showNotice(highlightText());
        } else if (m_counter % TicksPerNotice == 0) {
            rs.moveNext();
            if (HasCurrentRow(rs)) {
                m_yellow = !m_yellow;
                showNotice(m_yellow ? kLightYellow : highlightText());
            }
        }
    }
    if (rs.eof()) {
        if (rs.bof()) {
            showNotice(buttonFace());
        } else {
            // Back to the newest notice; the colour still changes, so that even a single
            // notice shows that the line is alive.
            rs.moveFirst();
            m_yellow = !m_yellow;
            showNotice(m_yellow ? kLightYellow : highlightText());
            // A list longer than one cycle is read again after each round.
            if (rs.recordCount() * TicksPerNotice > TicksPerCycle) {
                readNotices();
                m_counter = 0;
            }
        }
    }
    if (m_counter > TicksPerCycle) {
        m_counter = 0;
        if (m_source.recordset().recordCount() * TicksPerNotice <= TicksPerCycle) readNotices();
    }
}

QString NoticeWindow::noticeText() const { return m_notice->text(); }
QColor NoticeWindow::noticeColour() const { return m_notice->palette().color(QPalette::Window); }
