; The uninstaller's steps, "uninstall-core.exe" in the program's folder. "unins000.exe" runs a
; copy of it from the temporary folder, passing the program's folder with /D=, and waits for it.
; It is a setup-type program on purpose: an NSIS uninstaller hands its work to a copy of itself
; and returns at once, while the program's upgrade waits for "unins000.exe /SILENT" to finish
; before it installs the new version.

!include "common.nsh"
!include MUI2.nsh

Caption "${PRODUCT} ${VERSION} Uninstall"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Uninstall"

!define MUI_ICON "${ICON}"
!define MUI_WELCOMEPAGE_TITLE "Uninstall ${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "This removes ${PRODUCT} from your computer. If it is running, it is ended first and the browser settings it changed are restored.$\r$\n$\r$\nYour block list, safe sites, safe plug-ins and settings are kept unless you choose to remove them on the next page.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_PAGE_HEADER_TEXT "Choose what to remove"
!define MUI_PAGE_HEADER_SUBTEXT "${PRODUCT} itself is always removed."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tick the box to remove your own lists and settings as well. Click Uninstall to start."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "Also remove:"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_HEADER_TEXT "Uninstalling"
!define MUI_PAGE_HEADER_SUBTEXT "Please wait while ${PRODUCT} is removed from your computer."
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "Uninstall complete"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "${PRODUCT} was removed from your computer."
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
InstallButtonText "&Uninstall"
ShowInstDetails show
SpaceTexts none

Function .onInit
  !insertmacro AcceptSilentSwitch
  ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER_EXE}"
    MessageBox MB_ICONSTOP "Run ${UNINSTALLER_EXE} in the ${PRODUCT} folder to uninstall ${PRODUCT}." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Section "-Snapgate!"
  SetShellVarContext all
  Call EndRunningCopy
  !insertmacro ForEachProgramFile RemoveProgramFile
  ; The program's own work files; the upgrade's download too, should one be left.
  !insertmacro RemoveProgramFile "SnapgateSettings.dat"
  !insertmacro RemoveProgramFile "SnapgateSettings.reg"
  !insertmacro RemoveProgramFile "NewUpdate.exe"

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The browser's button would point at a program that is gone.
  DeleteRegKey HKCU "${TOOLBAR_KEY}"
  Delete "${START_MENU_FOLDER}\${PRODUCT}.lnk"
  Delete "${START_MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
  RMDir "${START_MENU_FOLDER}"
SectionEnd

; Never chosen in a quiet uninstall: the user's own lists and settings stay for a later install.
; The installed program keeps the lists in the user's application data; a version before it kept
; them beside itself, so both places are cleared.
Section /o "My block list, safe sites, safe plug-ins and settings" RemoveUserData
  Delete "$INSTDIR\filters.txt"
  Delete "$INSTDIR\whitelist.txt"
  Delete "$INSTDIR\safebho.txt"
  Delete "$INSTDIR\allowed.txt"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  SetShellVarContext current
  RMDir /r "$APPDATA\Snapgate!"
  SetShellVarContext all
SectionEnd

Section "-Leave the folder"
  ; unins000.exe is waiting for these steps: it is moved out of the way so that the folder can go.
  !insertmacro RemoveProgramFile "${UNINSTALL_STEPS_EXE}"
  !insertmacro RemoveProgramFile "${UNINSTALLER_EXE}"
  RMDir "$INSTDIR"
SectionEnd
