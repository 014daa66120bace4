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
; Every account's profile, by SID, with the folder of its NTUSER.DAT.
!define PROFILE_LIST "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList"
; Where the uninstaller loads the hive of an account that is not logged on, for a moment.
!define HIVE_MOUNT "Quorvane uninstall"
; HKEY_USERS as a handle (sign-extended on 64-bit Windows, as the predefined handles are).
!define HKU_HANDLE -2147483645
; Every window of the running program, its hidden console included, has this class.
!define FORM_CLASS "QuorvaneForm"
!define UNINSTALLER "Uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\Quorvane.lnk"
; The guard service: the program itself started with /guard, as LocalSystem. Its security lets
; SYSTEM and the administrators do everything, and users logged on (interactive, authenticated)
; only look at it: no stop, no start, no change.
!define SERVICE "Quorvane Guard"
!define SERVICE_SDDL "D:(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)(A;;CCLCSWLOCRRC;;;IU)(A;;CCLCSWLOCRRC;;;AU)"
!define SC '"$SYSDIR\sc.exe"'

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
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_COMPONENTS
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

; Stops the guard service and removes it; its program file is free once the service's process
; has ended (up to 10 s). "sc" may report a failure although it worked: the file tells.
!macro REMOVE_SERVICE UN
Function ${UN}RemoveService
  nsExec::Exec '${SC} stop "${SERVICE}"'
  Pop $0
  nsExec::Exec '${SC} delete "${SERVICE}"'
  Pop $0
  StrCpy $1 0
  ${DoWhile} $1 < 20
    ${IfNot} ${FileExists} "$INSTDIR\${PROGRAM_NAME}"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\${PROGRAM_NAME}" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    Sleep 500
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro REMOVE_SERVICE ""
!insertmacro REMOVE_SERVICE "un."

Function .onInit
  !insertmacro REFUSE_WHILE_RUNNING "the setup"
FunctionEnd

Section "-Quorvane" SecProgram
  SectionIn RO
  ; A guard of an earlier installation holds the program file.
  Call RemoveService
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

; Starts Quorvane again when it is ended without the password while a plan runs.
Section "Protect Quorvane" SecGuard
  nsExec::Exec '${SC} create "${SERVICE}" binPath= "\"$INSTDIR\${PROGRAM_NAME}\" /guard" start= auto obj= LocalSystem DisplayName= "${SERVICE}"'
  Pop $0
  nsExec::Exec '${SC} description "${SERVICE}" "Starts Quorvane again when it is ended without the password while a plan runs."'
  Pop $0
  nsExec::Exec '${SC} sdset "${SERVICE}" "${SERVICE_SDDL}"'
  Pop $0
  ; Started again by Windows if it ever fails.
  nsExec::Exec '${SC} failure "${SERVICE}" reset= 86400 actions= restart/1000/restart/5000/restart/30000'
  Pop $0
  ; Not waited for: under Wine "sc start" was seen to hang although the service ran.
  Exec '${SC} start "${SERVICE}"'
SectionEnd

; The same value the console's "Launch on Windows Startup" writes: the path, no quotes, no switch.
Section "Start Quorvane when anyone logs on" SecRun
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" "$INSTDIR\${PROGRAM_NAME}"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecGuard} "A service that starts Quorvane again within seconds when it is ended (for example with the Task Manager) while a plan runs. Only Exit with the password ends it for good."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecRun} "Quorvane starts for every user who logs on to this computer."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  !insertmacro REFUSE_WHILE_RUNNING "the uninstaller"
FunctionEnd

Section "Uninstall"
  ; It may have been started while the confirmation page was shown.
  !insertmacro REFUSE_WHILE_RUNNING "the uninstaller"
  SetShellVarContext all

  ; The guard first: it runs the program file and would start Quorvane again.
  Call un.RemoveService
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
  ; The guard's log and record (SetShellVarContext all: $APPDATA is the machine's ProgramData)
  Delete "$APPDATA\Quorvane\guard.log"
  Delete "$APPDATA\Quorvane\guard.state"
  RMDir "$APPDATA\Quorvane"

  MessageBox MB_YESNO|MB_ICONQUESTION "Keep Quorvane's settings on this computer?$\n$\nYes keeps the plan, the password and the list of allowed programs for a later installation of Quorvane.$\nNo deletes them, for every account on this computer." /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Hollowmere"
  Call un.DeleteEveryAccountsSettings
  keep:
SectionEnd

; Turns on a privilege that an administrator's token holds switched off. $0: its name.
Function un.EnablePrivilege
  System::Call 'advapi32::OpenProcessToken(p -1, i 0x28, *p .r1) i .r2'
  ${If} $2 <> 0
    System::Call 'advapi32::LookupPrivilegeValue(p 0, t r0, *l .r3) i .r2'
    ${If} $2 <> 0
      ; TOKEN_PRIVILEGES: one privilege, its LUID, SE_PRIVILEGE_ENABLED
      System::Call '*(i 1, l r3, i 2) p .r4'
      System::Call 'advapi32::AdjustTokenPrivileges(p r1, i 0, p r4, i 0, p 0, p 0) i'
      System::Free $4
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
FunctionEnd

; Deletes Quorvane's settings in one hive under HKEY_USERS. $R2: the hive's key.
Function un.DeleteHiveSettings
  DeleteRegKey HKU "$R2\${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKU "$R2\Software\Hollowmere"
FunctionEnd

; The settings of every account whose profile holds them: a child's plan and password must not
; come back with the next installation because the parent ran the uninstaller. The hive of an
; account that is logged on is under HKEY_USERS by its SID; any other profile's NTUSER.DAT is
; loaded for a moment (which needs the backup and restore privileges), cleaned and unloaded.
Function un.DeleteEveryAccountsSettings
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  StrCpy $0 "SeBackupPrivilege"
  Call un.EnablePrivilege
  StrCpy $0 "SeRestorePrivilege"
  Call un.EnablePrivilege
  ; Left behind by an uninstaller that was ended while it held one.
  System::Call 'advapi32::RegUnLoadKey(p ${HKU_HANDLE}, t "${HIVE_MOUNT}") i'
  StrCpy $R0 0
  ${Do}
    EnumRegKey $R1 HKLM "${PROFILE_LIST}" $R0
    ${If} $R1 == ""
      ${Break}
    ${EndIf}
    IntOp $R0 $R0 + 1
    ClearErrors
    EnumRegKey $R2 HKU "$R1" 0
    ${IfNot} ${Errors}
      StrCpy $R2 "$R1"
      Call un.DeleteHiveSettings
      ${Continue}
    ${EndIf}
    ReadRegStr $R3 HKLM "${PROFILE_LIST}\$R1" "ProfileImagePath"
    ExpandEnvStrings $R3 $R3
    ${IfNot} ${FileExists} "$R3\NTUSER.DAT"
      ${Continue}
    ${EndIf}
    ; A hive in use (a profile listed twice, a ".bak" entry) does not load: nothing to do there.
    System::Call 'advapi32::RegLoadKey(p ${HKU_HANDLE}, t "${HIVE_MOUNT}", t "$R3\NTUSER.DAT") i .r2'
    ${If} $2 == 0
      StrCpy $R2 "${HIVE_MOUNT}"
      Call un.DeleteHiveSettings
      System::Call 'advapi32::RegUnLoadKey(p ${HKU_HANDLE}, t "${HIVE_MOUNT}") i'
    ${EndIf}
  ${Loop}
  SetRegView lastused
FunctionEnd
