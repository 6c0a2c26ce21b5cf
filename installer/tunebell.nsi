; Tunebell's installer, tunebell-setup.exe.
;
; It copies gen_tunebell.dll into the player's Plugins folder (by default the
; one of a player installed in the usual place; the user may choose another),
; writes an uninstaller beside it and registers that uninstaller in Windows'
; list of installed programs. The uninstaller removes the DLL, itself and the
; registration, and leaves the user's settings (tunebell.ini) alone.
;
; CMake's "installer" target builds it and passes:
;   DLL      the plug-in to install
;   ICON     the plug-in's icon (res/tunebell.ico)
;   OUTFILE  the installer to write
; The version shown everywhere is read from the DLL's own version resource,
; which res/version.h fills: the installer has no version of its own.
;
; Silent use: tunebell-setup.exe /S [/D=folder]   (/D last, no quotes)
;             tunebell-uninstall.exe /S

!ifndef DLL | ICON | OUTFILE
  !error "Build me through CMake's installer target (it defines DLL, ICON and OUTFILE)."
!endif

!getdllversion "${DLL}" DLL_VERSION_
!define VERSION "${DLL_VERSION_1}.${DLL_VERSION_2}"
!define PUBLISHER "The Tunebell team"
!define PLUGIN "gen_tunebell.dll"
!define UNINSTALLER "tunebell-uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tunebell"

; ANSI like the plug-in, so that the installer runs wherever the plug-in does.
Unicode false
Name "Tunebell Plugin ${VERSION}"
OutFile "${OUTFILE}"
; The player's usual Plugins folder, unless an earlier install went elsewhere.
InstallDir "$PROGRAMFILES\Winamp\Plugins"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Program Files and the list of installed programs belong to administrators.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "Tunebell ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${DLL_VERSION_1}.${DLL_VERSION_2}.${DLL_VERSION_3}.${DLL_VERSION_4}"
VIFileVersion "${DLL_VERSION_1}.${DLL_VERSION_2}.${DLL_VERSION_3}.${DLL_VERSION_4}"
VIAddVersionKey /LANG=1033 "ProductName" "Tunebell Plugin"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Tunebell Plugin ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "Tunebell Plugin ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Tunebell shows a small popup with the title, length and format of every new track the Winamp player plays.$\r$\n$\r$\nPlease close the player before you go on: a running player holds the plug-in's file open.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME

!define MUI_DIRECTORYPAGE_TEXT_TOP "Tunebell goes into the player's Plugins folder. If the player is installed somewhere else, choose the Plugins folder inside the player's folder."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "The player's Plugins folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckPluginsFolder
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_TITLE "Tunebell is installed"
!define MUI_FINISHPAGE_TEXT "Start the player (or start it again) to load Tunebell. Its settings are in the player's preferences, under the general-purpose plug-ins: choose Tunebell and press Configure.$\r$\n$\r$\nThe hot key (Ctrl+F12 unless you chose another) shows the current track's popup at any time."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The Plugins folder sits in the player's folder, next to winamp.exe. A folder
; without it is allowed (the player may be on another drive, or not installed
; yet), but only when the user says so. Not asked in a silent install.
Function CheckPluginsFolder
  IfFileExists "$INSTDIR\..\winamp.exe" folder_ok
  MessageBox MB_YESNO|MB_ICONQUESTION "There is no winamp.exe in the folder above$\r$\n$INSTDIR$\r$\nso this may not be the player's Plugins folder.$\r$\n$\r$\nInstall Tunebell there anyway?" IDYES folder_ok
  Abort
folder_ok:
FunctionEnd

Section "Tunebell" SecPlugin
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${DLL}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tunebell Plugin for Winamp"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Comments" "Popups with the title of each new track"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PLUGIN},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${DLL_VERSION_1}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${DLL_VERSION_2}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=${PLUGIN} /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer put there. tunebell.ini, the user's settings,
; stays, and so does the folder, which belongs to the player.
Section "Uninstall"
  ; A running player keeps the DLL open: it then goes when Windows restarts.
  Delete /REBOOTOK "$INSTDIR\${PLUGIN}"
  Delete "$INSTDIR\${UNINSTALLER}"

  ; The registration is this copy's, unless a later install into another
  ; folder took it over and that copy is still there.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $0 $INSTDIR forget
  IfFileExists "$0\${UNINSTALLER}" keep_registration
forget:
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
keep_registration:

  IfRebootFlag 0 done
  MessageBox MB_OK|MB_ICONINFORMATION "The player still has ${PLUGIN} open. It will be removed when Windows restarts." /SD IDOK
done:
SectionEnd
