/* A minimal X session manager for the end-to-end tests: it lets clients register, and on SIGUSR1
 * logs the session out as a desktop does, asking every client to save itself for a shutdown
 * (SaveYourself, shutdown true, no interaction) and telling it to die once it has answered. The
 * address for SESSION_MANAGER is written to ADDRESS_FILE; what happens is printed, one line per
 * step.
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

#define MAX_CLIENTS 8

static SmsConn clients[MAX_CLIENTS];
static int client_count;
static volatile sig_atomic_t logout_requested;

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
    printf("die\n");
    fflush(stdout);
    SmsDie(conn);
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
    for (;;) {
        if (logout_requested) {
            logout_requested = 0;
            printf("logout (%d clients)\n", client_count);
            fflush(stdout);
            for (int i = 0; i < client_count; ++i)
                SmsSaveYourself(clients[i], SmSaveBoth, True, SmInteractStyleNone, False);
        }
        fd_set fds;
        FD_ZERO(&fds);
        int top = 0;
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
