; SkarnVale's setup: installs the program for the current user, without
; administrator rights, into %LOCALAPPDATA%\Programs\SkarnVale. Made by
; scripts/package.sh:
;   makensis -DVERSION=2.1.0 -DEXE=SkarnVale.exe -DREADME=ReadMe.txt -DICON=mainicon.ico -DOUTFILE=setup.exe SkarnVale.nsi
; /S installs silently with the defaults (started at sign-in, not started
; now); Uninstall.exe /S removes it silently and keeps the settings and lists.

!macro REQUIRE_DEFINE name
!ifndef ${name}
!error "${name} is not defined: makensis -D${name}=..."
!endif
!macroend
!insertmacro REQUIRE_DEFINE VERSION
!insertmacro REQUIRE_DEFINE EXE
!insertmacro REQUIRE_DEFINE README
!insertmacro REQUIRE_DEFINE ICON
!insertmacro REQUIRE_DEFINE OUTFILE

; A 64-bit setup of the 64-bit program: 64-bit Windows is where an installer
; is wanted today (the x86 zip serves 32-bit Windows), and it runs where only
; 64-bit code can run.
Target amd64-unicode

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SkarnVale"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define STARTUP_APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SETTINGS_KEY "Software\SkarnVale"
; The hidden window a running SkarnVale quits through when it is sent WM_CLOSE.
!define QUIT_REQUEST_CLASS "TSkarnValeQuitRequest"
!define SYNCHRONIZE 0x00100000
!define WAIT_OBJECT_0 0

Name "SkarnVale"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\SkarnVale"
; Installed again, it goes where it went before.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "SkarnVale ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\SkarnVale.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start SkarnVale now"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "SkarnVale"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "SkarnVale ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "SkarnVale"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "SkarnVale"

; A running copy holds its program file and writes its settings and lists
; when it ends: it is asked to quit, and waited for, before the files are
; touched. It saves them on the way out, so nothing of the session is lost.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
    retry:
    FindWindow $0 "${QUIT_REQUEST_CLASS}"
    ${If} $0 == 0
        Return
    ${EndIf}
    DetailPrint "Asking the running SkarnVale to quit"
    ; Its process, opened before the request, tells when it has really ended.
    System::Call "user32::GetWindowThreadProcessId(p r0, *i 0 r1) i"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCpy $3 1
    ${If} $2 != 0
        System::Call "kernel32::WaitForSingleObject(p r2, i 20000) i .r3"
        System::Call "kernel32::CloseHandle(p r2)"
    ${Else}
        ; Without its process, its window going away tells: it goes after the save.
        ${For} $4 1 200
            Sleep 100
            FindWindow $5 "${QUIT_REQUEST_CLASS}"
            ${If} $5 == 0
                StrCpy $3 ${WAIT_OBJECT_0}
                ${Break}
            ${EndIf}
        ${Next}
    ${EndIf}
    ${If} $3 != ${WAIT_OBJECT_0}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "SkarnVale is still running. Quit it from its tray icon's menu, then choose Retry." \
            /SD IDCANCEL IDRETRY retry
        Abort "SkarnVale is still running."
    ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

Section "SkarnVale" SecProgram
    SectionIn RO
    Call CloseRunningCopy
    SetOutPath "$INSTDIR"
    File "/oname=SkarnVale.exe" "${EXE}"
    File "/oname=ReadMe.txt" "${README}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext current
    CreateShortcut "$SMPROGRAMS\SkarnVale.lnk" "$INSTDIR\SkarnVale.exe" "" "$INSTDIR\SkarnVale.exe" 0 \
        SW_SHOWNORMAL "" "Closes popups, watches mailboxes, deletes spam"

    ; Windows' installed apps.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "SkarnVale"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "SkarnVale"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\SkarnVale.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start SkarnVale when I sign in" SecStartAtSignIn
    WriteRegStr HKCU "${RUN_KEY}" "SkarnVale" '"$INSTDIR\SkarnVale.exe"'
SectionEnd

; Installed again with the box cleared, it no longer starts at sign-in.
Section "-StartAtSignInCleared"
    ${IfNot} ${SectionIsSelected} ${SecStartAtSignIn}
        DeleteRegValue HKCU "${RUN_KEY}" "SkarnVale"
    ${EndIf}
SectionEnd

; Another copy may have been installed since in another folder, taking over
; the shortcut, the installed-apps entry and the start-up entry: the
; uninstaller removes each only when it names this copy's folder.

; $0: a folder; $0 its long spelling when it exists, as it was otherwise,
; without a closing backslash. Changes $1 and $2.
Function un.LongPath
    System::Call "kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2"
    ${If} $2 > 0
    ${AndIf} $2 < ${NSIS_MAX_STRLEN}
        StrCpy $0 $1
    ${EndIf}
    StrCpy $1 $0 "" -1
    ${If} $1 == "\"
        StrCpy $0 $0 -1
    ${EndIf}
FunctionEnd

