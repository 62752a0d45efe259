; Kelmora's installer: kelmora.exe under Program Files, a Start-menu entry, start at sign-in (a
; choice, per user) and an uninstaller listed among the system's apps, which keeps the user's
; data in %APPDATA%\Kelmora. Built by cmake/WindowsPackage.cmake, which defines VERSION,
; FILE_VERSION (four numbers), EXE, README, LICENSE, ICON and OUTFILE.
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelmora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define PUBLISHER "The Kelmora developers"

Name "Kelmora"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Kelmora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kelmora ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Kelmora"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Kelmora ${VERSION} のセットアップ"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
; No "run Kelmora now" on the last page: started by the installer it would run as administrator,
; find Program Files writable and keep its files there instead of in %APPDATA%\Kelmora.
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; A 64-bit program for every user: the 64-bit registry, the Start menu of all users.
Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Kelmora" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=kelmora.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Kelmora.lnk" "$INSTDIR\kelmora.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kelmora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelmora.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Per user: the Run value of the user who installs.
Section "サインイン時に起動する" SecStartAtSignIn
  WriteRegStr HKCU "${RUN_KEY}" "Kelmora" '"$INSTDIR\kelmora.exe"'
SectionEnd

; Removes what the installer put in place; the user's files (%APPDATA%\Kelmora, or any the
; program wrote beside itself) stay, and so does the folder that holds them.
Section "Uninstall"
  Delete "$INSTDIR\kelmora.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Kelmora.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Kelmora"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
