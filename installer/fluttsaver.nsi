; Setup program of Fluttons! Saver: installs fluttsaver.scr for all users where the
; Screen Saver Settings list finds a saver of its kind, registers an Apps & Features
; entry and, unless told otherwise, makes it the screen saver of the person at the desktop.
; ARCH says which saver it carries:
;   x86  the 32-bit saver: System32 on 32-bit Windows, SysWOW64 on 64-bit Windows,
;        its folder in Program Files (x86) there;
;   x64  the 64-bit saver, a 64-bit setup: the real System32 and Program Files.
; Both kinds share one Apps & Features entry: one installed over the other removes the
; other's saver file, entry and folder, so the system lists the saver once.
;
; Whom it writes for. The setup and the uninstaller start as the person who opened them.
; The machine-wide part (the saver file, the folder, the entry in HKLM) runs elevated: in
; a copy of the program started with the "runas" verb and the internal switch /MACHINE,
; or in the program itself when it already has administrator rights (UAC off, "Run as
; administrator", Wine). That part never touches HKCU. The per-user part (the screen
; saver choice, the finish page's settings, "Remove my settings") runs in the program
; the person started, and only when that program runs as the user signed in to its
; session; as SYSTEM, in a session nobody is signed in to, or as an administrator
; account that is not the person at the desktop, it leaves every user's choice alone.
; Where policy sets the screen saver, the setup leaves the choice alone as well.
;
; scripts/package.sh builds it:
;   makensis -INPUTCHARSET UTF8 -DARCH=x64 -DVERSION=4.0.0 -DSCR=dir/fluttsaver.scr
;            -DDOCS=dir -DICON=MainIcon.ico -DURL=https://... -DOUTFILE=setup.exe
;            installer/fluttsaver.nsi
; DOCS holds LICENSE.txt and README.txt.
;
; Command line: /S silent (the default choices), /NOACTIVATE keeps the user's screen
; saver, /D=folder another folder (new or empty).
; Exit codes of the setup and the uninstaller:
;   0     done
;   1     cancelled
;   2     nothing changed: the saver file was in use and the person chose Cancel
;   145   setup: the folder given with /D= holds other files (ERROR_DIR_NOT_EMPTY)
;   740   no administrator rights: the elevation prompt was refused or failed
;   1605  uninstaller: not the installed copy, nothing removed (ERROR_UNKNOWN_PRODUCT)
;   3010  done, but the saver file was in use (silent run): it is replaced or removed
;         at the next restart (ERROR_SUCCESS_REBOOT_REQUIRED)
; The uninstaller reports its code to the caller when started in place, as the entry's
; QuietUninstallString does ("uninstall.exe /S _?=folder"); its uninstall.exe and the
; folder then go a moment after it ends, removed by a copy of it in the temp folder.

!if "${ARCH}" == "x64"
    Target amd64-unicode
!else if "${ARCH}" == "x86"
    Unicode true
!else
    !error "ARCH must be x86 or x64"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh
!include WinMessages.nsh

!define PRODUCT "Fluttons! Saver"
!define PUBLISHER "Orrin Software"
!define SCR_NAME "fluttsaver.scr"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\fluttsaver"
!define DESKTOP_KEY "Control Panel\Desktop"
!define DESKTOP_POLICY_KEY "Software\Policies\Microsoft\Windows\Control Panel\Desktop"
!define SYSTEM_POLICY_KEY "Software\Microsoft\Windows\CurrentVersion\Policies\System"
!define SESSION_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define SETTINGS_PARENT "Software\Orrin Software"
!define SETTINGS_KEY "${SETTINGS_PARENT}\Fluttons Saver"

; Exit codes, see above.
!define EXIT_IN_USE 2
!define EXIT_DIR_NOT_EMPTY 145
!define EXIT_NEED_ADMIN 740
!define EXIT_NOT_INSTALLED 1605
!define EXIT_RESTART 3010

Name "${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
    InstallDir "$PROGRAMFILES64\Fluttons Saver"
!else
    InstallDir "$PROGRAMFILES\Fluttons Saver"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"

; The saver file as the system's 64-bit screen-saver host and Apps & Features see it,
; and its folder.
Var SaverPath
Var SaverDir
; The other kind's install on this system, which this one replaces: its saver file
; (empty on 32-bit Windows, where there is no other kind) and its folder.
Var OtherSaver
Var OtherDir
; "machine" in the elevated copy, which does the machine-wide part only.
Var Part
; 1 when the in-use question may be asked (a person is watching).
Var Ask
; 1 when this program has administrator rights.
Var Elevated
; 1 when this program runs as the user signed in to its session.
Var DesktopUser
; 1 when policy sets the screen saver; 2 when it also locks the settings page.
Var Managed
; What the user's SCRNSAVE.EXE names, decided before any file goes: 1 this kind's saver,
; 2 the other kind's, 0 neither.
Var Named
; The outcome of the machine-wide part: one of the exit codes.
Var Result
; 1 when the saver file's replacement or removal waits for the restart.
Var Pending

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_LICENSE "${DOCS}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettingsText)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the fallback when the user's UI language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString ActivateText ${LANG_ENGLISH} "Use it as my screen saver"
LangString ActivateText ${LANG_JAPANESE} "スクリーン セーバーに設定する"
LangString ActivateManagedText ${LANG_ENGLISH} "Use it as my screen saver (your organization's policy sets it)"
LangString ActivateManagedText ${LANG_JAPANESE} "スクリーン セーバーに設定する (組織のポリシーで決められています)"
LangString ActivateOtherUserText ${LANG_ENGLISH} "Use it as my screen saver (this setup runs as another account)"
LangString ActivateOtherUserText ${LANG_JAPANESE} "スクリーン セーバーに設定する (別のアカウントで実行中のため不可)"
LangString ManagedLog ${LANG_ENGLISH} "The screen saver choice is left as it is: policy sets the screen saver."
LangString ManagedLog ${LANG_JAPANESE} "スクリーン セーバーの選択は変えません: ポリシーで決められています。"
LangString OtherUserLog ${LANG_ENGLISH} "No user's screen saver choice or settings are changed: this program does not run as the user signed in at this desktop."
LangString OtherUserLog ${LANG_JAPANESE} "どのユーザーのスクリーン セーバーの選択も設定も変えません: このプログラムはこのデスクトップにサインインしているユーザーとして動いていません。"
LangString OpenSettingsText ${LANG_ENGLISH} "Open the screen saver settings"
LangString OpenSettingsText ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString RemoveSettingsText ${LANG_ENGLISH} "Remove my settings"
LangString RemoveSettingsText ${LANG_JAPANESE} "設定も削除する"
LangString RemoveSettingsOtherUserText ${LANG_ENGLISH} "Remove my settings (this uninstaller runs as another account)"
LangString RemoveSettingsOtherUserText ${LANG_JAPANESE} "設定も削除する (別のアカウントで実行中のため不可)"
LangString InUseText ${LANG_ENGLISH} "${SCR_NAME} is in use, most likely by the Screen Saver Settings window (its preview) or by the saver's own settings.$\r$\n$\r$\nClose them and choose Retry, or choose Cancel to leave everything as it is."
LangString InUseText ${LANG_JAPANESE} "${SCR_NAME} は使用中です。スクリーン セーバーの設定画面 (プレビュー) か、このスクリーン セーバーの設定が開いているようです。$\r$\n$\r$\nそれらを閉じてから [再試行] を、何も変えずにやめるには [キャンセル] を選んでください。"
LangString InUseLog ${LANG_ENGLISH} "${SCR_NAME} is in use or waits for the restart: it is replaced or removed at the next restart."
LangString InUseLog ${LANG_JAPANESE} "${SCR_NAME} は使用中か再起動待ちです: 次の再起動のときに置き換えるか削除します。"
LangString NeedAdminText ${LANG_ENGLISH} "${PRODUCT} is installed for all users: it needs an administrator's confirmation."
LangString NeedAdminText ${LANG_JAPANESE} "${PRODUCT} はすべてのユーザーにインストールされます。管理者の確認が必要です。"
LangString FolderNotFreeText ${LANG_ENGLISH} "$INSTDIR already holds other files. Choose a new or empty folder."
LangString FolderNotFreeText ${LANG_JAPANESE} "$INSTDIR には他のファイルがあります。新しいフォルダーか空のフォルダーを選んでください。"
LangString NotInstalledHereText ${LANG_ENGLISH} "${PRODUCT} is not installed in $INSTDIR: nothing was removed. Remove it from Apps & Features."
LangString NotInstalledHereText ${LANG_JAPANESE} "${PRODUCT} は $INSTDIR にインストールされていません。何も削除していません。[アプリと機能] から削除してください。"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2025 ${PUBLISHER}"

; A 32-bit program writing to $SYSDIR lands in SysWOW64 on 64-bit Windows, but 64-bit
; programs reading the path need that folder named, and so does a restart that replaces
; the file. The other kind's saver lives in the folder this kind does not use.
!macro FindSaverPath
    StrCpy $OtherSaver ""
    !if "${ARCH}" == "x64"
        SetRegView 64
        StrCpy $SaverDir "$SYSDIR"
        StrCpy $OtherSaver "$WINDIR\SysWOW64\${SCR_NAME}"
    !else
        ${If} ${RunningX64}
            StrCpy $SaverDir "$WINDIR\SysWOW64"
            StrCpy $OtherSaver "$WINDIR\System32\${SCR_NAME}"
        ${Else}
            StrCpy $SaverDir "$SYSDIR"
        ${EndIf}
    !endif
    StrCpy $SaverPath "$SaverDir\${SCR_NAME}"
!macroend

; The other kind's registry view and files: a 32-bit setup reaches the 64-bit System32
; only with file-system redirection off. Each OtherKind has its OwnKind.
!macro OtherKind
    !if "${ARCH}" == "x64"
        SetRegView 32
    !else
        SetRegView 64
        ${DisableX64FSRedirection}
    !endif
!macroend
!macro OwnKind
    !if "${ARCH}" == "x64"
        SetRegView 64
    !else
        SetRegView 32
        ${EnableX64FSRedirection}
    !endif
!macroend

; The 64-bit view of the file system, where the 32-bit setup sees it otherwise.
!macro NativeFiles
    !if "${ARCH}" == "x86"
        ${If} ${RunningX64}
            ${DisableX64FSRedirection}
        ${EndIf}
    !endif
!macroend
!macro OwnFiles
    !if "${ARCH}" == "x86"
        ${If} ${RunningX64}
            ${EnableX64FSRedirection}
        ${EndIf}
    !endif
!macroend

!macro RequireAdmin
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
        MessageBox MB_OK|MB_ICONSTOP "$(NeedAdminText)" /SD IDOK
        SetErrorLevel ${EXIT_NEED_ADMIN}
        Quit
    ${EndIf}
!macroend

; SHELLEXECUTEINFOW as the System plug-in lays it out (no padding of its own): cbSize,
; fMask, hwnd, lpVerb, lpFile, lpParameters, lpDirectory, nShow, hInstApp, lpIDList,
; lpClass, hkeyClass, dwHotKey, hIcon, hProcess; the 64-bit layout pads after the two
; 32-bit fields that precede pointers.
!define SEE_MASK_NOCLOSEPROCESS 0x40
!define MOVEFILE_DELAY_UNTIL_REBOOT 4
!if "${ARCH}" == "x64"
    !define SEI_IN `i 112, i ${SEE_MASK_NOCLOSEPROCESS}, p $HWNDPARENT, w "runas", w "$EXEPATH", w r0, p 0, i 1, i 0, p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0`
    !define SEI_PROCESS `i, i, p, p, p, p, p, i, i, p, p, p, p, i, i, p, p .r2`
!else
    !define SEI_IN `i 60, i ${SEE_MASK_NOCLOSEPROCESS}, p $HWNDPARENT, w "runas", w "$EXEPATH", w r0, p 0, i 1, p 0, p 0, p 0, p 0, i 0, p 0, p 0`
    !define SEI_PROCESS `i, i, p, p, p, p, p, i, p, p, p, p, i, p, p .r2`
!endif

; Functions both programs use; UN is "" for the setup and "un." for the uninstaller.
!macro SharedFunctions UN

; Runs this program elevated with the parameters in $0 and waits for it: $Result is its
; exit code, or 740 when the elevation was refused or failed.
Function ${UN}RunElevated
    System::Call `*(${SEI_IN}) p .r1`
    System::Call 'shell32::ShellExecuteExW(p r1) i .r3'
    System::Call `*$1(${SEI_PROCESS})`
    System::Free $1
    ${If} $3 == 0
    ${OrIf} $2 == 0
        StrCpy $Result ${EXIT_NEED_ADMIN}
        Return
    ${EndIf}
    System::Call 'kernel32::WaitForSingleObject(p r2, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r2, *i .r3) i .r4'
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $4 == 0
        StrCpy $Result 1
    ${Else}
        StrCpy $Result $3
    ${EndIf}
FunctionEnd

; $DesktopUser: 1 when this program runs as the user signed in to its session (the
; session's user name and domain are this program's account), so HKCU is that person's.
; 0 as SYSTEM (whose session has no user), or as another account than the session's,
; as when an administrator's credentials were given to "Run as administrator".
Function ${UN}FindDesktopUser
    StrCpy $DesktopUser 0
    ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName 5 / WTSDomainName 7.
    System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r0, *i .r1) i .r2'
    ${If} $2 == 0
        Return
    ${EndIf}
    System::Call 'kernel32::lstrcpynW(w .r3, p r0, i ${NSIS_MAX_STRLEN})'
    System::Call 'wtsapi32::WTSFreeMemory(p r0)'
    System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 7, *p .r0, *i .r1) i .r2'
    ${If} $2 == 0
        Return
    ${EndIf}
    System::Call 'kernel32::lstrcpynW(w .r4, p r0, i ${NSIS_MAX_STRLEN})'
    System::Call 'wtsapi32::WTSFreeMemory(p r0)'
    ; NameSamCompatible 2: DOMAIN\user.
    System::Call 'secur32::GetUserNameExW(i 2, w .r5, *i ${NSIS_MAX_STRLEN}) i .r2'
    ${If} $2 != 0
    ${AndIf} $3 != ""
    ${AndIf} "$4\$3" == $5
        StrCpy $DesktopUser 1
    ${EndIf}
