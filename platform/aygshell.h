// The Pocket PC shell library as this desktop build provides it (aygshell.dll, built from
// platform/): full-screen dialogs with a Done button, the soft input panel's state and the
// settings-change handling that goes with it. mingw carries no such header, so the records
// and constants live here. Records have their natural layout: pointer-sized fields are 8
// bytes on x86_64, so SIPINFO is 56 bytes here (48 on the 32-bit device); SHSipInfo also
// accepts the device's 48-byte size and then fills only what fits.
#pragma once

#include <windows.h>

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

// Ordinal 34, SHCreateMenuBar, joins with the viewer's main window.

#ifdef __cplusplus
}
#endif
