; The setup program: installs Snapgate! into Program Files, starts it at every logon and lists
; it among the installed programs. The build also passes BIN_DIR (the program and the files
; beside it), UNINSTALLER (unins000.exe) and UNINSTALL_STEPS (made from uninstall.nsi).

!include "common.nsh"
!include MUI2.nsh

Caption "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
InstallDir "$PROGRAMFILES64\Snapgate!"
; Installing again goes where the last installation went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "Welcome to the ${PRODUCT} ${VERSION} Setup"
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT}, the popup blocker and anti-spyware toolset, on your computer.$\r$\n$\r$\n${PRODUCT} starts whenever you log on and lives in the notification area. If it is running now, Setup ends it first; your block list, safe sites and settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !insertmacro AcceptSilentSwitch
FunctionEnd

; Started through the shell, the program runs with the user's own rights, as at logon, and not
; with Setup's administrator rights.
Function StartProgram
  ; Exec starts in the output folder: not the program's, which the uninstaller must remove.
  SetOutPath "$WINDIR"
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${PROGRAM_EXE}"'
FunctionEnd

; Only administrators may write where this program lies: every user's logon runs it and the
; uninstaller runs with administrator rights. Each user's lists live in that user's own
; application-data folder. An earlier version let every user write here; the folder's own entries
; go, and it takes the access list of the folder it is in, as a new folder there does.
!define ACL_REVISION 2
!define SE_FILE_OBJECT 1
; DACL_SECURITY_INFORMATION with UNPROTECTED_DACL_SECURITY_INFORMATION: the inherited entries only.
!define INHERITED_DACL_ONLY 0x20000004
Function TakeParentFolderAccess
  System::Call '*(&i8) p.r1'
  System::Call 'advapi32::InitializeAcl(p r1, i 8, i ${ACL_REVISION}) i.r2'
  System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i ${SE_FILE_OBJECT}, i ${INHERITED_DACL_ONLY}, p 0, p 0, p r1, p 0) i.r2'
  ${If} $2 <> 0
    DetailPrint "Could not reset the access list of $INSTDIR (error $2)."
  ${EndIf}
  System::Free $1
FunctionEnd

!macro PlaceProgramFile NAME
  !insertmacro RemoveProgramFile "${NAME}"
  File "/oname=${NAME}" "${BIN_DIR}/${NAME}"
!macroend

Section "Snapgate!"
  SetShellVarContext all
  Call EndRunningCopy
  SetOutPath "$INSTDIR"
  Call TakeParentFolderAccess
  !insertmacro ForEachProgramFile PlaceProgramFile
  !insertmacro RemoveProgramFile "${UNINSTALLER_EXE}"
  File "/oname=${UNINSTALLER_EXE}" "${UNINSTALLER}"
  !insertmacro RemoveProgramFile "${UNINSTALL_STEPS_EXE}"
  File "/oname=${UNINSTALL_STEPS_EXE}" "${UNINSTALL_STEPS}"

  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${PROGRAM_EXE}"'

  CreateDirectory "${START_MENU_FOLDER}"
  CreateShortcut "${START_MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM_EXE}"
  CreateShortcut "${START_MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER_EXE}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${PROGRAM_EXE}",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "http://${WEB_SITE_HOST}/"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_EXE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_EXE}" /SILENT'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$R0"

  ; A copy that Setup ended goes on protecting the user after a quiet installation.
  ${If} ${Silent}
  ${AndIf} $0 == "ended"
    Call StartProgram
  ${EndIf}
SectionEnd