FunctionEnd

; $R0: the file a screen saver value names, as the 64-bit screen-saver host resolves it:
; unquoted, environment variables expanded, Sysnative (a 32-bit program's name for the
; 64-bit System32) read as System32, each part in its long form where it exists.
Function ${UN}ScrFile
    Push $R1
    Push $R2
    Push $R3
    ; Spaces and quotes around it.
    ${Do}
        StrCpy $R1 $R0 1
        ${If} $R1 == " "
        ${OrIf} $R1 == '"'
            StrCpy $R0 $R0 "" 1
        ${Else}
            StrCpy $R1 $R0 "" -1
            ${If} $R1 == " "
            ${OrIf} $R1 == '"'
                StrCpy $R0 $R0 -1
            ${Else}
                ${Break}
            ${EndIf}
        ${EndIf}
    ${Loop}
    ExpandEnvStrings $R0 $R0
    !insertmacro NativeFiles
    ${GetParent} $R0 $R1
    ${GetFileName} $R0 $R2
    ${GetFileName} $R1 $R3
    ${If} $R3 == "Sysnative"
        ${GetParent} $R1 $R3
        System::Call 'kernel32::GetLongPathNameW(w R3, w .R3, i ${NSIS_MAX_STRLEN})'
        System::Call 'kernel32::GetLongPathNameW(w "$WINDIR", w .R0, i ${NSIS_MAX_STRLEN})'
        ${If} $R3 == $R0
            StrCpy $R1 "$WINDIR\System32"
        ${EndIf}
    ${EndIf}
    System::Call 'kernel32::GetLongPathNameW(w "$R1\$R2", w .R0, i ${NSIS_MAX_STRLEN}) i .R3'
    ${If} $R3 == 0
        ; No such file (any more): the folder's long form and the name as written.
        System::Call 'kernel32::GetLongPathNameW(w R1, w .R0, i ${NSIS_MAX_STRLEN}) i .R3'
        ${If} $R3 == 0
            StrCpy $R0 $R1
        ${EndIf}
        StrCpy $R0 "$R0\$R2"
    ${EndIf}
    !insertmacro OwnFiles
    Pop $R3
    Pop $R2
    Pop $R1
