; Quorvane's setup program. The build (cmake/installer.cmake) runs makensis on this script with:
;   VERSION       the version the user sees, e.g. 1.0
;   FILEVERSION   the four-part version of the setup program's version record
;   PROGRAM_DIR   the build folder: the program, sound.wav and Quorvane.html
;   PROGRAM_NAME  the program's file name
;   ICON          the program's icon
;   OUTFILE       the setup program to write
;   X64           (optional) a 64-bit setup around the 64-bit program

!ifndef VERSION | FILEVERSION | PROGRAM_DIR | PROGRAM_NAME | ICON | OUTFILE
  !error "VERSION, FILEVERSION, PROGRAM_DIR, PROGRAM_NAME, ICON and OUTFILE must be defined"
!endif

!ifdef X64
  Target amd64-unicode
!else
  Unicode true
!endif
SetCompressor /SOLID lzma
; Program Files, the machine's uninstall list and the Run value all live where only an
; administrator may write.
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Hollowmere"
!define SETTINGS_KEY "Software\Hollowmere\Tarnwell"
; Every window of the running program, its hidden console included, has this class.
!define FORM_CLASS "QuorvaneForm"
!define UNINSTALLER "Uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\Quorvane.lnk"

Name "Quorvane ${VERSION}"
OutFile "${OUTFILE}"
!ifdef X64
  InstallDir "$PROGRAMFILES64\Quorvane"
!else
  InstallDir "$PROGRAMFILES\Quorvane"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Hollowmere"

VIProductVersion "${FILEVERSION}"
VIAddVersionKey "ProductName" "Quorvane"
VIAddVersionKey "CompanyName" "Hollowmere"
VIAddVersionKey "FileDescription" "Quorvane ${VERSION} setup"
VIAddVersionKey "FileVersion" "${FILEVERSION}"
VIAddVersionKey "ProductVersion" "${FILEVERSION}"
VIAddVersionKey "LegalCopyright" "Hollowmere"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Not shown in a silent installation, so nothing is started then. The setup runs with the
; administrator's rights, often as another account: Quorvane is started through the shell, as the
; user who is logged on, so that its settings and its lock belong to that user.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Quorvane now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Stops with a message (in silent mode with exit code 2 and no message) while Quorvane runs: its
; program file cannot be replaced or removed then, and a running plan must be ended by the parent.
!macro REFUSE_WHILE_RUNNING AGAIN
  FindWindow $0 "${FORM_CLASS}"
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "Quorvane is running. End it first: click its icon in the notification area and choose Exit (it asks for the password). Then run ${AGAIN} again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${PROGRAM_NAME}"'
FunctionEnd

Function .onInit
  !insertmacro REFUSE_WHILE_RUNNING "the setup"
FunctionEnd

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}/${PROGRAM_NAME}"
  File "${PROGRAM_DIR}/sound.wav"
  File "${PROGRAM_DIR}/Quorvane.html"
  File "/oname=quorvane.ico" "${ICON}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM_NAME}" "" "$INSTDIR\quorvane.ico"

  ; Add or Remove Programs
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quorvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Hollowmere"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quorvane.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  !insertmacro REFUSE_WHILE_RUNNING "the uninstaller"
FunctionEnd

Section "Uninstall"
  ; It may have been started while the confirmation page was shown.
  !insertmacro REFUSE_WHILE_RUNNING "the uninstaller"
  SetShellVarContext all

  ; The program file first: if it cannot go (another user's session runs it), everything else
  ; stays in place, so that running the uninstaller again finishes the job.
  Delete "$INSTDIR\${PROGRAM_NAME}"
  ${If} ${FileExists} "$INSTDIR\${PROGRAM_NAME}"
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${PROGRAM_NAME} cannot be removed: it is in use. End Quorvane, then run the uninstaller again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Delete "$INSTDIR\sound.wav"
  Delete "$INSTDIR\Quorvane.html"
  Delete "$INSTDIR\quorvane.ico"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files someone else put there stay.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION "Keep Quorvane's settings on this computer?$\n$\nYes keeps the plan, the password and the list of allowed programs for a later installation of Quorvane.$\nNo deletes them." /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Hollowmere"
  keep:
SectionEnd
