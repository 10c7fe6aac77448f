; The per-user installer of Pelmora Converter for 64-bit Windows, built by
; the target windows-setup (packaging/windows/CMakeLists.txt) with
;   makensis -DSTAGE=<staged folder> -DVERSION=<version> -DOUTFILE=<setup.exe>
; It installs into the user's own program folder without administrator
; rights, so the program folder stays writable (the window keeps its
; placement file there), adds a Start-menu folder with the Japanese name, and
; registers an uninstaller under HKCU. /S installs and uninstalls silently;
; /D=<folder> (last on the command line) installs elsewhere.
; The file is UTF-8 with a byte order mark, which makensis needs to read
; the Japanese texts as UTF-8.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef STAGE | VERSION | OUTFILE
  !error "STAGE, VERSION and OUTFILE must be defined (-DSTAGE=...)"
!endif

!define PRODUCT "Pelmora コンバーター"
!define PUBLISHER "Pelmora Converter maintainers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pelmora"
; An earlier install's folder is offered again.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Pelmora Converter"
VIAddVersionKey /LANG=0 "FileDescription" "Pelmora Converter setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" ""

!include "MUI2.nsh"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Shortcuts, $SMPROGRAMS and $LOCALAPPDATA are the current user's, even
; when an administrator runs the installer.
Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Pelmora Converter"
  SetOutPath "$INSTDIR"
  ; Every program of the build; the window's program and its shortcut only
  ; when the build made it.
  File "${STAGE}/pelmora-convert.exe"
!if /FileExists "${STAGE}/pelmora.exe"
  File "${STAGE}/pelmora.exe"
!endif
  File "${STAGE}/Pelmora.html"
  File "${STAGE}/README.md"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
!if /FileExists "${STAGE}/pelmora.exe"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\pelmora.exe"
!endif
  CreateShortcut "${MENU_FOLDER}\${PRODUCT} ユーザーガイド.lnk" "$INSTDIR\Pelmora.html"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT} のアンインストール.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and the window's placement file, by
; name: the folder itself goes only when nothing else is left in it, so that
; files the user keeps there (outputs, data) survive.
Section "Uninstall"
  Delete "$INSTDIR\pelmora-convert.exe"
  Delete "$INSTDIR\pelmora.exe"
  Delete "$INSTDIR\pelmora.INI"
  Delete "$INSTDIR\Pelmora.html"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\${PRODUCT} ユーザーガイド.lnk"
  Delete "${MENU_FOLDER}\${PRODUCT} のアンインストール.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