FunctionEnd

; $Named: what the user's SCRNSAVE.EXE names (1 this kind's saver, 2 the other kind's, 0
; neither, kept). Decided while the files still exist, so short names resolve. On 64-bit
; Windows a value naming the 32-bit saver in System32 (as a 32-bit program sees it)
; names no 64-bit file: it is the 32-bit saver's when System32 holds no saver file.
Function ${UN}FindNamed
    StrCpy $Named 0
    ReadRegStr $R0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $R0 == ""
        Return
    ${EndIf}
    Call ${UN}ScrFile
    StrCpy $R4 $R0
    StrCpy $R0 $SaverPath
    Call ${UN}ScrFile
    ${If} $R4 == $R0
        StrCpy $Named 1
        Return
    ${EndIf}
    ${If} $OtherSaver == ""
        Return
    ${EndIf}
    StrCpy $R0 $OtherSaver
    Call ${UN}ScrFile
    !insertmacro NativeFiles
    ${If} $R4 == $R0
        StrCpy $Named 2
        !if "${ARCH}" == "x86"
            ${IfNot} ${FileExists} $OtherSaver
                ; The System32 form of this 32-bit saver's path.
                StrCpy $Named 1
            ${EndIf}
        !endif
    ${EndIf}
    !if "${ARCH}" == "x86"
        ; Its short name, in the System32 form.
        ${If} $Named == 0
        ${AndIfNot} ${FileExists} $OtherSaver
            !insertmacro OwnFiles
            GetFullPathName /SHORT $R1 $SaverPath
            !insertmacro NativeFiles
            ${GetFileName} $R1 $R1
            ${GetParent} $R0 $R0
            ${If} $R1 != ""
            ${AndIf} $R4 == "$R0\$R1"
                StrCpy $Named 1
            ${EndIf}
        ${EndIf}
    !endif
    !insertmacro OwnFiles
