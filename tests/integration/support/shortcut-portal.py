#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A stand-in for the desktop portal's GlobalShortcuts. Usage: shortcut-portal.py MODE LOG.
MODE: "bind" binds every shortcut to its preferred trigger, "empty" binds none, "refuse"
cancels binds, "silent" never answers (for the sway session test), "none" offers no
GlobalShortcuts (as portals without a backend for it). Calls go to LOG, a line each;
Test.Send(member, id) sends Activated or Deactivateds, split at spaces, in the latest session."""
import sys

import dbus
import dbus.lowlevel
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

MODE, LOG = sys.argv[1], sys.argv[2]
PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"


class Portal(dbus.service.Object):
    session, shortcuts = None, []

    def log(self, line):
        open(LOG, "a").write(line + "\n")

    def emit(self, path, interface, member, signature, *args):
        message = dbus.lowlevel.SignalMessage(path, interface, member)
        message.append(*args, signature=signature)
        self.connection.send_message(message)

    def request(self, sender, options, code, results):
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), options["handle_token"])
        # After the reply, as a portal answers once the user has.
        GLib.idle_add(lambda: self.emit(path, "org.freedesktop.portal.Request", "Response",
                                        "ua{sv}", code, results))
        return dbus.ObjectPath(path)

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v",
                         async_callbacks=("reply", "error"))
    def Get(self, interface, name, reply, error):
        self.log("get " + name)
        if MODE == "none":
            error(dbus.DBusException("No such interface", name=dbus.PROPERTIES_IFACE))
        elif MODE != "silent":
            reply(dbus.UInt32(1, variant_level=1))

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender):
        self.session = "%s/session/%s/%s" % (PATH, sender[1:].replace(".", "_"),
                                             options["session_handle_token"])
        return self.request(sender, options, 0, {"session_handle": self.session})

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent, options, sender):
        self.log("bind " + ";".join(sorted("%s %s %s" % (i, p["description"],
                                                         p["preferred_trigger"])
                                           for i, p in shortcuts)))
        self.shortcuts = [] if MODE == "empty" else [
            (i, {"trigger_description": "Press " + p["preferred_trigger"]}) for i, p in shortcuts]
        return self.listed(sender, options, 1 if MODE == "refuse" else 0)

    @dbus.service.method(SHORTCUTS, in_signature="oa{sv}", out_signature="o",
                         sender_keyword="sender")
    def ListShortcuts(self, session, options, sender):
        return self.listed(sender, options, 0)

    def listed(self, sender, options, code):
        return self.request(sender, options, code,
                            {"shortcuts": dbus.Array(self.shortcuts, signature="(sa{sv})")})

    @dbus.service.method("org.moorline.Test", in_signature="ss")
    def Send(self, members, id):
        for member in members.split():
            self.emit(PATH, SHORTCUTS, member, "osta{sv}", dbus.ObjectPath(self.session), id,
                      dbus.UInt64(0), dbus.Dictionary({}, signature="sv"))


DBusGMainLoop(set_as_default=True)
portal = Portal(dbus.SessionBus(), PATH)
name = dbus.service.BusName("org.freedesktop.portal.Desktop", portal.connection)
GLib.MainLoop().run()
