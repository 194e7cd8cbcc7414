// The Pocket PC shell library as this desktop build provides it (aygshell.dll, built from
// platform/): full-screen dialogs with a Done button, the soft input panel's state and the
// settings-change handling that goes with it, and the menu bar along the bottom of the
// screen with the command-bar bitmap call. mingw carries no such header, so the records
// and constants live here. Records have their natural layout: pointer-sized fields are 8
// bytes on x86_64, so SIPINFO is 56 bytes here (48 on the 32-bit device); SHSipInfo also
// accepts the device's 48-byte size and then fills only what fits.
#pragma once

#include <windows.h>
#include <commctrl.h>

#ifdef LMX_AYGSHELL_BUILD
#define LMX_AYGSHELL_API __declspec(dllexport)
#else
#define LMX_AYGSHELL_API __declspec(dllimport)
#endif

// --- Full-screen dialogs (SHInitDialog) ---
#define SHIDIM_FLAGS 0x0001

#define SHIDIF_DONEBUTTON 0x0001        // a Done button that sends IDOK
#define SHIDIF_SIZEDLG 0x0002           // sized to the visible desktop (input panel aside)
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004 // sized to the whole screen below the top bar
#define SHIDIF_SIPDOWN 0x0008           // the input panel goes down
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020

typedef struct tagSHINITDLGINFO {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

// --- Soft input panel (SHSipInfo) ---
#define SPI_SETCOMPLETIONINFO 223
#define SPI_SETSIPINFO 224
#define SPI_GETSIPINFO 225
#define SPI_SETCURRENTIM 226
#define SPI_GETCURRENTIM 227

#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004

typedef struct tagSIPINFO {
  DWORD cbSize;
  DWORD fdwFlags;
  RECT rcVisibleDesktop;
  RECT rcSipRect;
  DWORD dwImDataSize;
  void* pvImData;
} SIPINFO, *PSIPINFO;

// The device's SIPINFO size (32-bit pointers); accepted as well as sizeof(SIPINFO).
#define SIPINFO_DEVICE_SIZE 48

// --- Settings change (SHHandleWMSettingChange) ---
typedef struct tagSHACTIVATEINFO {
  DWORD cbSize;
  HWND hwndLastFocus;
  UINT fSipUp : 1;
  UINT fSipOnDeactivation : 1;
  UINT fActive : 1;
  UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

// --- Menu bar (SHCreateMenuBar) ---
#define SHCMBF_EMPTYBAR 0x0001       // no menu resource: image buttons only
#define SHCMBF_HIDDEN 0x0002         // created hidden
#define SHCMBF_HIDESIPBUTTON 0x0004  // accepted; this bar has no input-panel button
#define SHCMBF_COLORBK 0x0008        // accepted; the bar keeps the system colours
#define SHCMBF_HMENU 0x0010          // nToolBarId names a menu resource (always so here)

typedef struct tagSHMENUBARINFO {
  DWORD cbSize;
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;
  HINSTANCE hInstRes;
  int nBmpId;
  int cBmpImages;
  HWND hwndMB;
} SHMENUBARINFO, *PSHMENUBARINFO;

// Messages the bar answers besides the toolbar messages (TB_ADDBUTTONSW, TB_CHECKBUTTON,
// TB_HIDEBUTTON, TB_ENABLEBUTTON, TB_IS*, TB_GETRECT, ...), which act on its image buttons.
//
// CMDBAR_SETTOOLTIPS: wParam the count, lParam an array of that many string pointers (null
// for none), one per bar button in bar order: the text buttons first, then the image
// buttons. The texts are copied; the tips show on the image buttons. (The device's command
// bar knows it as TB_SETTOOLTIPS, a name that means another message on the desktop.)
#define CMDBAR_SETTOOLTIPS (WM_USER + 81)
#define CMDBAR_MAX_TOOLTIPS 64
// SHCMBM_GETMENU: returns the bar's menu; its popups 0, 1, ... are the text buttons' popups
// in bar order. The caller may change the popups (insert, enable, check) and may destroy
// the menu when it is done with the bar.
#define SHCMBM_GETSUBMENU (WM_USER + 401)  // lParam a popup's id: that popup, or null
#define SHCMBM_GETMENU (WM_USER + 402)
// This build's own: wParam a text button's index, lParam a RECT that receives its place in
// the bar's client coordinates; returns TRUE when there is such a button.
#define AYGMBM_GETPOPUPRECT (WM_USER + 420)

// A tap on a text button sends the bar's owner WM_INITMENUPOPUP with the popup in wParam and
// the popup's id in the low word of lParam, then opens the popup above the bar; the chosen
// command reaches the owner as a posted WM_COMMAND (lParam 0). A tap on an image button
// sends the owner WM_COMMAND with the button's command. A check-style image button and a
// menu item with the same command keep one check state. While the owner is disabled (a
// modal dialog or the splash is up) the bar ignores taps.

// Geometry of the emulated device: a 240 x 320 portrait screen with the 26-pixel top bar
// (title and Done button), the 26-pixel menu bar at the bottom and an 80-pixel docked panel
// above the menu bar.
#define AYG_SCREEN_WIDTH 240
#define AYG_SCREEN_HEIGHT 320
#define AYG_TOP_BAR_HEIGHT 26
#define AYG_MENU_BAR_HEIGHT 26
#define AYG_SIP_HEIGHT 80

#ifdef __cplusplus
extern "C" {
#endif

// Ordinal 4. SPI_GETSIPINFO fills a SIPINFO; SPI_SETSIPINFO raises (SIPF_ON) or lowers the
// docked panel and, when its state changes, sends WM_SETTINGCHANGE with wParam
// SPI_SETSIPINFO to every top-level window of the process.
LMX_AYGSHELL_API BOOL WINAPI SHSipInfo(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);

// Ordinal 9. Registers the shell's window classes; called once at start-up.
LMX_AYGSHELL_API BOOL WINAPI SHInitExtraControls(void);

// Ordinal 56. SHIDIF_SIZEDLGFULLSCREEN sizes the dialog to the screen below the top bar
// (no caption or frame of its own); SHIDIF_DONEBUTTON puts a top bar with the dialog's
// title and an "OK" button that sends WM_COMMAND IDOK to the dialog.
LMX_AYGSHELL_API BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi);

// Ordinal 83. For wParam SPI_SETSIPINFO (or (WPARAM)-1, "check now"), fits a full-screen
// window's bottom edge to the visible desktop so that the panel does not cover it; returns
// TRUE when it handled the change. Other settings changes return FALSE.
LMX_AYGSHELL_API BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam,
                                                     SHACTIVATEINFO* psai);

// Ordinal 34. Creates the menu bar of hwndParent: an owned pop-up along the bottom of the
// screen (AYG_MENU_BAR_HEIGHT tall), below a window that keeps to the visible desktop.
// The bar is built from the menu resource nToolBarId of hInstRes (a MENUEX: each top-level
// popup, with its id, becomes a text button; see below) and, when nBmpId is non-zero, takes
// cBmpImages images of 16 x 16 from that bitmap. On success hwndMB receives the bar.
// cbSize must be sizeof(SHMENUBARINFO): 48 bytes here, not the device's 32.
LMX_AYGSHELL_API BOOL WINAPI SHCreateMenuBar(PSHMENUBARINFO pmbi);

// The command-bar bitmap call (commctrl ordinal 5 on the device; exported here by name).
// Adds every image that bitmap idBitmap of hInst holds (its width / cx, whatever cImages
// states) to the bar's image list, light grey RGB(192, 192, 192) being transparent, and
// returns the index of the first one, or -1. All bitmaps of one bar share one image size.
LMX_AYGSHELL_API int WINAPI CommandBar_AddBitmap(HWND hwndCB, HINSTANCE hInst, int idBitmap, int cImages,
                                                 int cx, int cy);

#ifdef __cplusplus
}
#endif