FunctionEnd

; $Pending: 1 when a file operation waiting for the restart names the saver file (left by
; a silent setup or uninstall that found it in use). This program's own change of the
; file then waits for the restart too, so it comes after that one and the last run wins.
Function ${UN}FindPending
    StrCpy $Pending 0
    ; HKEY_LOCAL_MACHINE (sign-extended), RRF_RT_REG_MULTI_SZ: first the size.
    System::Call 'advapi32::RegGetValueW(p -2147483646, w "${SESSION_KEY}", w "PendingFileRenameOperations", i 0x20, p 0, p 0, *i 0 r1) i .r2'
    ${If} $2 != 0
    ${OrIf} $1 < 4
        Return
    ${EndIf}
    System::Alloc $1
    Pop $3
    System::Call 'advapi32::RegGetValueW(p -2147483646, w "${SESSION_KEY}", w "PendingFileRenameOperations", i 0x20, p 0, p r3, *i r1 r1) i .r2'
    ${If} $2 == 0
        ; Pairs of strings, source then target ("" to delete, "!" before it to replace),
        ; until an empty source; $4 walks, $6 counts the bytes left.
        StrCpy $4 $3
        StrCpy $6 $1
        ${Do}
            System::Call 'kernel32::lstrlenW(p r4) i .r7'
            ${If} $7 == 0
                ${Break}
            ${EndIf}
            System::Call 'kernel32::lstrcpynW(w .r8, p r4, i ${NSIS_MAX_STRLEN})'
            IntOp $7 $7 + 1
            IntOp $7 $7 * 2
            IntPtrOp $4 $4 + $7
            IntOp $6 $6 - $7
            ${If} $6 < 2
                ${Break}
            ${EndIf}
            System::Call 'kernel32::lstrlenW(p r4) i .r7'
            System::Call 'kernel32::lstrcpynW(w .r9, p r4, i ${NSIS_MAX_STRLEN})'
            IntOp $7 $7 + 1
            IntOp $7 $7 * 2
            IntPtrOp $4 $4 + $7
            IntOp $6 $6 - $7
            ${If} $8 == "\??\$SaverPath"
            ${OrIf} $9 == "\??\$SaverPath"
            ${OrIf} $9 == "!\??\$SaverPath"
                StrCpy $Pending 1
            ${EndIf}
        ${LoopWhile} $6 >= 2
    ${EndIf}
    System::Free $3
