; The Windows installer: for the current user, without administrator rights, in
; %LOCALAPPDATA%\Programs\Vantrel, a folder the program may write (its settings and
; pass folders live beside it). Built by cmake/MakeInstaller.cmake, which defines
; VERSION, STAGE (the installed tree), OUTFILE, and writes files.nsh and
; unfiles.nsh (what is installed, what the uninstaller removes).
; The program is 64-bit: so is its installer (and Wine without 32-bit support runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define NAME "Vantrel"
!define CLASS "Vantrel.Deploiement"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define UNINSTALLER "desinstaller.exe"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vantrel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
Icon "${STAGE}\vantrel.ico"
UninstallIcon "${STAGE}\vantrel.ico"
BrandingText "Vantrel ${VERSION}"

!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

; SHCNE_ASSOCCHANGED: the Explorer shows the new icon and opens .VTR at once.
!macro NotifyShell
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

; The .VTR type: an icon, a French name, and "open" with the file's path in quotes.
!macro WriteFileType ROOT
    WriteRegStr ${ROOT} "Software\Classes\.VTR" "" "${CLASS}"
    WriteRegStr ${ROOT} "Software\Classes\${CLASS}" "" "Déploiement Vantrel"
    WriteRegStr ${ROOT} "Software\Classes\${CLASS}\DefaultIcon" "" "$INSTDIR\vantrel.exe,0"
    WriteRegStr ${ROOT} "Software\Classes\${CLASS}\shell\open\command" "" '"$INSTDIR\vantrel.exe" "%1"'
!macroend

!macro RemoveFileType ROOT
    ReadRegStr $0 ${ROOT} "Software\Classes\.VTR" ""
    StrCmp $0 "${CLASS}" 0 +2
        DeleteRegKey ${ROOT} "Software\Classes\.VTR"
    DeleteRegKey ${ROOT} "Software\Classes\${CLASS}"
!macroend

; Wine's shell reads the machine's classes only, where Windows merges in the user's.
!macro IfWine LABEL
    System::Call 'ntdll::wine_get_version() p .r1'
    StrCmp $1 "error" +2
    IntCmp $1 0 +1 ${LABEL} ${LABEL}
!macroend

Section "Vantrel"
    SetShellVarContext current
    !include "files.nsh"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    CreateShortcut "$SMPROGRAMS\Vantrel.lnk" "$INSTDIR\vantrel.exe" "" "$INSTDIR\vantrel.exe" 0

    ; .VTR, in the user's own classes.
    !insertmacro WriteFileType HKCU
    !insertmacro IfWine onWine
    Goto typeWritten
onWine:
    !insertmacro WriteFileType HKLM
typeWritten:

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vantrel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Équipe Vantrel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    !insertmacro NotifyShell
SectionEnd

; Removes what was installed. The operator's settings, pass folders and journals stay
; unless the operator asks, interactively, to remove them too.
Section "Uninstall"
    SetShellVarContext current
    !include "unfiles.nsh"
    Delete "$SMPROGRAMS\Vantrel.lnk"
    !insertmacro RemoveFileType HKCU
    !insertmacro IfWine unOnWine
    Goto typeRemoved
unOnWine:
    !insertmacro RemoveFileType HKLM
typeRemoved:
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    IfSilent keepData
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Supprimer aussi les réglages, les dossiers des passes et les journaux de$\r$\n$INSTDIR ?" \
        IDNO keepData
    RMDir /r "$INSTDIR"
keepData:
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    !insertmacro NotifyShell
SectionEnd
