/* A minimal X session manager for the end-to-end tests: it lets clients register and asks them to
 * save themselves as a desktop does, never allowing interaction. Commands come one a line on
 * standard input (SIGUSR1 is "logout" too):
 *   logout            save for a shutdown, then die once the client has answered
 *   checkpoint        save without a shutdown ("save session now"), then save-complete
 *   cancelled-logout  save for a shutdown, then shutdown-cancelled: the user changed their mind
 * The address for SESSION_MANAGER is written to ADDRESS_FILE; what happens is printed, one line
 * per step.
 *
 *   logout_session_manager ADDRESS_FILE
 */
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <unistd.h>

#define MAX_CLIENTS 8

static SmsConn clients[MAX_CLIENTS];
static int client_count;
static volatile sig_atomic_t logout_requested;

enum request { NONE, LOGOUT, CHECKPOINT, CANCELLED_LOGOUT };
static enum request current = NONE;

static void ask_to_save(enum request request) {
    static const char* const names[] = {"", "logout", "checkpoint", "cancelled-logout"};
    current = request;
    printf("%s (%d clients)\n", names[request], client_count);
    fflush(stdout);
    for (int i = 0; i < client_count; ++i)
        SmsSaveYourself(clients[i], SmSaveBoth, request != CHECKPOINT, SmInteractStyleNone, False);
}

static void on_usr1(int sig) {
    (void)sig;
    logout_requested = 1;
}

static Status register_client(SmsConn conn, SmPointer data, char* previous_id) {
    (void)data;
    char* id = SmsGenerateClientID(conn);
    if (previous_id) free(previous_id);
    SmsRegisterClientReply(conn, id);
    printf("registered %s\n", id);
    fflush(stdout);
    free(id);
    return 1;
}

static void save_yourself_done(SmsConn conn, SmPointer data, Bool success) {
    (void)data;
    printf("save-yourself-done %s\n", success ? "success" : "failure");
    if (current == CHECKPOINT) {
        printf("save-complete\n");
        SmsSaveComplete(conn);
    } else if (current == CANCELLED_LOGOUT) {
        printf("shutdown-cancelled\n");
        SmsShutdownCancelled(conn);
    } else {
        printf("die\n");
        SmsDie(conn);
    }
    fflush(stdout);
}

/* Reads what has arrived on standard input and runs each whole line; false at its end. */
static int read_commands(void) {
    static char line[256];
    static size_t used;
    const ssize_t n = read(STDIN_FILENO, line + used, sizeof line - 1 - used);
    if (n <= 0) return 0;
    used += (size_t)n;
    char* newline;
    while ((newline = memchr(line, '\n', used)) != NULL) {
        *newline = '\0';
        if (strcmp(line, "logout") == 0) {
            ask_to_save(LOGOUT);
        } else if (strcmp(line, "checkpoint") == 0) {
            ask_to_save(CHECKPOINT);
        } else if (strcmp(line, "cancelled-logout") == 0) {
            ask_to_save(CANCELLED_LOGOUT);
        } else {
            printf("unknown command: %s\n", line);
            fflush(stdout);
        }
        used -= (size_t)(newline + 1 - line);
        memmove(line, newline + 1, used);
    }
    if (used == sizeof line - 1) used = 0; /* a line too long for any command */
    return 1;
}

static void interact_request(SmsConn conn, SmPointer data, int dialog_type) {
    (void)data;
    (void)dialog_type;
    SmsInteract(conn);
}

static void interact_done(SmsConn conn, SmPointer data, Bool cancel) {
    (void)conn;
    (void)data;
    (void)cancel;
}

static void save_request(SmsConn conn, SmPointer data, int save_type, Bool shutdown,
                         int interact_style, Bool fast, Bool global) {
    (void)data;
    (void)global;
    SmsSaveYourself(conn, save_type, shutdown, interact_style, fast);
}

static void phase2_request(SmsConn conn, SmPointer data) {
    (void)data;
    SmsSaveYourselfPhase2(conn);
}

static void close_connection(SmsConn conn, SmPointer data, int count, char** reasons) {
    (void)data;
    printf("closed\n");
    fflush(stdout);
    SmFreeReasons(count, reasons);
    SmsCleanUp(conn); /* the connection itself is closed when it reports its end */
    for (int i = 0; i < client_count; ++i) {
        if (clients[i] == conn) clients[i] = clients[--client_count];
    }
}

