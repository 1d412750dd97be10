; The Windows installer of the online order service (NSIS 3, 64-bit).
; scripts/build-installer.sh runs makensis with these defines:
;   ADAPTOR_EXE  online-order-adaptor.exe        (optional, as are the others,
;   POSDB_EXE    posdb.exe                        while the build lacks them;
;   VIEW_EXE     escpos-view.exe                  at least one is given)
;   OUT_FILE     the installer to write
;   VERSION      the program's version
; Silent use: "setup.exe /S" installs with the default choices (start at
; logon included), "/NOAUTOSTART" leaves the logon task out; the uninstaller
; takes "/S" and "/REMOVESETTINGS" (also delete the settings the program
; keeps beside itself).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!ifndef VERSION
  !define VERSION "0.0.0"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "OnlineOrderAdaptor-setup.exe"
!endif

!define PRODUCT "Online Order Adaptor"
!define PROGRAM "online-order-adaptor.exe"
!define TASK "Online Order Adaptor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OnlineOrderAdaptor"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
; The program keeps its settings file beside itself, so it lives in one
; folder of its own; it always runs as administrator (its manifest), which
; may write there.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "LegalCopyright" ""

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  SetOverwrite on
!ifdef ADAPTOR_EXE
  File "/oname=${PROGRAM}" "${ADAPTOR_EXE}"
!endif
!ifdef POSDB_EXE
  File "/oname=posdb.exe" "${POSDB_EXE}"
!endif
!ifdef VIEW_EXE
  File "/oname=escpos-view.exe" "${VIEW_EXE}"
!endif

  ; The settings file: a first install gets a starting one; an upgrade
  ; keeps the shop's own.
  SetOverwrite off
  File "OnlineService.ini"
  SetOverwrite on
  ; It holds the shop's API key and secret: administrators and the system
  ; only (the program always runs as administrator).
  nsExec::ExecToLog 'icacls "$INSTDIR\OnlineService.ini" /inheritance:r /grant:r *S-1-5-32-544:F *S-1-5-18:F'
  Pop $0

  WriteUninstaller "$INSTDIR\uninstall.exe"
!ifdef ADAPTOR_EXE
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}"
!endif

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; A scheduled task, not a Run entry: the program asks for administrator
; rights, which a Run entry cannot give it without a prompt at every logon.
; The task is written as XML because schtasks' own options cannot lift the
; three-day run limit every task otherwise gets, which would end the service
; on a till that stays logged on.
Section "Start at logon (for this Windows user)" SecAutostart
  ReadEnvStr $1 USERDOMAIN
  ReadEnvStr $2 USERNAME
  StrCpy $3 "$2"
  ${If} $1 != ""
    StrCpy $3 "$1\$2"
  ${EndIf}
  InitPluginsDir
  FileOpen $0 "$PLUGINSDIR\task.xml" w
  FileWriteWord $0 0xFEFF
  FileWriteUTF16LE $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
  FileWriteUTF16LE $0 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
  FileWriteUTF16LE $0 '  <RegistrationInfo><Description>Starts ${PRODUCT} when $3 logs on.</Description></RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $0 '  <Triggers><LogonTrigger><Enabled>true</Enabled><UserId>$3</UserId></LogonTrigger></Triggers>$\r$\n'
  FileWriteUTF16LE $0 '  <Principals><Principal id="Author"><UserId>$3</UserId><LogonType>InteractiveToken</LogonType><RunLevel>HighestAvailable</RunLevel></Principal></Principals>$\r$\n'
  FileWriteUTF16LE $0 '  <Settings>$\r$\n'
  FileWriteUTF16LE $0 '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>$\r$\n'
  FileWriteUTF16LE $0 '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>$\r$\n'
  FileWriteUTF16LE $0 '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>$\r$\n'
  FileWriteUTF16LE $0 '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>$\r$\n'
  FileWriteUTF16LE $0 '    <Enabled>true</Enabled>$\r$\n'
  FileWriteUTF16LE $0 '  </Settings>$\r$\n'
  FileWriteUTF16LE $0 '  <Actions Context="Author"><Exec><Command>"$INSTDIR\${PROGRAM}"</Command><WorkingDirectory>$INSTDIR</WorkingDirectory></Exec></Actions>$\r$\n'
  FileWriteUTF16LE $0 '</Task>$\r$\n'
  FileClose $0
  nsExec::ExecToLog 'schtasks /Create /F /TN "${TASK}" /XML "$PLUGINSDIR\task.xml"'
  Pop $0
  ${If} $0 != 0
    DetailPrint "The logon task could not be made (schtasks: $0); start ${PRODUCT} from the Start menu."
  ${EndIf}
SectionEnd

; An install without the logon task removes one an earlier install made.
Section "-NoAutostart"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    nsExec::ExecToLog 'schtasks /Delete /F /TN "${TASK}"'
    Pop $0
  ${EndIf}
SectionEnd

Section "un.${PRODUCT}" UnSecProgram
  SectionIn RO
  SetShellVarContext all
  nsExec::ExecToLog 'schtasks /Delete /F /TN "${TASK}"'
  Pop $0
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\${PROGRAM}"
  Delete "$INSTDIR\posdb.exe"
  Delete "$INSTDIR\escpos-view.exe"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Unchecked: the settings stay for a later install unless asked for.
Section /o "un.Settings (OnlineService.ini and the service's state file)" UnSecSettings
  Delete "$INSTDIR\OnlineService.ini"
  Delete "$INSTDIR\OnlineService.state"
SectionEnd

Section "-un.Folder"
  ; Gone only when nothing of the shop's is left in it.
  RMDir "$INSTDIR"
SectionEnd

; The functions come after the sections whose numbers they use.
Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

; "/REMOVESETTINGS" selects the settings for a silent uninstall.
Function un.onInit
  SetRegView 64
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecSettings}
  ${EndIf}
FunctionEnd
