#pragma once

// A private X display with a window manager: Xvfb on a display number it picks (-displayfd), then
// openbox. Started before the QApplication; both end with the test program, even on a crash.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QThread>
#include <string>
#include <vector>

class DisplayServer {
public:
    ~DisplayServer() {
        fail(nullptr, "");
        if (!m_folder.empty()) QDir(QString::fromStdString(m_folder)).removeRecursively();
    }

    // Starts both; on failure says why, and whatever did start is stopped again.
    bool start(QString* why) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return fail(why, "no pipe for Xvfb");
        m_xvfb = spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                        "1280x1024x24", "-nolisten", "tcp", "-noreset"});
        ::close(pipeFds[1]);
        std::string number;  // written when Xvfb is ready
        char c = 0;
        pollfd p{pipeFds[0], POLLIN, 0};
        while (::poll(&p, 1, 10000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(pipeFds[0]);
        if (m_xvfb <= 0 || c != '\n' || number.empty())
            return fail(why, "Xvfb did not start (package xvfb, scripts/bootstrap)");
        m_display = ":" + number;
        char folder[] = "/tmp/zqfu-wm-XXXXXX";
        if (!::mkdtemp(folder)) return fail(why, "no temporary folder for the window manager");
        m_folder = folder;
        const std::string ready = m_folder + "/ready";
        m_windowManager = spawn({"openbox", "--sm-disable", "--startup", "touch " + ready},
                                {"DISPLAY=" + m_display, "XDG_CONFIG_HOME=" + m_folder,
                                 "XDG_CACHE_HOME=" + m_folder, "XDG_DATA_HOME=" + m_folder});
        struct stat info;
        for (int waited = 0; ::stat(ready.c_str(), &info) != 0; waited += 20) {
            if (waited > 10000 || exited(m_windowManager))
                return fail(why, "openbox did not start (package openbox, scripts/bootstrap)");
            QThread::msleep(20);
        }
        return true;
    }

    QByteArray display() const { return QByteArray::fromStdString(m_display); }

private:
    static pid_t spawn(const std::vector<std::string>& args,
                       const std::vector<std::string>& env = {}) {
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(null, fd);
        for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }

    static bool exited(pid_t& pid) {
        int status;
        if (pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid) pid = 0;
        return pid <= 0;
    }

    static void stop(pid_t& pid) {  // SIGTERM, and SIGKILL after two seconds
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        for (int i = 0; i < 100 && !exited(pid); ++i) QThread::msleep(20);
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = 0;
    }

    bool fail(QString* why, const char* text) {  // stops both
        stop(m_windowManager);
        stop(m_xvfb);
        if (why) *why = QString::fromUtf8(text);
        return false;
    }

    pid_t m_xvfb = 0, m_windowManager = 0;
    std::string m_display, m_folder;
};
