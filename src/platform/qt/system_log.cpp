#include "platform/qt/system_log.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tollvane {

namespace {

// systemd names the journal stream it gives a program as "DEVICE:INODE" in JOURNAL_STREAM.
bool stderrIsTheJournal() {
    const char* stream = std::getenv("JOURNAL_STREAM");
    struct stat st {};
    if (!stream || ::fstat(STDERR_FILENO, &st) != 0) return false;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    return std::sscanf(stream, "%llu:%llu", &device, &inode) == 2 && device == st.st_dev &&
           inode == st.st_ino;
}

// The journal's native protocol: one datagram of FIELD=value lines. No journal: nothing sent.
void sendToJournal(const std::string& line) {
    std::string entry = "PRIORITY=4\nSYSLOG_IDENTIFIER=tollvane\nMESSAGE=" + line + "\n";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, "/run/systemd/journal/socket", sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    ::sendto(fd, entry.data(), entry.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address),
             sizeof address);
    ::close(fd);
}

}  // namespace

void tellSystemLog(const std::string& line) {
    std::string oneLine = line;
    for (char& c : oneLine)
        if (c == '\n') c = ' ';
    std::fprintf(stderr, "tollvane: %s\n", oneLine.c_str());
    std::fflush(stderr);
    if (!stderrIsTheJournal()) sendToJournal(oneLine);
}

}  // namespace tollvane
