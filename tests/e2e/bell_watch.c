/* Prints "bell" for every ring of the X server's bell, whoever rings it, as the X keyboard
 * extension reports it; "watching" once it is listening.
 *
 *   bell_watch        (on $DISPLAY)
 */
#include <X11/XKBlib.h>
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
    XSync(display, False);
    printf("watching\n");
    fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == event_base && ((XkbEvent*)&event)->any.xkb_type == XkbBellNotify) {
            printf("bell\n");
            fflush(stdout);
        }
    }
}
