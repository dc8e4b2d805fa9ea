; The Windows installer: a per-user install without administrator rights into
; %LOCALAPPDATA%\Programs\Tollvane, a folder the user can write, so that reminder.ini is kept beside
; the program. A Start-menu shortcut and an entry in Apps & features whose uninstaller removes
; every installed file and the program's start at sign-in, and leaves the user's values and a
; pending reminder.ini alone.
; Silent: setup.exe /S [/D=folder] and uninstall.exe /S.
;
; Built by scripts/package-windows.sh with makensis and these defines:
;   VERSION  3.0.0           PUBLISHER  the publisher's name
;   EXE      tollvane.exe    HELP       HelpForBrindle.HLP    ICON  the program's icon (.ico)
;   OUTFILE  the installer to write

; A 64-bit installer for the 64-bit program (and Unicode throughout).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"

!define PRODUCT "Tollvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tollvane"
; Where the program asks the web browser control for its current engine (a value per executable
; name, written by the program); the uninstaller removes the program's value.
!define BROWSER_KEY "Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
; Where the program has itself started at sign-in while an alarm is set (a value named Tollvane
; with its quoted path); the uninstaller removes it when it starts the copy being removed.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tollvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
; A file that cannot be written (the program is running) stops the install rather than being
; skipped: the folder never holds a mix of two versions.
AllowSkipFiles off

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tollvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Tollvane"
  SetOutPath "$INSTDIR"
  File "/oname=tollvane.exe" "${EXE}"
  File "/oname=HelpForBrindle.HLP" "${HELP}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tollvane.exe" "" "$INSTDIR\tollvane.exe" 0 \
      SW_SHOWNORMAL "" "Alarm clock with a calendar reminder"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tollvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; A running program holds its executable: say so and leave everything as it is.
  ClearErrors
  Delete "$INSTDIR\tollvane.exe"
  IfErrors 0 +3
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running. Close it, then uninstall it again." /SD IDOK
    Abort "${PRODUCT} is running."
  Delete "$INSTDIR\HelpForBrindle.HLP"
  Delete "$INSTDIR\uninstall.exe"
  ; Removed only when empty: a reminder.ini waiting for its date stays, and so does its folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${BROWSER_KEY}" "tollvane.exe"
  ; StrCmp compares without regard to case, as Windows compares paths.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  StrCmp $0 '"$INSTDIR\tollvane.exe"' 0 +2
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The values under Software\VB and VBA Program Settings are the user's, and stay.
SectionEnd
