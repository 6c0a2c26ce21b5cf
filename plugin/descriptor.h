// The plug-in's face to the player: the records it hands over at load.
#ifndef TUNEBELL_DESCRIPTOR_H
#define TUNEBELL_DESCRIPTOR_H

#include <windows.h>

// What the player reads from the export, field for field.
struct PluginDescriptor {
    int version;
    char *description;
    int (*init)(void);
    void (*config)(void);
    void (*quit)(void);
    HWND hostWindow;       // filled in by the player before init
    HINSTANCE instance;    // filled in by the player before init
};

// A page in the player's preferences: the player keeps the pointer, so the
// record lives as long as the module. Its template, and the control the page
// stretches over itself, are IDD_PREFS_PAGE and IDC_PREFS_PAGE_TEXT of
// res/resource.h.
struct PrefsPageRecord {
    HINSTANCE instance;
    int templateId;
    DLGPROC proc;
    const char *title;
    int reserved[3];
};

#define PLUGIN_DESCRIPTOR_VERSION 0x10

#endif