FunctionEnd

!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; $Managed: whether policy sets the screen saver for this user (the values of
; "Force specific screen saver" or "Enable screen saver" set to off), and whether it
; locks the settings page ("Prevent changing screen saver").
Function FindPolicy
    StrCpy $Managed 0
    ; 64-bit Windows keeps policy in its own view. 32-bit Windows has only the one
    ; view, and there a read that asks for a 64-bit view can find nothing (it does
    ; in Wine's 32-bit prefixes): ask for that view only where it exists.
    !if "${ARCH}" == "x86"
        ${If} ${RunningX64}
            SetRegView 64
        ${EndIf}
    !endif
    ReadRegStr $0 HKCU "${DESKTOP_POLICY_KEY}" "SCRNSAVE.EXE"
    ReadRegStr $1 HKCU "${DESKTOP_POLICY_KEY}" "ScreenSaveActive"
    ReadRegStr $2 HKLM "${DESKTOP_POLICY_KEY}" "SCRNSAVE.EXE"
    ReadRegStr $3 HKLM "${DESKTOP_POLICY_KEY}" "ScreenSaveActive"
    ${If} $0 != ""
    ${OrIf} $1 == "0"
    ${OrIf} $2 != ""
    ${OrIf} $3 == "0"
        StrCpy $Managed 1
    ${EndIf}
    ReadRegDWORD $0 HKCU "${SYSTEM_POLICY_KEY}" "NoDispScrSavPage"
    ReadRegDWORD $1 HKLM "${SYSTEM_POLICY_KEY}" "NoDispScrSavPage"
    IntOp $0 $0 | $1
    ${If} $0 <> 0
        StrCpy $Managed 2
    ${EndIf}
    !insertmacro OwnKind
FunctionEnd

; The folder must be this install's (or the other kind's, which goes), or new or empty:
; the uninstaller removes its files, so they must not be someone else's.
Function CheckFolder
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
    ${OrIf} $OtherDir == $INSTDIR
        Return
    ${EndIf}
    FindFirst $0 $1 "$INSTDIR\*"
    ${DoWhile} $1 != ""
        ${If} $1 != "."
        ${AndIf} $1 != ".."
            FindClose $0
            MessageBox MB_OK|MB_ICONSTOP "$(FolderNotFreeText)" /SD IDOK
            StrCpy $Result ${EXIT_DIR_NOT_EMPTY}
            Return
        ${EndIf}
        FindNext $0 $1
    ${Loop}
    FindClose $0
