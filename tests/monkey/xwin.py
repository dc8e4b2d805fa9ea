"""The two window-manager messages the monkey needs, through libX11: the close box
(WM_DELETE_WINDOW, as a window manager sends it when the user clicks a window's close box) and
the window manager's ping (_NET_WM_PING), which a client answers from its event loop, so an
answer within a time shows that the program is not hung."""

import ctypes
import ctypes.util
import time

_x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

_ulong = ctypes.c_ulong


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", _ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", _ulong),
        ("message_type", _ulong),
        ("format", ctypes.c_int),
        ("l", ctypes.c_long * 5),
    ]


class _SelectionRequest(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", _ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("owner", _ulong),
        ("requestor", _ulong),
        ("selection", _ulong),
        ("target", _ulong),
        ("property", _ulong),
        ("time", _ulong),
    ]


class _Selection(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", _ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("requestor", _ulong),
        ("selection", _ulong),
        ("target", _ulong),
        ("property", _ulong),
        ("time", _ulong),
    ]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", _ClientMessage),
                ("xselectionrequest", _SelectionRequest), ("xselection", _Selection),
                ("pad", ctypes.c_long * 24)]


_x.XOpenDisplay.restype = ctypes.c_void_p
_x.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x.XDefaultRootWindow.restype = _ulong
_x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x.XInternAtom.restype = _ulong
_x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x.XSendEvent.argtypes = [ctypes.c_void_p, _ulong, ctypes.c_int, ctypes.c_long,
                          ctypes.POINTER(_Event)]
_x.XSelectInput.argtypes = [ctypes.c_void_p, _ulong, ctypes.c_long]
_x.XPending.argtypes = [ctypes.c_void_p]
_x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
_x.XFlush.argtypes = [ctypes.c_void_p]
_x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x.XCreateSimpleWindow.restype = _ulong
_x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, _ulong, ctypes.c_int, ctypes.c_int,
                                   ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, _ulong, _ulong]
_x.XSetSelectionOwner.argtypes = [ctypes.c_void_p, _ulong, _ulong, _ulong]
_x.XChangeProperty.argtypes = [ctypes.c_void_p, _ulong, _ulong, _ulong, ctypes.c_int,
                               ctypes.c_int, ctypes.c_char_p, ctypes.c_int]

# A window may be gone by the time a message reaches it; that is no error of the monkey's.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_ignore_errors = _ERROR_HANDLER(lambda display, error: 0)
_x.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
_x.XSetErrorHandler.restype = ctypes.c_void_p
_x.XSetErrorHandler(_ignore_errors)

_CLIENT_MESSAGE = 33
_SELECTION_CLEAR = 29
_SELECTION_REQUEST = 30
_SELECTION_NOTIFY = 31
_XA_ATOM = 4
_STRUCTURE_NOTIFY = 1 << 17  # what Qt sends its answer to a ping with


