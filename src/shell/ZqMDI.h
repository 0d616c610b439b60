#pragma once

#include <QMainWindow>
#include <QPointer>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class MainMenu;
class NoticeWindow;
class PrinterWindow;

// The main window that holds every other window: its title line, its status text and the
// child windows of the module.
class ZqMDI : public QMainWindow {
    Q_OBJECT
public:
    explicit ZqMDI(QWidget* parent = nullptr);
    ~ZqMDI() override;

    // The title line for a printer name ("無" when there is none).
    static QString titleText(const QString& printerName);
    // The caption that names the main window as the place of a database error.
    static QString placeText();

    // The last steps of start-up: the notice line and the main menu.
    void openSession();
    // Shows a window as a modeless child at a position in twips, or brings it forward when it
    // is open already; the window keeps its own size when width and height are 0. A child that
    // is closed is deleted with its frame.
    QMdiSubWindow* showChild(QWidget* window, int leftTwips, int topTwips, int widthTwips = 0,
                             int heightTwips = 0);
    // The printer selection (F7).
    void showPrinterWindow();
    PrinterWindow* printerWindow() const;
    MainMenu* menu() const;
    NoticeWindow* notices() const;
    QString statusText() const;
    int heartbeatCounter() const { return m_heartbeatCounter; }
    static constexpr int HeartbeatTicks = 60;

public slots:
    // Title timer: title line and PrinterReady, every second.
    void refreshTitle();
    // Heartbeat timer, every minute: once an hour reports the workstation to the server and
    // takes the server's time.
    void heartbeat();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMdiSubWindow* noticeFrame() const;
    // The notice line across the top of the area, as wide as the area less a margin.
    void placeNoticeLine();
    void passOverNoticeLine(QMdiSubWindow* activated);

    QMdiArea* m_area;
    qint16 m_heartbeatCounter = 0;
    QLabel* m_status;
    QPointer<MainMenu> m_menu;
    QPointer<NoticeWindow> m_notices;
    QPointer<PrinterWindow> m_printers;
};