FunctionEnd

; The in-use question when a person is watching: $0 is 1 for Retry.
!macro AskInUse
    StrCpy $0 0
    ${If} $Ask == 1
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION|MB_TOPMOST|MB_SETFOREGROUND "$(InUseText)" IDCANCEL +2
        StrCpy $0 1
    ${EndIf}
!macroend

; After the machine-wide part: its outcome is the exit code; anything but a restart to
; come ends the program.
!macro EndMachinePart
    ${If} $Result == ${EXIT_NEED_ADMIN}
        MessageBox MB_OK|MB_ICONSTOP "$(NeedAdminText)" /SD IDOK
    ${ElseIf} $Result == ${EXIT_RESTART}
        ; Done in the elevated copy: the finish page offers the restart.
        SetRebootFlag true
    ${EndIf}
    ${If} $Result != 0
        SetErrorLevel $Result
        ${If} $Result != ${EXIT_RESTART}
            Abort
        ${EndIf}
    ${EndIf}
!macroend

; The machine-wide part: files, folder and entry; never HKCU. Sets $Result.
Function MachinePart
    StrCpy $Result 0
    Call ReadOtherKind
    Call CheckFolder
    ${If} $Result != 0
        Return
    ${EndIf}
    ; The saver files first: when one is in use and the person cancels, nothing has
    ; been touched yet.
    Call CheckOtherSaverFree
    ${If} $Result != 0
        Return
    ${EndIf}
    SetOutPath "$SaverDir"
    Call FindPending
    ${If} $Pending != 1
        SetOverwrite try
retry:
        ClearErrors
        File "${SCR}"
        ${If} ${Errors}
            !insertmacro AskInUse
            ${If} $0 == 1
                Goto retry
            ${ElseIf} $Ask == 1
                StrCpy $Result ${EXIT_IN_USE}
                Return
            ${EndIf}
            ; Nobody to ask.
            StrCpy $Pending 1
        ${EndIf}
        SetOverwrite on
    ${EndIf}
    ${If} $Pending == 1
        ; The new file replaces the old one at the next restart.
        GetTempFileName $0 "$SaverDir"
        File "/oname=$0" "${SCR}"
        Rename /REBOOTOK "$0" "$SaverPath"
        DetailPrint "$(InUseLog)"
    ${EndIf}
    Call RemoveOtherKind

    SetOutPath "$INSTDIR"
    File "${DOCS}\LICENSE.txt"
    File "${DOCS}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; One key, so an upgrade or a repair keeps one entry.
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$SaverPath"
    WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "${URL}"
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    ; Interactive: from a copy in the temp folder, so it can remove its own folder.
    ; Quiet: in place, so the caller gets its exit code.
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    ${GetSize} "$SaverDir" "/M=${SCR_NAME} /S=0K /G=0" $1 $2 $3
    IntOp $0 $0 + $1
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
    ${If} ${RebootFlag}
        StrCpy $Result ${EXIT_RESTART}
    ${EndIf}
FunctionEnd

Section "!${PRODUCT}" SecSaver
    SectionIn RO
    StrCpy $Result 0
    ${If} $Part == machine
    ${OrIf} $Elevated == 1
        Call MachinePart
    ${Else}
        StrCpy $0 "/S /MACHINE"
        ${If} $Ask == 1
            StrCpy $0 "$0 /ASK"
        ${EndIf}
        StrCpy $0 "$0 /D=$INSTDIR"
        Call CheckFolder
        ${If} $Result == 0
            Call RunElevated
        ${EndIf}
    ${EndIf}
    !insertmacro EndMachinePart
SectionEnd

; Its work is done by the per-user section below, as the person at the desktop.
Section "$(ActivateText)" SecActivate
SectionEnd

Section "-For the person at the desktop"
    ${If} $Part == machine
        Return
    ${ElseIf} $DesktopUser != 1
        DetailPrint "$(OtherUserLog)"
        Return
    ${ElseIf} $Managed != 0
        DetailPrint "$(ManagedLog)"
        Return
    ${EndIf}
    ; A choice of the other kind's saver, which is gone now, moves to this one.
    ${If} ${SectionIsSelected} ${SecActivate}
    ${OrIf} $Named == 2
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverPath"
    ${EndIf}
    ${If} ${SectionIsSelected} ${SecActivate}
        WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
        ; SPI_SETSCREENSAVEACTIVE, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE: tells the
        ; running programs that the screen saver settings changed.
        System::Call 'user32::SystemParametersInfoW(i 0x11, i 1, p 0, i 3)'
    ${EndIf}