class Display:
    def __init__(self, name):
        self.d = _x.XOpenDisplay(name.encode())
        if not self.d:
            raise RuntimeError("cannot open display " + name)
        self.root = _x.XDefaultRootWindow(self.d)
        self.protocols = _x.XInternAtom(self.d, b"WM_PROTOCOLS", 0)
        self.delete = _x.XInternAtom(self.d, b"WM_DELETE_WINDOW", 0)
        self.ping_atom = _x.XInternAtom(self.d, b"_NET_WM_PING", 0)
        # Answers to a ping are sent to the root window for the window manager to see.
        _x.XSelectInput(self.d, self.root, _STRUCTURE_NOTIFY)
        self.stamp = 1
        # The clipboard the monkey pastes from, as a user pastes a text copied elsewhere.
        self.owner = _x.XCreateSimpleWindow(self.d, self.root, 0, 0, 1, 1, 0, 0, 0)
        self.clipboard_atom = _x.XInternAtom(self.d, b"CLIPBOARD", 0)
        self.targets = _x.XInternAtom(self.d, b"TARGETS", 0)
        self.utf8 = _x.XInternAtom(self.d, b"UTF8_STRING", 0)
        self.text_plain = _x.XInternAtom(self.d, b"text/plain;charset=utf-8", 0)
        self.clip = b""

    def _send(self, window, what, extra=0):
        ev = _Event()
        ev.xclient.type = _CLIENT_MESSAGE
        ev.xclient.window = window
        ev.xclient.message_type = self.protocols
        ev.xclient.format = 32
        ev.xclient.l[0] = what
        ev.xclient.l[1] = self.stamp
        ev.xclient.l[2] = extra
        _x.XSendEvent(self.d, window, 0, 0, ctypes.byref(ev))
        _x.XFlush(self.d)

    def close(self, window):
        """What a window manager sends when the user clicks the window's close box."""
        self._send(window, self.delete)

    def ping(self, window, timeout):
        """True when the window's program answers a ping within timeout seconds."""
        self._drain()
        self.stamp += 1
        stamp = self.stamp
        self._send(window, self.ping_atom, window)
        end = time.monotonic() + timeout
        ev = _Event()
        while time.monotonic() < end:
            while _x.XPending(self.d):
                _x.XNextEvent(self.d, ctypes.byref(ev))
                self._handle(ev)
                c = ev.xclient
                if (ev.type == _CLIENT_MESSAGE and c.l[0] == self.ping_atom
                        and c.l[1] == stamp and c.l[2] == window):
                    return True
            time.sleep(0.01)
        return False

    def set_clipboard(self, text):
        self.clip = text.encode("utf-8", "surrogatepass")
        _x.XSetSelectionOwner(self.d, self.clipboard_atom, self.owner, 0)
        _x.XFlush(self.d)

    def serve(self, seconds):
        """Answers requests for the clipboard for a while (the program asks when it pastes)."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self._drain()
            time.sleep(0.01)

    def _handle(self, ev):
        if ev.type != _SELECTION_REQUEST:
            return
        r = ev.xselectionrequest
        reply = _Event()
        reply.xselection.type = _SELECTION_NOTIFY
        reply.xselection.requestor = r.requestor
        reply.xselection.selection = r.selection
        reply.xselection.target = r.target
        reply.xselection.time = r.time
        reply.xselection.property = r.property
        if r.target == self.targets:
            atoms = (_ulong * 3)(self.targets, self.utf8, self.text_plain)
            _x.XChangeProperty(self.d, r.requestor, r.property, _XA_ATOM, 32, 0,
                               ctypes.cast(atoms, ctypes.c_char_p), 3)
        elif r.target in (self.utf8, self.text_plain):
            _x.XChangeProperty(self.d, r.requestor, r.property, r.target, 8, 0, self.clip,
                               len(self.clip))
        else:
            reply.xselection.property = 0
        _x.XSendEvent(self.d, r.requestor, 0, 0, ctypes.byref(reply))
        _x.XFlush(self.d)

    def hold_clipboard(self):
        """Serves the clipboard until another client takes it over, as a program that copied a
        text does."""
        ev = _Event()
        while True:
            _x.XNextEvent(self.d, ctypes.byref(ev))
            if ev.type == _SELECTION_CLEAR:
                return
            self._handle(ev)

    def _drain(self):
        ev = _Event()
        while _x.XPending(self.d):
            _x.XNextEvent(self.d, ctypes.byref(ev))
            self._handle(ev)


if __name__ == "__main__":
    # xwin.py clipboard: owns the clipboard with the text on standard input and serves it until
    # another client takes the clipboard (or the process is ended).
    import os
    import sys
    if sys.argv[1:] != ["clipboard"]:
        sys.exit("usage: xwin.py clipboard <TEXT")
    display = Display(os.environ["DISPLAY"])
    display.set_clipboard(sys.stdin.buffer.read().decode("utf-8", "surrogatepass"))
    print("ready", flush=True)
    display.hold_clipboard()