static void set_properties(SmsConn conn, SmPointer data, int count, SmProp** props) {
    (void)conn;
    (void)data;
    for (int i = 0; i < count; ++i) SmFreeProperty(props[i]);
    free(props);
}

static void delete_properties(SmsConn conn, SmPointer data, int count, char** names) {
    (void)conn;
    (void)data;
    for (int i = 0; i < count; ++i) free(names[i]);
    free(names);
}

static void get_properties(SmsConn conn, SmPointer data) {
    (void)data;
    SmsReturnProperties(conn, 0, NULL);
}

static Status new_client(SmsConn conn, SmPointer manager_data, unsigned long* mask,
                         SmsCallbacks* cb, char** failure_reason) {
    (void)manager_data;
    (void)failure_reason;
    if (client_count == MAX_CLIENTS) return 0;
    clients[client_count++] = conn;
    memset(cb, 0, sizeof *cb);
    cb->register_client.callback = register_client;
    cb->interact_request.callback = interact_request;
    cb->interact_done.callback = interact_done;
    cb->save_yourself_request.callback = save_request;
    cb->save_yourself_phase2_request.callback = phase2_request;
    cb->save_yourself_done.callback = save_yourself_done;
    cb->close_connection.callback = close_connection;
    cb->set_properties.callback = set_properties;
    cb->delete_properties.callback = delete_properties;
    cb->get_properties.callback = get_properties;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
            SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask |
            SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    return 1;
}

/* Clients of this private session need no authentication. */
static Bool accept_any_host(char* host) {
    (void)host; /* freed by the library */
    return True;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s ADDRESS_FILE\n", argv[0]);
        return 2;
    }
    char error[256];
    if (!SmsInitialize("tollvane-test", "1.0", new_client, NULL, accept_any_host, sizeof error,
                       error)) {
        fprintf(stderr, "SmsInitialize: %s\n", error);
        return 1;
    }
    int listen_count = 0;
    IceListenObj* listeners = NULL;
    if (!IceListenForConnections(&listen_count, &listeners, sizeof error, error)) {
        fprintf(stderr, "IceListenForConnections: %s\n", error);
        return 1;
    }
    for (int i = 0; i < listen_count; ++i) IceSetHostBasedAuthProc(listeners[i], accept_any_host);
    char* ids = IceComposeNetworkIdList(listen_count, listeners);
    FILE* f = fopen(argv[1], "w");
    if (!f) return 1;
    fprintf(f, "%s\n", ids);
    fclose(f);
    free(ids);

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = on_usr1;
    sigaction(SIGUSR1, &action, NULL);
    signal(SIGPIPE, SIG_IGN);

    IceConn conns[32];
    int conn_count = 0;
    int reading = 1;
    for (;;) {
        if (logout_requested) {
            logout_requested = 0;
            ask_to_save(LOGOUT);
        }
        fd_set fds;
        FD_ZERO(&fds);
        int top = 0;
        if (reading) FD_SET(STDIN_FILENO, &fds);
        for (int i = 0; i < listen_count; ++i) {
            const int fd = IceGetListenConnectionNumber(listeners[i]);
            FD_SET(fd, &fds);
            if (fd > top) top = fd;
        }
        for (int i = 0; i < conn_count; ++i) {
            const int fd = IceConnectionNumber(conns[i]);
            FD_SET(fd, &fds);
            if (fd > top) top = fd;
        }
        struct timeval tick = {0, 100000};
        const int n = select(top + 1, &fds, NULL, NULL, &tick);
        if (n < 0 && errno != EINTR) return 1;
        if (n <= 0) continue;
        if (reading && FD_ISSET(STDIN_FILENO, &fds)) reading = read_commands();
        for (int i = 0; i < listen_count; ++i) {
            if (!FD_ISSET(IceGetListenConnectionNumber(listeners[i]), &fds)) continue;
            IceAcceptStatus status;
            IceConn c = IceAcceptConnection(listeners[i], &status);
            if (c && conn_count < 32) conns[conn_count++] = c;
        }
        for (int i = 0; i < conn_count; ++i) {
            if (!FD_ISSET(IceConnectionNumber(conns[i]), &fds)) continue;
            if (IceConnectionStatus(conns[i]) == IceConnectPending) {
                IceProcessMessages(conns[i], NULL, NULL);
                continue;
            }
            if (IceProcessMessages(conns[i], NULL, NULL) == IceProcessMessagesIOError) {
                IceCloseConnection(conns[i]);
                conns[i--] = conns[--conn_count];
            }
        }
    }
}