SectionEnd

Function .onInit
    SetShellVarContext all
    !insertmacro FindSaverPath
    ${GetParameters} $R9
    ClearErrors
    ${GetOptions} $R9 "/MACHINE" $0
    ${IfNot} ${Errors}
        ; The elevated copy: the machine-wide part, asking only when told to.
        StrCpy $Part machine
        SetSilent silent
        ClearErrors
        ${GetOptions} $R9 "/ASK" $0
        ${IfNot} ${Errors}
            StrCpy $Ask 1
        ${EndIf}
        !insertmacro RequireAdmin
        Return
    ${EndIf}
    ${IfNot} ${Silent}
        StrCpy $Ask 1
    ${EndIf}
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "admin"
        StrCpy $Elevated 1
    ${EndIf}
    Call FindDesktopUser
    Call FindPolicy
    Call ReadOtherKind
    Call FindNamed
    ClearErrors
    ${GetOptions} $R9 "/NOACTIVATE" $0
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecActivate}
    ${EndIf}
    ${If} $DesktopUser != 1
        SectionSetText ${SecActivate} "$(ActivateOtherUserText)"
    ${ElseIf} $Managed != 0
        SectionSetText ${SecActivate} "$(ActivateManagedText)"
    ${EndIf}
    ${If} $DesktopUser != 1
    ${OrIf} $Managed != 0
        !insertmacro UnselectSection ${SecActivate}
        !insertmacro SetSectionFlag ${SecActivate} ${SF_RO}
    ${EndIf}
FunctionEnd

; $OtherDir: the other kind's folder, from its entry.
Function ReadOtherKind
    StrCpy $OtherDir ""
    ${If} $OtherSaver != ""
        !insertmacro OtherKind
        ReadRegStr $OtherDir HKLM "${UNINST_KEY}" "InstallLocation"
        !insertmacro OwnKind
    ${EndIf}
FunctionEnd

; Installing over the other kind: its saver file must not be in use either, when a
; person can be asked; otherwise it goes at the next restart.
Function CheckOtherSaverFree
    ${If} $OtherSaver == ""
    ${OrIf} $Ask != 1
        Return
    ${EndIf}
    !insertmacro OtherKind
    ${If} ${FileExists} "$OtherSaver"
retry:
        ClearErrors
        FileOpen $0 "$OtherSaver" a
        ${If} ${Errors}
            !insertmacro AskInUse
            ${If} $0 == 1
                Goto retry
            ${EndIf}
            StrCpy $Result ${EXIT_IN_USE}
        ${Else}
            FileClose $0
        ${EndIf}
    ${EndIf}
    !insertmacro OwnKind
FunctionEnd

; Removes the other kind's saver file, entry and folder.
Function RemoveOtherKind
    ${If} $OtherSaver == ""
        Return
    ${EndIf}
    !insertmacro OtherKind
    ${If} ${FileExists} "$OtherSaver"
        Delete /REBOOTOK "$OtherSaver"
    ${EndIf}
    DeleteRegKey HKLM "${UNINST_KEY}"
    ${If} $OtherDir != ""
        Delete "$OtherDir\LICENSE.txt"
        Delete "$OtherDir\README.txt"
        Delete "$OtherDir\uninstall.exe"
        RMDir "$OtherDir"
    ${EndIf}
    !insertmacro OwnKind
FunctionEnd

; The settings page is offered only to the person at the desktop, and not when policy
; decides the screen saver.
Function FinishShow
    ${If} $DesktopUser != 1
    ${OrIf} $Managed != 0
        SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
        ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; The uninstaller's machine-wide part. Sets $Result.
Function un.MachinePart
    StrCpy $Result 0
    ; The saver file first: when it is in use and the person cancels, everything stays.
