; Setup program of Fluttons! Saver: installs fluttsaver.scr for all users where the
; Screen Saver Settings list finds a saver of its kind, registers an Apps & Features
; entry and, unless told otherwise, makes it the installing user's screen saver.
; ARCH says which saver it carries:
;   x86  the 32-bit saver: System32 on 32-bit Windows, SysWOW64 on 64-bit Windows,
;        its folder in Program Files (x86) there;
;   x64  the 64-bit saver, a 64-bit setup: the real System32 and Program Files.
; Both kinds share one Apps & Features entry: one installed over the other removes the
; other's saver file, entry and folder, so the system lists the saver once.
;
; scripts/package.sh builds it:
;   makensis -INPUTCHARSET UTF8 -DARCH=x64 -DVERSION=4.0.0 -DSCR=dir/fluttsaver.scr
;            -DDOCS=dir -DICON=MainIcon.ico -DURL=https://... -DOUTFILE=setup.exe
;            installer/fluttsaver.nsi
; DOCS holds LICENSE.txt and README.txt.
;
; Command line: /S silent (the default choices), /NOACTIVATE keeps the user's screen saver.
; Exit codes: 0 done, 1 cancelled, 2 not installed (the saver file was in use), 740 no
; administrator rights.

!if "${ARCH}" == "x64"
    Target amd64-unicode
!else if "${ARCH}" == "x86"
    Unicode true
!else
    !error "ARCH must be x86 or x64"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh

!define PRODUCT "Fluttons! Saver"
!define PUBLISHER "Orrin Software"
!define SCR_NAME "fluttsaver.scr"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\fluttsaver"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_PARENT "Software\Orrin Software"
!define SETTINGS_KEY "${SETTINGS_PARENT}\Fluttons Saver"

Name "${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
    InstallDir "$PROGRAMFILES64\Fluttons Saver"
!else
    InstallDir "$PROGRAMFILES\Fluttons Saver"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"

; The saver file as the system's 64-bit screen-saver host and Apps & Features see it.
Var SaverPath
; The other kind's install on this system, which this one replaces: its saver file
; (empty on 32-bit Windows, where there is no other kind), that file's short form, and
; its folder.
Var OtherSaver
Var OtherShort
Var OtherDir

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
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the fallback when the user's UI language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString ActivateText ${LANG_ENGLISH} "Use it as my screen saver"
LangString ActivateText ${LANG_JAPANESE} "スクリーン セーバーに設定する"
LangString OpenSettingsText ${LANG_ENGLISH} "Open the screen saver settings"
LangString OpenSettingsText ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString RemoveSettingsText ${LANG_ENGLISH} "Remove my settings"
LangString RemoveSettingsText ${LANG_JAPANESE} "設定も削除する"
LangString InUseText ${LANG_ENGLISH} "${SCR_NAME} is in use: the screen saver is running.$\r$\n$\r$\nEnd it and choose Retry, or choose Cancel to leave everything as it is."
LangString InUseText ${LANG_JAPANESE} "${SCR_NAME} は使用中です (スクリーン セーバーが動いています)。$\r$\n$\r$\nスクリーン セーバーを終了してから [再試行] を、何も変えずにやめるには [キャンセル] を選んでください。"
LangString NeedAdminText ${LANG_ENGLISH} "${PRODUCT} is installed for all users: please run this program as an administrator."
LangString NeedAdminText ${LANG_JAPANESE} "${PRODUCT} はすべてのユーザーにインストールされます。管理者としてこのプログラムを実行してください。"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2025 ${PUBLISHER}"

; A 32-bit program writing to $SYSDIR lands in SysWOW64 on 64-bit Windows, but 64-bit
; programs reading the path need that folder named. The other kind's saver lives in the
; folder this kind does not use.
!macro FindSaverPath
    StrCpy $OtherSaver ""
    !if "${ARCH}" == "x64"
        SetRegView 64
        StrCpy $SaverPath "$SYSDIR\${SCR_NAME}"
        StrCpy $OtherSaver "$WINDIR\SysWOW64\${SCR_NAME}"
    !else
        ${If} ${RunningX64}
            StrCpy $SaverPath "$WINDIR\SysWOW64\${SCR_NAME}"
            StrCpy $OtherSaver "$WINDIR\System32\${SCR_NAME}"
        ${Else}
            StrCpy $SaverPath "$SYSDIR\${SCR_NAME}"
        ${EndIf}
    !endif
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

!macro RequireAdmin
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
        MessageBox MB_OK|MB_ICONSTOP "$(NeedAdminText)" /SD IDOK
        SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
        Quit
    ${EndIf}
!macroend

Section "!${PRODUCT}" SecSaver
    SectionIn RO
    ; The saver files first: when one is in use, nothing has been touched yet.
    Call CheckOtherSaverFree
    SetOutPath "$SYSDIR"
    SetOverwrite try
retry:
    ClearErrors
    File "${SCR}"
    ${If} ${Errors}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUseText)" /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Abort
    ${EndIf}
    SetOverwrite on
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
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    ${GetSize} "$SYSDIR" "/M=${SCR_NAME} /S=0K /G=0" $1 $2 $3
    IntOp $0 $0 + $1
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(ActivateText)" SecActivate
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverPath"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

Function .onInit
    !insertmacro RequireAdmin
    SetShellVarContext all
    !insertmacro FindSaverPath
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NOACTIVATE" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecActivate}
    ${EndIf}
FunctionEnd

; Installing over the other kind: its saver file must not be in use either.
Function CheckOtherSaverFree
    ${If} $OtherSaver == ""
        Return
    ${EndIf}
    !insertmacro OtherKind
    StrCpy $OtherShort ""
    ${If} ${FileExists} "$OtherSaver"
        GetFullPathName /SHORT $OtherShort "$OtherSaver"
retry:
        ClearErrors
        FileOpen $0 "$OtherSaver" a
        ${If} ${Errors}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUseText)" /SD IDCANCEL IDRETRY retry
            !insertmacro OwnKind
            SetErrorLevel 2
            Abort
        ${EndIf}
        FileClose $0
    ${EndIf}
    ReadRegStr $OtherDir HKLM "${UNINST_KEY}" "InstallLocation"
    !insertmacro OwnKind
FunctionEnd

; Removes the other kind's saver file, entry and folder, and moves a screen saver
; choice that named its file to this one.
Function RemoveOtherKind
    ${If} $OtherSaver == ""
        Return
    ${EndIf}
    !insertmacro OtherKind
    ${If} ${FileExists} "$OtherSaver"
        Delete "$OtherSaver"
        ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${If} $0 == $OtherSaver
            WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverPath"
        ${ElseIf} $OtherShort != ""
        ${AndIf} $0 == $OtherShort
            WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverPath"
        ${EndIf}
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

Function OpenScreenSaverSettings
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Section "!un.${PRODUCT}" UnSecSaver
    SectionIn RO
    ; The saver file first: when it is in use, everything stays installed.
    GetFullPathName /SHORT $R0 "$SaverPath"
retry:
    ClearErrors
    Delete "$SYSDIR\${SCR_NAME}"
    ${If} ${Errors}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUseText)" /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Abort
    ${EndIf}

    ; Only when it names this saver (the settings dialog may have written the short name).
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 == $SaverPath
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${ElseIf} $R0 != ""
    ${AndIf} $0 == $R0
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}

    DeleteRegKey HKLM "${UNINST_KEY}"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd

Section /o "un.$(RemoveSettingsText)" UnSecSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
SectionEnd

Function un.onInit
    !insertmacro RequireAdmin
    SetShellVarContext all
    !insertmacro FindSaverPath
FunctionEnd
