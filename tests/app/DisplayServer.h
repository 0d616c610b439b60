#pragma once

// A private X display for tests that need a real display server and window manager: Xvfb on a
// display number it picks itself (-displayfd), then openbox on it. Started before the
// QApplication exists; both processes end with the test program (also when it crashes).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <string>
#include <vector>

class DisplayServer {
public:
    DisplayServer() = default;
    DisplayServer(const DisplayServer&) = delete;
    DisplayServer& operator=(const DisplayServer&) = delete;
    ~DisplayServer() {
        stop(m_windowManager);
        stop(m_xvfb);
        if (!m_folder.empty()) QDir(QString::fromStdString(m_folder)).removeRecursively();
    }

    // Starts both; on failure says why, and whatever did start is stopped again.
    bool start(QString* why) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return fail(why, "no pipe for Xvfb");
        m_xvfb = spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                        "1280x1024x24", "-nolisten", "tcp", "-noreset"},
                       {});
        ::close(pipeFds[1]);
        const std::string number = readLine(pipeFds[0], 10000);
        ::close(pipeFds[0]);
        if (m_xvfb <= 0 || number.empty())
            return fail(why, "Xvfb did not start (package xvfb, installed by scripts/bootstrap)");
        m_display = ":" + number;

        char folder[] = "/tmp/zqfu-wm-XXXXXX";
        if (!::mkdtemp(folder)) return fail(why, "no temporary folder for the window manager");
        m_folder = folder;
        const std::string ready = m_folder + "/ready";
        m_windowManager = spawn({"openbox", "--sm-disable", "--startup", "touch " + ready},
                                {"DISPLAY=" + m_display, "XDG_CONFIG_HOME=" + m_folder,
                                 "XDG_CACHE_HOME=" + m_folder, "XDG_DATA_HOME=" + m_folder});
        QElapsedTimer waited;
        waited.start();
        struct stat info;
        while (::stat(ready.c_str(), &info) != 0) {
            if (waited.elapsed() > 10000 || exited(m_windowManager))
                return fail(why,
                            "the window manager did not start (package openbox, installed "
                            "by scripts/bootstrap)");
            QThread::msleep(20);
        }
        return true;
    }

    QByteArray display() const { return QByteArray::fromStdString(m_display); }

private:
    static pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }

    // The display number Xvfb writes when it is ready; empty when it ends or times out first.
    static std::string readLine(int fd, int timeoutMs) {
        std::string text;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMs) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c;
            if (::read(fd, &c, 1) != 1) break;
            if (c == '\n') return text;
            text += c;
        }
        return {};
    }

    static bool exited(pid_t& pid) {
        int status;
        if (pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid) pid = 0;
        return pid <= 0;
    }

    static void stop(pid_t& pid) {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        for (int i = 0; i < 100 && !exited(pid); ++i) QThread::msleep(20);
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        int status;
        ::waitpid(pid, &status, 0);
        pid = 0;
    }

    bool fail(QString* why, const char* text) {
        stop(m_windowManager);
        stop(m_xvfb);
        if (why) *why = QString::fromUtf8(text);
        return false;
    }

    pid_t m_xvfb = 0;
    pid_t m_windowManager = 0;
    std::string m_display;
    std::string m_folder;
};