; $0: a file's path; $0 "1" when the file is in this copy's folder, however
; the two are spelled, else "0". Changes $1 to $3.
Function un.InThisFolder
    ${GetParent} $0 $0
    ${If} $0 == ""
        Return
    ${EndIf}
    Call un.LongPath
    StrCpy $3 $0
    StrCpy $0 $INSTDIR
    Call un.LongPath
    ; LogicLib's == ignores case, as the file system does.
    ${If} $0 == $3
        StrCpy $0 1
    ${Else}
        StrCpy $0 0
    ${EndIf}
FunctionEnd

!define CLSID_SHELL_LINK "{00021401-0000-0000-C000-000000000046}"
!define IID_SHELL_LINK "{000214F9-0000-0000-C000-000000000046}"
!define IID_PERSIST_FILE "{0000010B-0000-0000-C000-000000000046}"
!define CLSCTX_INPROC_SERVER 1
!define STGM_READ 0

; $0: a shortcut's path; $0 the program it starts, "" when it cannot be read.
; Changes $1 to $4.
Function un.ShortcutTarget
    StrCpy $1 ""
    System::Call "ole32::CoCreateInstance(g '${CLSID_SHELL_LINK}', p 0, i ${CLSCTX_INPROC_SERVER}, \
        g '${IID_SHELL_LINK}', *p .r2) i .r3"
    ${If} $3 = 0
        ; IUnknown::QueryInterface, IPersistFile::Load, IShellLinkW::GetPath, IUnknown::Release.
        System::Call "$2->0(g '${IID_PERSIST_FILE}', *p .r4) i .r3"
        ${If} $3 = 0
            System::Call "$4->5(w r0, i ${STGM_READ}) i .r3"
            ${If} $3 = 0
                System::Call "$2->3(w .r1, i ${NSIS_MAX_STRLEN}, p 0, i 0) i"
            ${EndIf}
            System::Call "$4->2()"
        ${EndIf}
        System::Call "$2->2()"
    ${EndIf}
    StrCpy $0 $1
FunctionEnd

; $0: a command line; $0 the program it starts (between its first quotes, or
; the whole line without them). Changes $1 and $2.
Function un.ProgramOfCommand
    StrCpy $1 $0 1
    ${If} $1 != '"'
        Return
    ${EndIf}
    StrCpy $0 $0 "" 1
    StrCpy $1 0
    ${Do}
        StrCpy $2 $0 1 $1
        ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
        ${IfThen} $2 == '"' ${|} ${ExitDo} ${|}
        IntOp $1 $1 + 1
    ${Loop}
    StrCpy $0 $0 $1
FunctionEnd

; $0: a folder; the files the program writes there (beside itself, or in
; %APPDATA%\SkarnVale when its own folder cannot be written): the kill list,
; the popup rules, the spam lists and the allow list, each with the ".new" a
; save cut short leaves, the folder probes and the copies of deleted spam.
; Whatever else the folder holds is the user's and stays.
!macro REMOVE_LIST_FILE name
    Delete "$0\${name}"
    Delete "$0\${name}.new"
!macroend
Function un.RemoveProgramFiles
    !insertmacro REMOVE_LIST_FILE "SkarnVale.txt"
    !insertmacro REMOVE_LIST_FILE "SkarnVale.rules"
    !insertmacro REMOVE_LIST_FILE "skarnvale.mail"
    !insertmacro REMOVE_LIST_FILE "skarnvale.sub"
    !insertmacro REMOVE_LIST_FILE "skarnvale.allow"
    Delete "$0\SkarnVale.write-probe.*"
    RMDir /r "$0\Quarantine"
FunctionEnd

Section "Uninstall"
    Call un.CloseRunningCopy
    Delete "$INSTDIR\SkarnVale.exe"
    Delete "$INSTDIR\ReadMe.txt"
    Delete "$INSTDIR\Uninstall.exe"

    SetShellVarContext current
    StrCpy $0 "$SMPROGRAMS\SkarnVale.lnk"
    Call un.ShortcutTarget
    Call un.InThisFolder
    ${If} $0 == 1
        Delete "$SMPROGRAMS\SkarnVale.lnk"
    ${EndIf}

    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $0 "$0\Uninstall.exe"
    Call un.InThisFolder
    ${If} $0 == 1
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}

    ; The start-up entry, written by the setup or by the program.
    ReadRegStr $0 HKCU "${RUN_KEY}" "SkarnVale"
    Call un.ProgramOfCommand
    Call un.InThisFolder
    ${If} $0 == 1
        DeleteRegValue HKCU "${RUN_KEY}" "SkarnVale"
        DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "SkarnVale"
    ${EndIf}

    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Remove SkarnVale's settings, kill list and spam lists too?$\r$\n$\r$\nKeep them to find them again when you install SkarnVale later." \
        /SD IDNO IDNO kept
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    StrCpy $0 $INSTDIR
    Call un.RemoveProgramFiles
    StrCpy $0 "$APPDATA\SkarnVale"
    Call un.RemoveProgramFiles
    ; Only when empty: a file of the user's own keeps it.
    RMDir "$APPDATA\SkarnVale"
    kept:
    ; Only when empty: the lists, when kept, stay in it.
    RMDir "$INSTDIR"
SectionEnd
