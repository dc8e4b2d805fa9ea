/* Prints "bell" for every ring of the X server's bell, whoever rings it, as the X keyboard
 * extension reports it; "attention" for every window that asks the window manager to draw the
 * user's attention to it (_NET_WM_STATE_DEMANDS_ATTENTION added, sent to the root window as
 * toolkits send it; no window manager needs to run); "watching" once it is listening.
 *
 *   bell_watch        (on $DISPLAY)
 */
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <stdio.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "bell_watch: cannot open the display\n");
        return 1;
    }
    int opcode = 0, event_base = 0, error_base = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event_base, &error_base, &major, &minor)) {
        fprintf(stderr, "bell_watch: the X server has no keyboard extension\n");
        return 1;
    }
    XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    /* Such requests go to the root window with the structure or substructure notify mask. */
    XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask | SubstructureNotifyMask);
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom attention = XInternAtom(display, "_NET_WM_STATE_DEMANDS_ATTENTION", False);
    XSync(display, False);
    printf("watching\n");
    fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == event_base && ((XkbEvent*)&event)->any.xkb_type == XkbBellNotify) {
            printf("bell\n");
        } else if (event.type == ClientMessage && event.xclient.message_type == state &&
                   event.xclient.data.l[0] == 1 /* add */ &&
                   ((Atom)event.xclient.data.l[1] == attention ||
                    (Atom)event.xclient.data.l[2] == attention)) {
            printf("attention 0x%lx\n", event.xclient.window);
        }
        fflush(stdout);
    }
}
