#!/usr/bin/python3
"""The tests' own logind (python3-dbusmock's template) on the private system bus that
DBUS_SYSTEM_BUS_ADDRESS names.

  logind_mock.py inhibitors   one line per inhibitor held: WHAT|WHO|WHY|MODE
  logind_mock.py suspend      logind tells that the computer is going to sleep: PrepareForSleep(true)
  logind_mock.py resume       logind tells that the computer has resumed: PrepareForSleep(false)
"""
import sys

import dbus

logind = dbus.SystemBus().get_object('org.freedesktop.login1', '/org/freedesktop/login1')
if sys.argv[1] == 'inhibitors':
    for what, who, why, mode, _uid, _pid in logind.ListInhibitors(
            dbus_interface='org.freedesktop.login1.Manager'):
        print(f'{what}|{who}|{why}|{mode}')
elif sys.argv[1] in ('suspend', 'resume'):
    logind.EmitSignal('org.freedesktop.login1.Manager', 'PrepareForSleep', 'b',
                      [sys.argv[1] == 'suspend'], dbus_interface='org.freedesktop.DBus.Mock')
else:
    sys.exit(f'unknown command {sys.argv[1]}')
