; The Windows installer of the window program, veldro-cli and the user guide,
; from the folder packaging/windows/stage lays out. scripts/build-windows --gui
; makes it: makensis -DVERSION=1.9.0 -DSTAGE=DIR -DOUTFILE=FILE veldro.nsi
; Without a question it installs with /S (and uninstalls with uninstall.exe /S).
; A 64-bit installer: the program is one, and wine64 runs no 32-bit one.
Target amd64-unicode
!include MUI2.nsh

!define PRODUCT "Veldro"
!define PUBLISHER "Ombrel Zezeverudud"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Veldro"
!define PROGRAM "$INSTDIR\bin\veldro.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "GPL-3.0-or-later"

!define MUI_LICENSEPAGE_TEXT_TOP "Veldro is free software under the GNU General Public License, version 3 or later. The licences of the parts it ships are installed in the licenses folder."
!define MUI_FINISHPAGE_RUN "${PROGRAM}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\licenses\Veldro-GPL-3.0-or-later.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A file kind opened by the window: .vlf and .bru, as on Linux.
!macro Associate EXTENSION KIND DESCRIPTION
  WriteRegStr HKLM "Software\Classes\${EXTENSION}" "" "${KIND}"
  WriteRegStr HKLM "Software\Classes\${KIND}" "" "${DESCRIPTION}"
  WriteRegStr HKLM "Software\Classes\${KIND}\DefaultIcon" "" "${PROGRAM},0"
  WriteRegStr HKLM "Software\Classes\${KIND}\shell\open\command" "" '"${PROGRAM}" "%1"'
!macroend
; Removed only while it is still ours: another program may have taken the extension since.
!macro Dissociate EXTENSION KIND
  ReadRegStr $0 HKLM "Software\Classes\${EXTENSION}" ""
  StrCmp $0 "${KIND}" 0 +2
    DeleteRegKey HKLM "Software\Classes\${EXTENSION}"
  DeleteRegKey HKLM "Software\Classes\${KIND}"
!macroend

Section "Veldro"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "${PROGRAM}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} user guide.lnk" \
    "$INSTDIR\share\veldro\docs\guide\index.html"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  !insertmacro Associate ".vlf" "Veldro.DataFile" "Veldro data file"
  !insertmacro Associate ".bru" "Veldro.BruFile" "Veldro old format data file"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${PROGRAM}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there: the folder may hold the user's own files.
Section "Uninstall"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  RMDir /r "$INSTDIR\licenses"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  RMDir /r "$SMPROGRAMS\${PRODUCT}"
  !insertmacro Dissociate ".vlf" "Veldro.DataFile"
  !insertmacro Dissociate ".bru" "Veldro.BruFile"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
