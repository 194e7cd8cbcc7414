// Numbers of the resources every format plug-in carries. The host and the shell's file types
// take the icon by its number; each plug-in's own header adds the texts of its messages.
#pragma once

#define IDI_PLUGIN 100        // the format's icon
#define IDD_PLUGIN_ABOUT 300  // the about box, a centred pop-up of the plug-in's own

// The format's name in the plural ("Bitmaps") and as a menu item ("Bitmap..."); kept as the
// device's plug-ins carry them, read by no part of this system.
#define IDS_PLUGIN_FORMAT_NAME 100
#define IDS_PLUGIN_FORMAT_MENU 200
