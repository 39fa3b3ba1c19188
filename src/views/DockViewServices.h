// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Clipboard;
class DockStore;
class DockletRuntime;
class FileIcons;
class FileSystem;
class HotKeyManager;
class IconCache;
class ImageFileChooser;
class LaunchConfirmation;
class KeyCodeTranslator;
class LaunchAtLogin;
class RunningAppsMonitor;
class Scheduler;
class Trash;
class WindowActivation;
class Desktop;

// Everything a dock's panel, its views and the settings window work with, made once at start-up
// and handed down through the windows manager. Tests fill it with fakes. Each service outlives
// every window and view.
struct DockViewServices {
    DockStore& store;
    RunningAppsMonitor& runningApps;
    Desktop& desktop;
    // Asks before an untrusted desktop entry runs.
    LaunchConfirmation& launchConfirmation;
    Clipboard& clipboard;
    Trash& trash;
    FileIcons& fileIcons;
    FileSystem& fileSystem;
    DockletRuntime& docklets;
    ImageFileChooser& imageChooser;
    HotKeyManager& hotKeys;
    Scheduler& scheduler;
    // The settings window's: naming recorded keys, the login item, coming forward for a launch.
    const KeyCodeTranslator& keyCodes;
    LaunchAtLogin& launchAtLogin;
    WindowActivation& windowActivation;
    // Item icons as the last runs drew them.
    IconCache& iconCache;
};
