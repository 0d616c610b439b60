#pragma once

#include <QWidget>

#include "DataSource.h"

class QLabel;
class QTimer;

// The notice line FCom: the company name and, one after another, the notices of F8DATA that
// are valid today for the user's department (all departments with right 355), newest first.
// Each notice stays 15 seconds with alternating colours; the list is read again about every
// ten minutes.
class NoticeWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int TicksPerNotice = 15;
    static constexpr int TicksPerCycle = 600;

    explicit NoticeWindow(QWidget* parent = nullptr);
    // Reads the notices (on load); the timer starts with the window.
    void load();
    // The command text of the day's notices.
    static QString noticeQuery(const QString& today);

    QString noticeText() const;
    QColor noticeColour() const;
    int counter() const { return m_counter; }

public slots:
    // One tick of the rotation timer (every second).
    void tick();

private:
    void showNotice(const QColor& colour);
    void readNotices();

    QLabel* m_company;
    QLabel* m_notice;
    QTimer* m_timer;
    DataSource m_source;  // Ado_Temp
    QString m_today;
    int m_counter = 0;
    bool m_yellow = false;
};
