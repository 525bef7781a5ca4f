; The installer of Velmora for Windows, made with NSIS by
; scripts/windows-package.sh: the program folder into a folder of the user's
; own (the program keeps its archives beside itself, so it must be able to
; write there: no administrator is asked for), a Start-menu entry and an
; uninstaller. The uninstaller removes what was installed and nothing else:
; the archives, the settings and the password file (unins000.dll, which holds
; the password as the user last changed it) stay where they are.
;   makensis -DVERSION=1.0 -DSOURCE=<program folder> -DFILES=<files.nsh>
;            -DOUTFILE=<installer.exe> Velmora.nsi
Target amd64-unicode  ; a 64-bit installer, for a 64-bit program
SetCompressor /SOLID lzma
RequestExecutionLevel user

Name "Velmora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmora"
InstallDirRegKey HKCU "Software\Velmora" "Cartella"
ShowInstDetails show

!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

!define UNINSTALLER "Disinstalla Velmora.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"

Section "Velmora"
  SetOutPath "$INSTDIR"
  ; The password file of a new installation: an installation over an older
  ; one keeps the password its users set.
  SetOverwrite off
  File "${SOURCE}/unins000.dll"
  SetOverwrite on
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\Velmora.lnk" "$INSTDIR\Velmora.exe"
  WriteRegStr HKCU "Software\Velmora" "Cartella" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Velmora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !include "${UNFILES}"
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$SMPROGRAMS\Velmora.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Velmora"
  ; Only folders left empty go: the one of the archives stays while it holds them.
  RMDir "$INSTDIR"
SectionEnd
