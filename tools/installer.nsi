; The Windows setup program, built by tools/package.sh, which defines
;   VERSION        the program's version ("1.0.0.1")
;   PUBLISHER      the maker, as the version record names it
;   COPYRIGHT      the copyright line of the version record
;   PRODUCT_FILES  an include file with the macros InstallProductFiles and
;                  RemoveProductFiles, listing every file of the product folder
;   OUT_FILE       the setup program to write
;
; The program keeps config.ini and temp\ in its working folder, so the Start
; menu shortcut starts it in a folder of the installing user's application
; data: Program Files stays read-only for it.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "${PRODUCT_FILES}"

!define PRODUCT "Corvale"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvale"
; The settings the program keeps in the user's registry.
!define SETTINGS_KEY "Software\VELMARON\Corvale Rip"
; Created by a running program (see app/startup.cpp).
!define RUNNING_MUTEX "CorvaleApp"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Files of a running program cannot be replaced or removed: ask to close it,
; and give up (with an error a silent caller sees) when it keeps running.
!macro WaitUntilProgramEnds un
Function ${un}WaitUntilProgramEnds
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilProgramEnds ""
!insertmacro WaitUntilProgramEnds "un."

Function .onInit
  SetShellVarContext current
FunctionEnd

Section "Install"
  Call WaitUntilProgramEnds
  SetOutPath "$INSTDIR"
  !insertmacro InstallProductFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The installing user's working folder, made now so the shortcut has it.
  CreateDirectory "$APPDATA\${PRODUCT}"
  SetOutPath "$APPDATA\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\corvale.exe" "" "$INSTDIR\corvale.exe" 0
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\corvale.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Removes what setup installed and the program's own files beside it (help
; indexes, intermediate WAVs); a folder is removed only when nothing else is
; left in it, so files the user put there (ripped tracks) stay.
Section "Uninstall"
  Call un.WaitUntilProgramEnds
  !insertmacro RemoveProductFiles
  Delete "$INSTDIR\*.idx"
  Delete "$INSTDIR\lang\*.idx"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\lang"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  Delete "$APPDATA\${PRODUCT}\temp\*.wav"
  RMDir "$APPDATA\${PRODUCT}\temp"
  Delete "$APPDATA\${PRODUCT}\*.idx"
  Delete "$APPDATA\${PRODUCT}\lang\*.idx"
  RMDir "$APPDATA\${PRODUCT}\lang"
  ; A silent uninstall keeps the settings (an upgrade script may run one).
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${PRODUCT} settings as well?" /SD IDNO IDNO keep_settings
    Delete "$APPDATA\${PRODUCT}\config.ini"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  keep_settings:
  RMDir "$APPDATA\${PRODUCT}"
SectionEnd
