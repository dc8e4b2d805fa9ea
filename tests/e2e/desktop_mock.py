#!/usr/bin/python3
"""The tests' own desktop on the session bus that DBUS_SESSION_BUS_ADDRESS names: the Inhibit
portal, org.freedesktop.PowerManagement and org.freedesktop.ScreenSaver, each keeping a list of
what programs hold, and letting go of what a program held when it leaves the bus, as the real
services do. After every change the list is written to STATE, one line per inhibition:

  portal|FLAGS|REASON      power|APP|REASON      screensaver|APP|REASON

  desktop_mock.py STATE [--no-portal]
"""
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
state_file = sys.argv[1]
held = {}  # key -> (owner's unique name, line)
next_id = [1]


def write_state():
    with open(state_file + '.new', 'w') as f:
        for _, line in sorted(held.values()):
            f.write(line + '\n')
    os.replace(state_file + '.new', state_file)


def take(sender, line):
    key = next_id[0]
    next_id[0] += 1
    held[key] = (sender, line)
    write_state()
    return key


def let_go(key):
    if held.pop(key, None):
        write_state()


def owner_changed(name, _old, new):
    if name.startswith(':') and not new:
        for key in [k for k, (sender, _) in held.items() if sender == name]:
            let_go(key)


bus.add_signal_receiver(owner_changed, 'NameOwnerChanged', 'org.freedesktop.DBus',
                        'org.freedesktop.DBus', '/org/freedesktop/DBus')


class Request(dbus.service.Object):
    def __init__(self, path, key):
        super().__init__(bus, path)
        self.key = key

    @dbus.service.method('org.freedesktop.portal.Request', in_signature='', out_signature='')
    def Close(self):
        let_go(self.key)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    @dbus.service.method('org.freedesktop.portal.Inhibit', in_signature='sua{sv}',
                         out_signature='o', sender_keyword='sender')
    def Inhibit(self, _window, flags, options, sender):
        key = take(sender, f'portal|{flags}|{options.get("reason", "")}')
        path = ('/org/freedesktop/portal/desktop/request/' + sender[1:].replace('.', '_') +
                f'/t{key}')
        Request(path, key)
        return dbus.ObjectPath(path)


class Cookies(dbus.service.Object):
    def __init__(self, path, kind):
        super().__init__(bus, path)
        self.kind = kind

    def inhibit(self, app, reason, sender):
        return dbus.UInt32(take(sender, f'{self.kind}|{app}|{reason}'))


class PowerManagement(Cookies):
    @dbus.service.method('org.freedesktop.PowerManagement.Inhibit', in_signature='ss',
                         out_signature='u', sender_keyword='sender')
    def Inhibit(self, app, reason, sender):
        return self.inhibit(app, reason, sender)

    @dbus.service.method('org.freedesktop.PowerManagement.Inhibit', in_signature='u')
    def UnInhibit(self, cookie):
        let_go(int(cookie))


class ScreenSaver(Cookies):
    @dbus.service.method('org.freedesktop.ScreenSaver', in_signature='ss', out_signature='u',
                         sender_keyword='sender')
    def Inhibit(self, app, reason, sender):
        return self.inhibit(app, reason, sender)

    @dbus.service.method('org.freedesktop.ScreenSaver', in_signature='u')
    def UnInhibit(self, cookie):
        let_go(int(cookie))


names = []
if '--no-portal' not in sys.argv:
    Portal(bus, '/org/freedesktop/portal/desktop')
    names.append(dbus.service.BusName('org.freedesktop.portal.Desktop', bus))
PowerManagement('/org/freedesktop/PowerManagement/Inhibit', 'power')
names.append(dbus.service.BusName('org.freedesktop.PowerManagement', bus))
ScreenSaver('/org/freedesktop/ScreenSaver', 'screensaver')
names.append(dbus.service.BusName('org.freedesktop.ScreenSaver', bus))
write_state()  # the names are taken: the desktop is there
GLib.MainLoop().run()