retry:
    ClearErrors
    Delete "$SaverPath"
    ${If} ${Errors}
        !insertmacro AskInUse
        ${If} $0 == 1
            Goto retry
        ${ElseIf} $Ask == 1
            StrCpy $Result ${EXIT_IN_USE}
            Return
        ${EndIf}
        Delete /REBOOTOK "$SaverPath"
        DetailPrint "$(InUseLog)"
        StrCpy $Result ${EXIT_RESTART}
    ${Else}
        Call un.FindPending
        ${If} $Pending == 1
            ; A file that the restart puts in place goes right after it.
            System::Call 'kernel32::MoveFileExW(w "$SaverPath", p 0, i ${MOVEFILE_DELAY_UNTIL_REBOOT})'
            DetailPrint "$(InUseLog)"
            StrCpy $Result ${EXIT_RESTART}
        ${EndIf}
    ${EndIf}

    DeleteRegKey HKLM "${UNINST_KEY}"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    ClearErrors
    Delete "$INSTDIR\uninstall.exe"
    ${If} ${Errors}
        ; Running in place: a copy of it in the temp folder (the uninstaller makes one
        ; when started without _?=) removes it once it has ended.
        Exec '"$INSTDIR\uninstall.exe" /CLEANUP'
    ${Else}
        RMDir "$INSTDIR"
    ${EndIf}
FunctionEnd

; The copy that removes uninstall.exe and the folder once the uninstaller has ended;
; only after an uninstall, when no entry names the folder any more.
Function un.Cleanup
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 != ""
        Return
    ${EndIf}
    ; Up to ten minutes (a person may leave the last page open), then at the restart;
    ; not once the folder is installed again.
    StrCpy $1 0
    ${Do}
        ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
        ${If} $0 != ""
            Return
        ${EndIf}
        ClearErrors
        Delete "$INSTDIR\uninstall.exe"
        ${IfNot} ${Errors}
            RMDir "$INSTDIR"
            Return
        ${EndIf}
        IntOp $1 $1 + 1
        ${If} $1 > 3000
            Delete /REBOOTOK "$INSTDIR\uninstall.exe"
            RMDir /REBOOTOK "$INSTDIR"
            Return
        ${EndIf}
        Sleep 200
    ${Loop}
FunctionEnd

Section "!un.${PRODUCT}" UnSecSaver
    SectionIn RO
    StrCpy $Result 0
    ${If} $Part == machine
    ${OrIf} $Elevated == 1
        Call un.MachinePart
    ${Else}
        StrCpy $0 "/S /MACHINE"
        ${If} $Ask == 1
            StrCpy $0 "$0 /ASK"
        ${EndIf}
        StrCpy $0 "$0 _?=$INSTDIR"
        Call un.RunElevated
    ${EndIf}
    !insertmacro EndMachinePart
SectionEnd

Section /o "un.$(RemoveSettingsText)" UnSecSettings
    ${If} $Part != machine
    ${AndIf} $DesktopUser == 1
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
    ${EndIf}
SectionEnd

Section "-un.For the person at the desktop"
    ${If} $Part == machine
        Return
    ${ElseIf} $DesktopUser != 1
        DetailPrint "$(OtherUserLog)"
    ${ElseIf} $Named == 1
        ; The choice named the saver that is gone now.
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
SectionEnd

; The folder this copy belongs to ($INSTDIR: its own, or the one _?= names) must be the
; registered install's, so a copy elsewhere deletes nothing.
Function un.CheckLocation
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r3'
    System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .r2, i ${NSIS_MAX_STRLEN}) i .r4'
    ${If} $0 == ""
    ${OrIf} $3 == 0
    ${OrIf} $4 == 0
    ${OrIf} $1 != $2
        MessageBox MB_OK|MB_ICONSTOP "$(NotInstalledHereText)" /SD IDOK
        SetErrorLevel ${EXIT_NOT_INSTALLED}
        Quit
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext all
    !insertmacro FindSaverPath
    ${GetParameters} $R9
    ClearErrors
    ${GetOptions} $R9 "/CLEANUP" $0
    ${IfNot} ${Errors}
        Call un.Cleanup
        Quit
    ${EndIf}
    Call un.CheckLocation
    ClearErrors
    ${GetOptions} $R9 "/MACHINE" $0
    ${IfNot} ${Errors}
        StrCpy $Part machine
        SetSilent silent
        ClearErrors
        ${GetOptions} $R9 "/ASK" $0
        ${IfNot} ${Errors}
            StrCpy $Ask 1
        ${EndIf}
        !insertmacro RequireAdmin
        Return
    ${EndIf}
    ${IfNot} ${Silent}
        StrCpy $Ask 1
    ${EndIf}
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "admin"
        StrCpy $Elevated 1
    ${EndIf}
    Call un.FindDesktopUser
    Call un.FindNamed
    ${If} $DesktopUser != 1
        SectionSetText ${UnSecSettings} "$(RemoveSettingsOtherUserText)"
        !insertmacro SetSectionFlag ${UnSecSettings} ${SF_RO}
    ${EndIf}
FunctionEnd
