; What the setup program and the uninstaller share: the product's names and places, the silent
; switch, ending a running copy the clean way, and removing files that a running copy holds.
; The build passes VERSION, WEB_SITE_HOST, ICON and OUT_FILE.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
ManifestSupportedOS all

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Snapgate!"
!define PUBLISHER "Snapgate Developers"
!define PROGRAM_EXE "Snapgate! ${VERSION}.exe"
!define UNINSTALLER_EXE "unins000.exe"
!define UNINSTALL_STEPS_EXE "uninstall-core.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Snapgate!"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Snapgate!"
!define TOOLBAR_KEY "Software\Microsoft\Internet Explorer\Extensions\{3C75C1F5-6D83-11d6-9855-00065B6980E9}"
!define START_MENU_FOLDER "$SMPROGRAMS\Snapgate!"
; The running copy holds this mutex and ends quietly on this registered message.
!define RUNNING_COPY_MUTEX "SNAPGATE_ONLYONCE"
!define QUIET_EXIT_MESSAGE "SNAPGATE_EXIT"
!define SYNCHRONIZE_AND_RELEASE 0x00100001
!define WAIT_ABANDONED 0x80

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
Icon "${ICON}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

; The files the program expects beside it, one list for installing and for removing.
!macro ForEachProgramFile DO
  !insertmacro ${DO} "${PROGRAM_EXE}"
  !insertmacro ${DO} "SGDriver.dll"
  !insertmacro ${DO} "default.wav"
  !insertmacro ${DO} "startsound.wav"
  !insertmacro ${DO} "snapgtactive.ico"
  !insertmacro ${DO} "snapgtoff.ico"
  !insertmacro ${DO} "popuptest.html"
!macroend

; The uninstaller is called with " /SILENT" by the program's upgrade; NSIS itself knows "/S".
!macro AcceptSilentSwitch
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SILENT" $R1
  ${IfNot} ${Errors}
    SetSilent silent
  ${EndIf}
!macroend

; Asks a running Snapgate! to end through its own exit sequence, which restores the browser
; settings it changed, and waits for it. Leaves in $0 "none", "ended" or "busy" (it did not end
; in time: it may be the copy that started us for an upgrade, waiting for us to finish).
Function EndRunningCopy
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE_AND_RELEASE}, i 0, w "${RUNNING_COPY_MUTEX}") p.r1'
  ${If} $1 = 0
    StrCpy $0 "none"
    Return
  ${EndIf}
  DetailPrint "Ending the running ${PRODUCT} ..."
  System::Call 'user32::RegisterWindowMessageW(w "${QUIET_EXIT_MESSAGE}") i.r2'
  System::Call 'user32::PostMessageW(p ${HWND_BROADCAST}, i r2, p 0, p 0)'
  ; The mutex is abandoned when its owner's process ends.
  System::Call 'kernel32::WaitForSingleObject(p r1, i 20000) i.r3'
  ${If} $3 = ${WAIT_ABANDONED}
  ${OrIf} $3 = 0
    System::Call 'kernel32::ReleaseMutex(p r1)'
    StrCpy $0 "ended"
  ${Else}
    StrCpy $0 "busy"
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r1)'
FunctionEnd

; Deletes $R9. A running program's file can be renamed but neither replaced nor deleted: such a
; file is moved aside under a fresh name (in the temporary folder, so that the program's folder
; can go; in the folder itself when the two lie on different drives) and removed by Windows at
; the next start.
Function RemoveFileEvenIfHeld
  Delete "$R9"
  ${IfNot} ${FileExists} "$R9"
    Return
  ${EndIf}
  GetTempFileName $R8
  Delete "$R8"
  Rename "$R9" "$R8"
  ${If} ${FileExists} "$R9"
    GetTempFileName $R8 "$INSTDIR"
    Delete "$R8"
    Rename "$R9" "$R8"
  ${EndIf}
  ${If} ${FileExists} "$R9"
    ; Held open without leave to move: it can only go at the next start.
    StrCpy $R8 "$R9"
  ${EndIf}
  Delete /REBOOTOK "$R8"
  ; The leftover goes at the next start anyway: no reason to ask for a restart now.
  SetRebootFlag false
FunctionEnd

!macro RemoveProgramFile NAME
  StrCpy $R9 "$INSTDIR\${NAME}"
  Call RemoveFileEvenIfHeld
!macroend
